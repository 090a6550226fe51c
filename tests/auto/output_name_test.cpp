#include "auto/output_name.h"

#include <gtest/gtest.h>

namespace {

using automode::NameRules;

TEST(DeriveOutputName, KeepsTheRomsDirectoryAndExtensionSplitOnlyAtTheSeparator) {
  const NameRules windows{'\\', true}, gnuLinux{'/', false}, macOS{'/', true};
  const struct {
    NameRules on;
    bool chdir = true;  // "Change directory to:" checked
    const char *rom, *path = "", *name;
  } cases[] = {
      {.on = windows, .chdir = false, .rom = R"(C:\nes\m.nes)", .path = R"(C:\nes\)", .name = R"(C:\nes\CORRUPT.nes)"},
      {.on = windows, .rom = R"(C:\nes\m.nes)", .path = R"(c:\NES\)", .name = "CORRUPT.nes"},
      {.on = windows, .rom = R"(C:\nes\m.nes)", .path = R"(C:\nes)", .name = R"(C:\nes\CORRUPT.nes)"},
      {.on = windows, .rom = "mario.us.nes", .name = "CORRUPT.nes"},
      {.on = windows, .rom = R"(C:\my.roms\mario)", .name = R"(C:\my.roms\CORRUPT.ROM)"},
      {.on = windows, .rom = ".nes", .name = "CORRUPT.ROM"},
      {.on = windows, .rom = R"(C:\nes\.nes)", .name = R"(C:\nes\CORRUPT.nes)"},
      // Linux: a directory differing only in case is another directory, and a backslash is an ordinary character.
      {.on = gnuLinux, .rom = "/x/Roms/mario.nes", .path = "/x/roms/", .name = "/x/Roms/CORRUPT.nes"},
      {.on = gnuLinux, .rom = "/x/roms/mario.nes", .path = "/x/roms/", .name = "CORRUPT.nes"},
      {.on = gnuLinux, .rom = R"(/roms/C:\my.dir\mario)", .name = R"(/roms/CORRUPT.dir\mario)"},
      // macOS ignores case as Windows does: the top and bottom of the folded letters (à, þ) and of a-z; not ÿ,
      // whose capital lies outside them, nor the division sign, which is no letter.
      {.on = macOS, .rom = "/ÀÞ/x.nes", .path = "/àþ/", .name = "CORRUPT.nes"},
      {.on = macOS, .rom = "/ß/x.nes", .path = "/ÿ/", .name = "/ß/CORRUPT.nes"},
      {.on = macOS, .rom = "÷/x.nes", .path = "×/", .name = "÷/CORRUPT.nes"},
      {.on = macOS, .rom = "/Z/x.nes", .path = "/z/", .name = "CORRUPT.nes"},
      {.on = macOS, .rom = "/[/x.nes", .path = "/{/", .name = "/[/CORRUPT.nes"},
  };
  for (const auto& c : cases) EXPECT_EQ(automode::DeriveOutputName(c.rom, c.chdir, c.path, c.on), c.name) << c.rom << " " << c.path;
#ifdef _WIN32  // the host's default rules; the window tests check them elsewhere
  EXPECT_EQ(automode::DeriveOutputName(R"(C:\Roms\mario.nes)", true, R"(c:\roms\)"), "CORRUPT.nes");
#endif
}

}  // namespace
