#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "engine/emulator.h"
#include "engine/failure.h"
#include "platform/detached_launcher.h"
#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;
using Lines = std::vector<std::string>;

class DetachedLauncherTest : public ::testing::Test {
 protected:
  DetachedLauncherTest() {
    fs::create_directory(dir.path() / "work");
    fs::current_path(dir.path() / "work");
  }
  ~DetachedLauncherTest() override { fs::current_path(savedDirectory_); }

  // A stand-in emulator: writes its working directory and then each argument
  // on a line of its own, and renames the record into place when complete.
  std::string WriteEmulator(const fs::path& where) {
    const std::string record = dir / "record.txt";
    std::ofstream script(where);
    script << "#!/bin/sh\n"
           << "{ pwd; for a in \"$@\"; do printf '%s\\n' \"$a\"; done; } > '" << record << ".part'\n"
           << "mv '" << record << ".part' '" << record << "'\n";
    script.close();
    fs::permissions(where, fs::perms::owner_all);
    return where.string();
  }

  // The emulator's record, waiting a bounded while for the detached process.
  Lines Record() {
    const fs::path record = dir.path() / "record.txt";
    for (int i = 0; i < 1000 && !fs::exists(record); ++i)
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    std::ifstream in(record);
    Lines lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
  }

  fs::path savedDirectory_ = fs::current_path();
  TempDir dir;
  platform::DetachedLauncher launcher;
};

TEST_F(DetachedLauncherTest, QuotesGroupArgumentsAndNoShellReadsThem) {
  const std::string emulator = WriteEmulator(dir.path() / "emu dir.sh");
  launcher.Start("\"" + emulator + "\" -fs \"my game.nes\" $HOME 'a;b' back\\slash");
  const std::string cwd = fs::canonical(dir.path() / "work").string();
  EXPECT_EQ(Record(), (Lines{cwd, "-fs", "my game.nes", "$HOME", "'a;b'", "back\\slash"}));
}

TEST_F(DetachedLauncherTest, QuotedMarkerPassesANameWithSpaces) {
  WriteEmulator(dir.path() / "work/emu.sh");
  launcher.Start(engine::BuildCommandLine("emu.sh --rom \"%1\"", "my corrupt game.nes"));
  const std::string cwd = fs::canonical(dir.path() / "work").string();
  EXPECT_EQ(Record(), (Lines{cwd, "--rom", "my corrupt game.nes"}));
}

TEST_F(DetachedLauncherTest, CurrentDirectoryComesBeforeThePath) {
  // "true" is also on the PATH, where it would record nothing.
  WriteEmulator(dir.path() / "work/true");
  launcher.Start("true CORRUPT.nes");
  const std::string cwd = fs::canonical(dir.path() / "work").string();
  EXPECT_EQ(Record(), (Lines{cwd, "CORRUPT.nes"}));
}

TEST_F(DetachedLauncherTest, UnstartableProgramsFail) {
  std::ofstream(dir.path() / "work/CORRUPT.nes") << "not a program";
  fs::create_directory(dir.path() / "work/folder");
  for (const std::string& line :
       {std::string(""), std::string("   "), std::string("\"\" x"), std::string("glitchforge-no-such-emulator x"),
        std::string(" CORRUPT.nes"), std::string("./CORRUPT.nes"), std::string("folder"),
        (dir.path() / "missing/emu").string()}) {
    try {
      launcher.Start(line);
      ADD_FAILURE() << "started: " << line;
    } catch (const engine::HostFailure& failure) {
      EXPECT_EQ(failure.kind(), engine::FailureKind::ProgramNotStartable) << line;
      EXPECT_EQ(std::string(failure.what()).rfind("Program cannot be started", 0), 0u) << failure.what();
    }
  }
}

}  // namespace
