#include "engine/emulator.h"

#include <gtest/gtest.h>

TEST(BuildCommandLineTest, ReplacesFirstMarkerOrAppendsTheName) {
  const struct {
    const char *emulator, *output, *commandLine;
  } cases[] = {
      {.emulator = "emu -fs %1 --again %1", .output = "my game.nes", .commandLine = "emu -fs my game.nes --again %1"},
      {.emulator = "", .output = "CORRUPT.nes", .commandLine = " CORRUPT.nes"},
      {.emulator = "emu %", .output = "1", .commandLine = "emu % 1"},
      {.emulator = "nesticle.exe", .output = "CORRUPT.ROM", .commandLine = "nesticle.exe CORRUPT.ROM"},
  };
  for (const auto& c : cases) EXPECT_EQ(engine::BuildCommandLine(c.emulator, c.output), c.commandLine);
}
