#include "platform/detached_launcher.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
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
  struct Case {
    fs::path emulator;
    std::string commandLine, arguments;
  };
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
    std::ofstream(c.emulator) << "#!/bin/sh\n{ pwd; for a in \"$@\"; do printf '%s\\n' \"$a\"; done; } > '" << record
                              << ".part'\nmv '" << record << ".part' '" << record << "'\n";
    fs::permissions(c.emulator, fs::perms::owner_all);
    platform::DetachedLauncher().Start(c.commandLine, work / "CORRUPT.nes");
    for (int i = 0; i < 1000 && !fs::exists(record); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(20));
    std::ostringstream lines;
    lines << std::ifstream(record).rdbuf();
    EXPECT_EQ(lines.str(), fs::canonical(work).string().append("\n").append(c.arguments)) << c.commandLine;
    fs::remove(record);
  }
}

// The output file is refused as the program by every name that reaches it,
// although it is an executable script here; the last start shows it would run.
TEST_F(DetachedLauncherTest, UnstartableProgramsFail) {
  const fs::path output = work / "CORRUPT.nes", marker = dir.path() / "ran", onPath = dir.path() / "bin/game.nes";
  fs::create_directories(onPath.parent_path());
  for (const fs::path& script : {output, onPath, work / "emu"}) {
    std::ofstream(script) << "#!/bin/sh\ntouch '" << marker.string() << "'\n";
    fs::permissions(script, fs::perms::all);
  }
  fs::create_symlink("CORRUPT.nes", work / "link.nes");
  std::ofstream(work / "game.nes") << "data";
  fs::create_directory(work / "folder");
  const std::string savedPath = std::getenv("PATH");
  setenv("PATH", (onPath.parent_path().string() + ":" + savedPath).c_str(), 1);
  // The output file as the program: an empty emulator box, "" or %1 alone, other spellings, a link;
  // "game.nes" is found on the PATH, then is the output here, not executable, though another is on the PATH;
  // after a NUL the program would get "emu" alone.
  const std::string lines[] = {"",
                               "\"\" x",
                               "glitchforge-no-such-emulator x",
                               "folder",
                               " CORRUPT.nes",
                               "CORRUPT.nes --fullscreen",
                               "./CORRUPT.nes",
                               std::string("\"").append(output.string()).append("\""),
                               "link.nes",
                               "game.nes",
                               "game.nes",
                               std::string("emu\0 x", 6)};
  for (const std::string& line : lines) {
    const fs::path data = line != "game.nes" ? output : &line == &lines[9] ? onPath : work / "game.nes";
    try {
      platform::DetachedLauncher().Start(line, data);
      ADD_FAILURE() << "started: " << line;
    } catch (const engine::HostFailure& failure) {
      EXPECT_EQ(failure.kind(), engine::FailureKind::ProgramNotStartable) << line;
      EXPECT_EQ(std::string(failure.what()).rfind("Program cannot be started", 0), 0u) << failure.what();
    }
  }
  setenv("PATH", savedPath.c_str(), 1);
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  EXPECT_FALSE(fs::exists(marker));
  platform::DetachedLauncher().Start("./CORRUPT.nes", work / "other.nes");
  for (int i = 0; i < 1000 && !fs::exists(marker); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(20));
  EXPECT_TRUE(fs::exists(marker));
}

}  // namespace
