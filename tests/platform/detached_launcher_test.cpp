#include "platform/detached_launcher.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

#include "engine/emulator.h"
#include "engine/failure.h"
#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;
using Lines = std::vector<std::string>;

class DetachedLauncherTest : public ::testing::Test {
 protected:
  DetachedLauncherTest() {
    fs::create_directory(work);
    fs::current_path(work);
  }
  ~DetachedLauncherTest() override { fs::current_path(saved); }

  const fs::path saved = fs::current_path();
  TempDir dir;
  const fs::path work = dir.path() / "work";
};

TEST_F(DetachedLauncherTest, StartsTheProgramHereWithItsArgumentsAndNoShell) {
  const std::string record = dir / "record.txt", spaced = dir / "emu dir.sh";
  struct Case {
    fs::path emulator;
    std::string commandLine;
    Lines arguments;
  };
  const Case cases[] = {
      {spaced, "\"" + spaced + "\" -fs \"my game.nes\" $HOME 'a;b' back\\slash",
       {"-fs", "my game.nes", "$HOME", "'a;b'", "back\\slash"}},
      {work / "emu.sh", engine::BuildCommandLine("emu.sh --rom \"%1\"", "my corrupt game.nes"),
       {"--rom", "my corrupt game.nes"}},
      // "true" is also on the PATH, where it would record nothing.
      {work / "true", "true CORRUPT.nes", {"CORRUPT.nes"}},
  };
  for (const Case& c : cases) {
    // Records its working directory and each argument, a line each, and renames the record into place.
    std::ofstream(c.emulator) << "#!/bin/sh\n{ pwd; for a in \"$@\"; do printf '%s\\n' \"$a\"; done; } > '"
                              << record << ".part'\nmv '" << record << ".part' '" << record << "'\n";
    fs::permissions(c.emulator, fs::perms::owner_all);
    platform::DetachedLauncher().Start(c.commandLine);
    for (int i = 0; i < 1000 && !fs::exists(record); ++i)
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    Lines expected{fs::canonical(work).string()}, lines;
    expected.insert(expected.end(), c.arguments.begin(), c.arguments.end());
    std::ifstream in(record);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    EXPECT_EQ(lines, expected) << c.commandLine;
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
