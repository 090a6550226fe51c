#pragma once

#include <string>
#include <string_view>

namespace automode {

// The character that separates directories in a file name on this host.
#ifdef _WIN32
inline constexpr char kNativeSeparator = '\\';
#else
inline constexpr char kNativeSeparator = '/';
#endif

// How this host's file names compare: letter case is ignored on Windows and
// macOS and counts on Linux, where "Roms/" and "roms/" are two directories.
#if defined(_WIN32) || defined(__APPLE__)
inline constexpr bool kCaseBlindNames = true;
#else
inline constexpr bool kCaseBlindNames = false;
#endif

// The rules of one host's file names.
struct NameRules {
  char separator = kNativeSeparator;
  bool caseBlind = kCaseBlindNames;
};

// The output name kept in step with the ROM name while "Auto" is checked:
// "CORRUPT" plus the ROM's extension (or "CORRUPT.ROM" when it has none) in
// the ROM's directory. The directory is left out when chdir is checked and it
// equals `path`, compared whole (case-blind where the host's names are),
// because a run changes into that directory first. Only the rules' separator
// separates directories.
std::string DeriveOutputName(std::string_view rom, bool chdirChecked, std::string_view path,
                             NameRules rules = {});

}  // namespace automode
