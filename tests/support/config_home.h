#pragma once

#include <cstdlib>

#include "support/temp_dir.h"

// The user's own store is never touched, not even by code that opens the
// default store: a test program that includes this header keeps its
// configuration in a temporary directory, set before main and so before any
// QSettings exists.
inline const TempDir& ConfigHome() {
  static const TempDir dir;
  return dir;
}
inline const bool kConfigHomeSet = [] {
  return setenv("XDG_CONFIG_HOME", ConfigHome().path().c_str(), 1) == 0;
}();
