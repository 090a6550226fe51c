#include "auto/output_name.h"

#include <gtest/gtest.h>

#include <tuple>

namespace {

using automode::NameRules;

TEST(DeriveOutputName, KeepsTheRomsDirectoryAndExtensionSplitOnlyAtTheSeparator) {
  const NameRules onWindows{'\\', true}, onLinux{'/', false}, onMac{'/', true};
  // rules, ROM, "Change directory to:" checked, path, output name
  const std::tuple<NameRules, const char*, bool, const char*, const char*> cases[] = {
      {onWindows, R"(C:\nes\mario.nes)", false, R"(C:\nes\)", R"(C:\nes\CORRUPT.nes)"},
      {onWindows, R"(C:\nes\mario.nes)", true, R"(c:\NES\)", "CORRUPT.nes"},
      {onWindows, R"(C:\nes\mario.nes)", true, R"(C:\nes)", R"(C:\nes\CORRUPT.nes)"},
      {onWindows, "mario.us.nes", true, "", "CORRUPT.nes"},
      {onWindows, R"(C:\my.roms\mario)", false, "", R"(C:\my.roms\CORRUPT.ROM)"},
      {onWindows, ".nes", false, "", "CORRUPT.ROM"},
      {onWindows, R"(C:\nes\.nes)", false, "", R"(C:\nes\CORRUPT.nes)"},
      // Linux: a directory differing only in case is another directory, and a backslash is an ordinary character.
      {onLinux, "/x/Roms/mario.nes", true, "/x/roms/", "/x/Roms/CORRUPT.nes"},
      {onLinux, "/x/roms/mario.nes", true, "/x/roms/", "CORRUPT.nes"},
      {onLinux, R"(/roms/C:\my.dir\mario)", false, "", R"(/roms/CORRUPT.dir\mario)"},
      // macOS ignores case as Windows does: the top and bottom of the folded letters (à, þ) and of a-z; not ÿ,
      // whose capital lies outside them, nor the division sign, which is no letter.
      {onMac, "/\xC3\x80\xC3\x9E/x.nes", true, "/\xC3\xA0\xC3\xBE/", "CORRUPT.nes"},
      {onMac, "/\xC3\x9F/x.nes", true, "/\xC3\xBF/", "/\xC3\x9F/CORRUPT.nes"},
      {onMac, "\xC3\xB7/x.nes", true, "\xC3\x97/", "\xC3\xB7/CORRUPT.nes"},
      {onMac, "/Z/x.nes", true, "/z/", "CORRUPT.nes"},
      {onMac, "/[/x.nes", true, "/{/", "/[/CORRUPT.nes"},
  };
  for (const auto& [rules, rom, chdir, path, expected] : cases)
    EXPECT_EQ(automode::DeriveOutputName(rom, chdir, path, rules), expected) << rules.separator << rom << " " << path;
#ifdef _WIN32  // the host's default rules; the window tests check them elsewhere
  EXPECT_EQ(automode::DeriveOutputName(R"(C:\Roms\mario.nes)", true, R"(c:\roms\)"), "CORRUPT.nes");
#endif
}

}  // namespace
