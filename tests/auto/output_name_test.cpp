#include "auto/output_name.h"

#include <gtest/gtest.h>

namespace {

TEST(DeriveOutputName, KeepsTheRomsDirectoryAndExtensionSplitOnlyAtTheSeparator) {
  struct Case { char separator; const char* rom; bool chdir; const char *path, *expected; };
  const Case cases[] = {
      {'\\', R"(C:\nes\mario.nes)", false, R"(C:\nes\)", R"(C:\nes\CORRUPT.nes)"},
      {'\\', R"(C:\nes\mario.nes)", true, R"(c:\NES\)", "CORRUPT.nes"},
      {'\\', R"(C:\nes\mario.nes)", true, R"(C:\nes)", R"(C:\nes\CORRUPT.nes)"},
      {'\\', "mario.us.nes", true, "", "CORRUPT.nes"},
      {'\\', "MARIO.NES", false, "", "CORRUPT.NES"},
      {'\\', R"(C:\my.roms\mario)", false, "", R"(C:\my.roms\CORRUPT.ROM)"},
      {'\\', ".nes", false, "", "CORRUPT.ROM"},
      {'\\', R"(C:\nes\.nes)", false, "", R"(C:\nes\CORRUPT.nes)"},
      {'\\', "mario.", false, "", "CORRUPT."},
      {'\\', "", true, "", "CORRUPT.ROM"},
      {'\\', "C:/nes/mario.nes", false, "", "CORRUPT.nes"},
      {'\\', R"(C:\Été\mario.nes)", true, R"(c:\éTÉ\)", "CORRUPT.nes"},
      {'\\', R"(roms\)", false, "", R"(roms\CORRUPT.ROM)"},
      {'/', "/home/ann/NES/mario.nes", true, "/HOME/ANN/nes/", "CORRUPT.nes"},
      {'/', "/home/ann/nes/mario.nes", true, "/home/ann/nes", "/home/ann/nes/CORRUPT.nes"},
      {'/', "/", true, "/", "CORRUPT.ROM"},
      // A backslash is an ordinary character of a Linux file name.
      {'/', R"(C:\nes\mario.nes)", false, "", "CORRUPT.nes"},
      {'/', R"(/roms/C:\my.dir\mario)", false, "", R"(/roms/CORRUPT.dir\mario)"},
      // The division sign is no letter: it does not fold onto the multiplication sign.
      {'/', "\xC3\xB7/x.nes", true, "\xC3\x97/", "\xC3\xB7/CORRUPT.nes"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(automode::DeriveOutputName(c.rom, c.chdir, c.path, c.separator), c.expected)
        << c.separator << " rom=" << c.rom << " chdir=" << c.chdir << " path=" << c.path;
  }
#ifndef _WIN32
  EXPECT_EQ(automode::DeriveOutputName("/roms/mario.nes", false, ""), "/roms/CORRUPT.nes");
#endif
}

}  // namespace
