#include <gtest/gtest.h>

#include "engine/emulator.h"

namespace {

struct CommandLineCase {
  const char* emulator;
  const char* output;
  const char* expected;
};

TEST(BuildCommandLineTest, ReplacesFirstMarkerOrAppendsTheName) {
  const CommandLineCase cases[] = {
      {"nesticle.exe", "CORRUPT.ROM", "nesticle.exe CORRUPT.ROM"},
      {"C:\\emu\\nes.exe -fullscreen %1 -sound", "CORRUPT.nes", "C:\\emu\\nes.exe -fullscreen CORRUPT.nes -sound"},
      {"emu %1 --again %1", "out.nes", "emu out.nes --again %1"},
      {"emu \"%1\"", "my game.nes", "emu \"my game.nes\""},
      {"", "CORRUPT.nes", " CORRUPT.nes"},
      {"emu %", "1", "emu % 1"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(engine::BuildCommandLine(c.emulator, c.output), c.expected) << c.emulator << " / " << c.output;
}

}  // namespace
