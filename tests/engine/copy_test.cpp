#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "engine/failure.h"
#include "engine/run.h"
#include "support/fakes.h"
#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;
using Texts = std::vector<std::string>;
using namespace engine;

const std::vector<unsigned char> kRom(3000, 0x3C);

// roms/mario.nes under a temporary current directory; every directory change recorded.
class CopyFileTest : public ::testing::Test {
 protected:
  CopyFileTest() {
    fs::create_directory(dir.path() / "roms");
    rom = dir.Write("roms/mario.nes", kRom);
    fs::current_path(dir.path());
    job.chdir = kUnchecked;
    job.optoverwrite = kChecked;
    job.rom = "roms/mario.nes";
    job.create = "roms/CORRUPT.nes";
    fake.files.before["ChangeDrive"] = [this](const std::string& d) { changes.push_back("drive " + d); };
    fake.files.before["ChangeDirectory"] = [this](const std::string& d) { changes.push_back("dir " + d); };
  }
  ~CopyFileTest() override { fs::current_path(savedDirectory); }

  fs::path savedDirectory = fs::current_path();
  TempDir dir;
  std::string rom, out = dir / "roms/CORRUPT.nes";
  JobSettings job;
  FakeHost fake;
  Texts changes;
};

TEST_F(CopyFileTest, CreateNowReportsTheNameAsTypedOrTheCopyFailure) {
  job.optoverwrite = kUnchecked;  // Create Now copies whatever the check box says
  CreateNow(job, fake.host);
  EXPECT_EQ(TempDir::Read(out), kRom);
  fs::remove(out);
  job.rom = "roms/missing.nes";
  CreateNow(job, fake.host);
  EXPECT_EQ(fake.ui.events, (Texts{"message: roms/CORRUPT.nes created successfully!",
                                   "message: Error!  New file NOT created!\r\n"
                                   "File not found: \"roms/missing.nes\" (No such file or directory)"}));
  EXPECT_FALSE(fs::exists(out));
  EXPECT_TRUE(fake.launcher.started.empty());
}

TEST_F(CopyFileTest, WorkingDirectoryRules) {
  const std::string full = (dir.path() / "roms").string();
  const struct {
    int chdir;
    std::string path;
    bool changeDirectory;
    const char* rom;
    Texts changes;
    std::string error;  // start of the last error; "" when the copy was made
  } cases[] = {
      {kUnchecked, "nowhere", true, "mario.nes", {}, ""},
      {kGrey, "nowhere", true, "mario.nes", {}, ""},
      {kChecked, full, false, "mario.nes", {}, ""},
      {kChecked, full, true, "missing.nes", {"dir " + full}, "File not found"},  // the change stays
      // No drive letters here: the drive change fails and nothing else is tried.
      {kChecked, "C:\\nes\\", true, "mario.nes", {"drive C"}, "Path not found"},
      {kChecked, "", true, "mario.nes", {"dir "}, "Path not found"},
  };
  for (const auto& c : cases) {
    fs::current_path(dir.path());
    changes.clear();
    fake.host.lastError.clear();
    job.chdir = c.chdir;
    job.path = c.path;
    job.rom = full + "/" + c.rom;
    job.create = full + "/CORRUPT.nes";
    EXPECT_EQ(CopyFile(job, fake.host, c.changeDirectory), c.error.empty()) << c.path;
    EXPECT_EQ(changes, c.changes) << c.path;
    EXPECT_EQ(fs::exists(out), c.error.empty()) << c.path;
    EXPECT_EQ(fake.host.lastError.substr(0, c.error.size()), c.error) << c.path;
    EXPECT_EQ(fs::equivalent(fs::current_path(), full), c.changes == Texts{"dir " + full}) << c.path;
    fs::remove(out);
  }
  EXPECT_TRUE(fake.ui.events.empty());
}

TEST_F(CopyFileTest, CopyOntoTheRomOrADirectoryFailsAndLeavesBothAlone) {
  fs::create_symlink(rom, dir.path() / "link.nes");
  fs::create_hard_link(rom, dir.path() / "hard.nes");
  fs::create_directory(dir.path() / "out");
  dir.Write("out/keep.txt", {1, 2, 3});
  job.start = "0";
  job.end = "$10";
  job.optall = job.optadd = true;
  job.add = "1";
  for (const std::string name : {"./roms/mario.nes", "roms/../roms/mario.nes", rom.c_str(), "link.nes", "hard.nes",
                                 "out"}) {
    job.create = name;
    fake.ui.events.clear();
    EXPECT_FALSE(CopyFile(job, fake.host)) << name;
    // A run asked to overwrite refuses the same way and alters nothing.
    RunJob(job, fake.host);
    EXPECT_EQ(fake.ui.events, (Texts{std::string("message: ") + kCopyFailedMessage})) << name;
    EXPECT_EQ(TempDir::Read(rom), kRom) << name;
    EXPECT_EQ(TempDir::Read(dir / "out/keep.txt"), (std::vector<unsigned char>{1, 2, 3}));
  }
}

}  // namespace
