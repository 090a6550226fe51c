#include "auto/output_name.h"

#include <cstddef>

#include "engine/number.h"

namespace automode {

namespace {

// Upper case for ASCII letters and for the accented Latin-1 letters in their
// UTF-8 form (U+00E0..U+00FE but the division sign), so that a directory typed
// as "c:\ÉTÉ\" matches "C:\été\". Every other byte stays as it is.
std::string Upper(std::string_view text) {
  std::string out(text);
  for (std::size_t i = 0; i < out.size(); ++i) {
    auto c = static_cast<unsigned char>(out[i]);
    if (c >= 'a' && c <= 'z') {
      out[i] = static_cast<char>(c - ('a' - 'A'));
    } else if (c == 0xC3 && i + 1 < out.size()) {
      auto next = static_cast<unsigned char>(out[i + 1]);
      if (next >= 0xA0 && next <= 0xBE && next != 0xB7) out[i + 1] = static_cast<char>(next - 0x20);
      ++i;
    }
  }
  return out;
}

}  // namespace

std::string DeriveOutputName(std::string_view rom, bool chdirChecked, std::string_view path,
                             NameRules rules) {
  std::int32_t dot = engine::InStr2(rom, ".");
  std::int32_t sep = engine::InStr2(rom, std::string_view(&rules.separator, 1));
  if (dot > 0 && dot < sep) dot = 0;  // the last dot belongs to a directory

  std::string directory;
  if (sep > 0) directory = rom.substr(0, static_cast<std::size_t>(sep));
  const bool samePlace = rules.caseBlind ? Upper(directory) == Upper(path) : directory == path;
  if (chdirChecked && samePlace) directory.clear();

  if (dot == 0 || dot == 1) return directory + "CORRUPT.ROM";
  return directory + "CORRUPT" + std::string(rom.substr(static_cast<std::size_t>(dot - 1)));
}

}  // namespace automode
