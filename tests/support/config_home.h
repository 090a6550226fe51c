#pragma once

#include <cstdlib>

#include "support/temp_dir.h"

// A test program that includes this header keeps even the default store in a temporary
// directory, set before main and so before any QSettings exists, away from the user's own.
inline const TempDir& ConfigHome() {
  static const TempDir dir;
  return dir;
}
inline const bool kConfigHomeSet = [] { return setenv("XDG_CONFIG_HOME", ConfigHome().path().c_str(), 1) == 0; }();
