#include "engine/emulator.h"

#include <gtest/gtest.h>

TEST(BuildCommandLineTest, ReplacesFirstMarkerOrAppendsTheName) {
  const struct {
    const char *emulator, *output, *expected;
  } cases[] = {
      {"nesticle.exe", "CORRUPT.ROM", "nesticle.exe CORRUPT.ROM"},
      {"emu -fs %1 --again %1", "my game.nes", "emu -fs my game.nes --again %1"},
      {"", "CORRUPT.nes", " CORRUPT.nes"},
      {"emu %", "1", "emu % 1"},
  };
  for (const auto& c : cases) EXPECT_EQ(engine::BuildCommandLine(c.emulator, c.output), c.expected) << c.emulator;
}
