#pragma once

#include "engine/host.h"

namespace platform {

// Starts the emulator without a shell: the command line is split with
// QProcess::splitCommand (double quotes group), a relative program is looked
// for in the current directory first and then on the PATH, and the process is
// detached with the current directory as its own. A program that is the data
// file itself, by whatever name, link or lookup, is refused before anything starts.
class DetachedLauncher : public engine::ProcessLauncher {
 public:
  void Start(const std::string& commandLine, const std::string& dataFile) override;
};

}  // namespace platform
