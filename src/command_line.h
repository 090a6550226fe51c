#pragma once

#include <optional>

// Reads the command line before any window or display is opened. --help and --version print
// their answer and give exit status 0; an unknown option or a stray argument is reported on
// standard error and gives 2. Otherwise it returns nothing and the window may start; Qt's own
// options (-platform, -style, -reverse, ...) are left for QApplication.
std::optional<int> HandleCommandLine(int argc, char** argv);
