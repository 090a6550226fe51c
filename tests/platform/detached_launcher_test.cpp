#include "platform/detached_launcher.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "engine/emulator.h"
#include "engine/failure.h"
#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;

// Each test runs in a directory "work" of its own.
class DetachedLauncherTest : public ::testing::Test {
 protected:
  void SetUp() override { fs::create_directory(work), fs::current_path(work); }
  void TearDown() override { fs::current_path(saved); }

  const fs::path saved = fs::current_path();
  TempDir dir;
  const fs::path work = dir.path() / "work";
};

TEST_F(DetachedLauncherTest, StartsTheProgramHereWithItsArgumentsAndNoShell) {
  const std::string record = dir / "record.txt", spaced = dir / "emu dir.sh";
  struct Case { fs::path emulator; std::string commandLine, arguments; };
  const Case cases[] = {
      {spaced, "\"" + spaced + "\" -fs \"my game.nes\" $HOME 'a;b' back\\slash",
       "-fs\nmy game.nes\n$HOME\n'a;b'\nback\\slash\n"},
      {work / "emu.sh", engine::BuildCommandLine("emu.sh --rom \"%1\"", "my corrupt game.nes"),
       "--rom\nmy corrupt game.nes\n"},
      // "true" is also on the PATH, where it would record nothing.
      {work / "true", "true CORRUPT.nes", "CORRUPT.nes\n"},
  };
  for (const Case& c : cases) {
    // Records its working directory and each argument, a line each, and renames the record into place.
    std::ofstream(c.emulator) << "#!/bin/sh\n{ pwd; for a in \"$@\"; do printf '%s\\n' \"$a\"; done; } > '"
                              << record << ".part'\nmv '" << record << ".part' '" << record << "'\n";
    fs::permissions(c.emulator, fs::perms::owner_all);
    platform::DetachedLauncher().Start(c.commandLine);
    for (int i = 0; i < 1000 && !fs::exists(record); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(20));
    std::ostringstream lines;
    lines << std::ifstream(record).rdbuf();
    EXPECT_EQ(lines.str(), fs::canonical(work).string().append("\n").append(c.arguments)) << c.commandLine;
    fs::remove(record);
  }
}

TEST_F(DetachedLauncherTest, UnstartableProgramsFail) {
  std::ofstream(work / "CORRUPT.nes") << "not a program";
  fs::create_directory(work / "folder");
  for (const std::string line : {"", "   ", "\"\" x", "glitchforge-no-such-emulator x", " CORRUPT.nes",
                                 "./CORRUPT.nes", "folder", "/glitchforge-missing/emu"}) {
    try {
      platform::DetachedLauncher().Start(line);
      ADD_FAILURE() << "started: " << line;
    } catch (const engine::HostFailure& failure) {
      EXPECT_EQ(failure.kind(), engine::FailureKind::ProgramNotStartable) << line;
      EXPECT_EQ(std::string(failure.what()).rfind("Program cannot be started", 0), 0u) << failure.what();
    }
  }
}

}  // namespace
