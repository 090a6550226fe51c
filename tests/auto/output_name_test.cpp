#include "auto/output_name.h"

#include <gtest/gtest.h>

namespace {

using automode::NameRules;

TEST(DeriveOutputName, KeepsTheRomsDirectoryAndExtensionSplitOnlyAtTheSeparator) {
  const NameRules onWindows{'\\', true}, onLinux{'/', false}, onMac{'/', true};
  struct Case {
    NameRules rules;
    const char* rom;
    bool chdir;
    const char *path, *expected;
  };
  const Case cases[] = {
      {onWindows, R"(C:\nes\mario.nes)", false, R"(C:\nes\)", R"(C:\nes\CORRUPT.nes)"},
      {onWindows, R"(C:\nes\mario.nes)", true, R"(c:\NES\)", "CORRUPT.nes"},
      {onWindows, R"(C:\nes\mario.nes)", true, R"(C:\nes)", R"(C:\nes\CORRUPT.nes)"},
      {onWindows, "mario.us.nes", true, "", "CORRUPT.nes"},
      {onWindows, "MARIO.NES", false, "", "CORRUPT.NES"},
      {onWindows, R"(C:\my.roms\mario)", false, "", R"(C:\my.roms\CORRUPT.ROM)"},
      {onWindows, ".nes", false, "", "CORRUPT.ROM"},
      {onWindows, R"(C:\nes\.nes)", false, "", R"(C:\nes\CORRUPT.nes)"},
      {onWindows, "mario.", false, "", "CORRUPT."},
      {onWindows, "", true, "", "CORRUPT.ROM"},
      {onWindows, "C:/nes/mario.nes", false, "", "CORRUPT.nes"},
      {onWindows, R"(C:\Été\mario.nes)", true, R"(c:\éTÉ\)", "CORRUPT.nes"},
      {onWindows, R"(roms\)", false, "", R"(roms\CORRUPT.ROM)"},
      // Linux: a directory differing only in case is another directory, so the full path stays.
      {onLinux, "/x/Roms/mario.nes", true, "/x/roms/", "/x/Roms/CORRUPT.nes"},
      {onLinux, "/x/roms/mario.nes", true, "/x/roms/", "CORRUPT.nes"},
      {onLinux, "/home/ann/nes/mario.nes", true, "/home/ann/nes", "/home/ann/nes/CORRUPT.nes"},
      {onLinux, "/", true, "/", "CORRUPT.ROM"},
      // macOS ignores case, as Windows does.
      {onMac, "/x/Été/x.nes", true, "/x/éTÉ/", "CORRUPT.nes"},
      // A backslash is an ordinary character of a Linux file name.
      {onLinux, R"(C:\nes\mario.nes)", false, "", "CORRUPT.nes"},
      {onLinux, R"(/roms/C:\my.dir\mario)", false, "", R"(/roms/CORRUPT.dir\mario)"},
      // The division sign is no letter: it does not fold onto the multiplication sign.
      {onMac, "\xC3\xB7/x.nes", true, "\xC3\x97/", "\xC3\xB7/CORRUPT.nes"},
      // The top and bottom of the folded letters (à, þ), and ÿ, whose capital lies outside them.
      {onMac, "/\xC3\x80\xC3\x9E/x.nes", true, "/\xC3\xA0\xC3\xBE/", "CORRUPT.nes"},
      {onMac, "/\xC3\x9F/x.nes", true, "/\xC3\xBF/", "/\xC3\x9F/CORRUPT.nes"},
      {onMac, "/Z/x.nes", true, "/z/", "CORRUPT.nes"},
      {onMac, "/[/x.nes", true, "/{/", "/[/CORRUPT.nes"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(automode::DeriveOutputName(c.rom, c.chdir, c.path, c.rules), c.expected)
        << c.rules.separator << c.rules.caseBlind << " rom=" << c.rom << " chdir=" << c.chdir << " path=" << c.path;
  }
  // This host's own rules.
#ifdef _WIN32
  EXPECT_EQ(automode::DeriveOutputName(R"(C:\Roms\mario.nes)", true, R"(c:\roms\)"), "CORRUPT.nes");
  EXPECT_EQ(automode::DeriveOutputName(R"(C:\Roms\mario.nes)", false, ""), R"(C:\Roms\CORRUPT.nes)");
#else
  EXPECT_EQ(automode::DeriveOutputName("/x/Roms/mario.nes", true, "/x/roms/"),
            automode::kCaseBlindNames ? "CORRUPT.nes" : "/x/Roms/CORRUPT.nes");
#endif
}

}  // namespace
