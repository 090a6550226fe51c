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

// The output name kept in step with the ROM name while "Auto" is checked:
// "CORRUPT" plus the ROM's extension (or "CORRUPT.ROM" when it has none) in
// the ROM's directory. The directory is left out when chdir is checked and it
// equals `path`, compared whole and without regard to letter case, because a
// run changes into that directory first. Only `separator` separates
// directories.
std::string DeriveOutputName(std::string_view rom, bool chdirChecked, std::string_view path,
                             char separator = kNativeSeparator);

}  // namespace automode
