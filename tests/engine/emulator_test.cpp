#include "engine/emulator.h"

#include <gtest/gtest.h>

TEST(BuildCommandLineTest, ReplacesFirstMarkerOrAppendsTheName) {
  std::string lines;
  for (const auto& [emulator, output] : {std::pair{"emu -fs %1 --again %1", "my game.nes"},
                                         {"", "CORRUPT.nes"},
                                         {"emu %", "1"},
                                         {"nesticle.exe", "CORRUPT.ROM"}})
    lines += engine::BuildCommandLine(emulator, output) + "|";
  EXPECT_EQ(lines, "emu -fs my game.nes --again %1| CORRUPT.nes|emu % 1|nesticle.exe CORRUPT.ROM|");
}
