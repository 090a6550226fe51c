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

std::vector<unsigned char> RomBytes(std::size_t size = 3000) {
  std::vector<unsigned char> bytes(size);
  for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<unsigned char>(i * 13 + 1);
  return bytes;
}

class CopyFileTest : public ::testing::Test {
 protected:
  CopyFileTest() {
    fs::create_directory(dir.path() / "roms");
    rom = dir.Write("roms/mario.nes", RomBytes());
    fs::current_path(dir.path());
    job.chdir = engine::kUnchecked;
    job.optoverwrite = engine::kChecked;
    job.rom = "roms/mario.nes";
    job.create = "roms/CORRUPT.nes";
  }
  ~CopyFileTest() override { fs::current_path(savedDirectory_); }

  // Records every directory change the copy asks for.
  void RecordDirectoryChanges() {
    fake.files.before["ChangeDrive"] = [this](const std::string& d) { changes.push_back("drive " + d); };
    fake.files.before["ChangeDirectory"] = [this](const std::string& d) { changes.push_back("dir " + d); };
  }

  fs::path savedDirectory_ = fs::current_path();
  TempDir dir;
  std::string rom;
  engine::JobSettings job;
  FakeHost fake;
  std::vector<std::string> changes;
};

TEST_F(CopyFileTest, CreateNowReportsTheNameAsTyped) {
  for (int overwrite : {engine::kChecked, engine::kUnchecked}) {
    fs::remove(dir.path() / "roms/CORRUPT.nes");
    job.optoverwrite = overwrite;
    fake.ui.events.clear();
    engine::cmdCreateNow_Click(job, fake.host);
    EXPECT_EQ(fake.ui.events, (std::vector<std::string>{"message: roms/CORRUPT.nes created successfully!"}));
    EXPECT_EQ(TempDir::Read(dir / "roms/CORRUPT.nes"), RomBytes());
  }
  EXPECT_TRUE(fake.launcher.started.empty());
}

TEST_F(CopyFileTest, CreateNowFailureEndsWithTheCopyFailure) {
  job.rom = "roms/missing.nes";
  const std::string before = "stale text";
  fake.host.lastError = before;
  engine::cmdCreateNow_Click(job, fake.host);
  ASSERT_EQ(fake.ui.events.size(), 1u);
  EXPECT_EQ(fake.ui.events[0],
            "message: Error!  New file NOT created!\r\nFile not found: \"roms/missing.nes\" (No such file or "
            "directory)");
  EXPECT_FALSE(fs::exists(dir.path() / "roms/CORRUPT.nes"));
}

TEST_F(CopyFileTest, ChangesIntoTheWorkingDirectoryFirst) {
  RecordDirectoryChanges();
  job.chdir = engine::kChecked;
  job.path = "roms";
  job.rom = "mario.nes";
  job.create = "CORRUPT.nes";
  dir.Write("CORRUPT.nes", {0xFF});  // a file of that name outside the working directory stays

  EXPECT_TRUE(engine::CopyFile(job, fake.host));
  EXPECT_EQ(changes, (std::vector<std::string>{"dir roms"}));
  EXPECT_TRUE(fs::equivalent(fs::current_path(), dir.path() / "roms"));
  EXPECT_EQ(TempDir::Read(dir / "roms/CORRUPT.nes"), RomBytes());
  EXPECT_EQ(TempDir::Read(dir / "CORRUPT.nes"), (std::vector<unsigned char>{0xFF}));
}

TEST_F(CopyFileTest, WorkingDirectoryRules) {
  struct Case {
    int chdir;
    std::string path;
    bool changeDirectory;
    bool copied;
    std::vector<std::string> changes;
  };
  const std::string full = (dir.path() / "roms").string();
  const Case cases[] = {
      {engine::kUnchecked, "nowhere", true, true, {}},
      {engine::kGrey, "nowhere", true, true, {}},
      {engine::kChecked, full, false, true, {}},
      {engine::kChecked, full, true, true, {"dir " + full}},
      // No drive letters here: the drive change fails and nothing else is tried.
      {engine::kChecked, "C:\\nes\\", true, false, {"drive C"}},
      {engine::kChecked, "r", true, false, {"dir r"}},
      {engine::kChecked, "", true, false, {"dir "}},
  };
  for (const auto& c : cases) {
    fs::current_path(dir.path());
    fs::remove(dir.path() / "roms/CORRUPT.nes");
    changes.clear();
    RecordDirectoryChanges();
    job.chdir = c.chdir;
    job.path = c.path;
    job.rom = (dir.path() / "roms/mario.nes").string();
    job.create = (dir.path() / "roms/CORRUPT.nes").string();
    fake.host.lastError.clear();
    EXPECT_EQ(engine::CopyFile(job, fake.host, c.changeDirectory), c.copied) << c.path;
    EXPECT_EQ(changes, c.changes) << c.path;
    EXPECT_EQ(fs::exists(dir.path() / "roms/CORRUPT.nes"), c.copied) << c.path;
    EXPECT_EQ(fake.host.lastError.rfind("Path not found", 0) == 0, !c.copied) << fake.host.lastError;
  }
  EXPECT_TRUE(fake.ui.events.empty());
}

TEST_F(CopyFileTest, DirectoryChangeBeforeAFailedCopyStays) {
  job.chdir = engine::kChecked;
  job.path = "roms";
  job.rom = "missing.nes";
  EXPECT_FALSE(engine::CopyFile(job, fake.host));
  EXPECT_TRUE(fs::equivalent(fs::current_path(), dir.path() / "roms"));
  EXPECT_EQ(fake.host.lastError.rfind("File not found", 0), 0u) << fake.host.lastError;
}

TEST_F(CopyFileTest, CopyOntoTheRomItselfFailsForEverySpelling) {
  fs::create_symlink(rom, dir.path() / "link.nes");
  fs::create_hard_link(rom, dir.path() / "hard.nes");
  for (const std::string& name : {std::string("roms/mario.nes"), std::string("./roms/mario.nes"),
                                  std::string("roms/../roms/mario.nes"), rom, std::string("link.nes"),
                                  std::string("hard.nes")}) {
    job.create = name;
    fake.ui.events.clear();
    EXPECT_FALSE(engine::CopyFile(job, fake.host)) << name;
    EXPECT_EQ(TempDir::Read(rom), RomBytes()) << name;

    // A run asked to overwrite refuses the same way and alters nothing.
    job.start = "0";
    job.end = "$10";
    job.optall = job.optadd = true;
    job.add = "1";
    engine::cmdGo_Click(job, fake.host);
    EXPECT_EQ(fake.ui.events, (std::vector<std::string>{std::string("message: ") + engine::kCopyFailedMessage}))
        << name;
    EXPECT_EQ(TempDir::Read(rom), RomBytes()) << name;
  }
}

TEST_F(CopyFileTest, NeverThrowsAndRecordsTheFailure) {
  fake.files.before["Copy"] = [](const std::string&) { throw std::bad_alloc(); };
  EXPECT_FALSE(engine::CopyFile(job, fake.host));
  EXPECT_EQ(fake.host.lastError, "Out of memory");

  fake.files.before["Copy"] = FaultyFileSystem::Fail(engine::FailureKind::FileAccess);
  EXPECT_FALSE(engine::CopyFile(job, fake.host));
  EXPECT_EQ(fake.host.lastError, "File access error: roms/CORRUPT.nes");
}

}  // namespace
