#include <gtest/gtest.h>

#include <cctype>
#include <filesystem>
#include <iostream>
#include <map>
#include <optional>
#include <string>
#include <vector>

#ifndef _WIN32
#include <sys/stat.h>
#endif

#include "engine/failure.h"
#include "engine/run.h"
#include "support/fakes.h"
#include "support/hostile_host.h"
#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;
using Texts = std::vector<std::string>;
using namespace engine;

const std::vector<unsigned char> kRom(3000, 0x3C);

// Every entry below `root` with what it holds: a file's mode and bytes, a link's target.
std::map<std::string, std::string> Listing(const fs::path& root) {
  std::map<std::string, std::string> entries;
  for (const auto& entry : fs::recursive_directory_iterator(root)) {
    const auto bytes = entry.is_regular_file() ? TempDir::Read(entry.path().string()) : std::vector<unsigned char>{};
    entries[fs::relative(entry.path(), root).string()] =
        entry.is_symlink()        ? "-> " + fs::read_symlink(entry.path()).string()
        : entry.is_regular_file() ? std::to_string(static_cast<int>(entry.status().permissions())) + " " +
                                        std::string(bytes.begin(), bytes.end())
                                  : "folder";
  }
  return entries;
}

// roms/mario.nes under a temporary current directory; every directory change recorded.
class CopyFileTest : public ::testing::Test {
 protected:
  CopyFileTest() {
    fs::create_directory(dir.path() / "roms");
    rom = dir.Write("roms/mario.nes", kRom);
    fs::current_path(dir.path());
    SetItems(job, "chdir=0;optoverwrite");
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
#ifdef _WIN32
  // A full path starts with its drive here, and folders match in any letter case.
  const Texts intoFull{"drive " + full.substr(0, 1), "dir " + full};
  const std::string drive(1, static_cast<char>(std::tolower(full[0])));
  const std::string otherCase = drive + full.substr(1, full.size() - 5) + "ROMS";
#else
  const Texts intoFull{"dir " + full};
#endif
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
      {kChecked, full, true, "missing.nes", intoFull, "File not found"},  // the change stays
      // A drive the machine does not have: the drive change fails and nothing else is tried.
      {kChecked, MissingDrive() + ":\\nes\\", true, "mario.nes", {"drive " + MissingDrive()}, "Path not found"},
      {kChecked, "", true, "mario.nes", {"dir "}, "Path not found"},
      {kChecked, MissingDrive() + ":", true, "mario.nes", {"drive " + MissingDrive()}, "Path not found"},
      {kChecked, "x", true, "mario.nes", {"dir x"}, "Path not found"},
#ifdef _WIN32
      {kChecked, otherCase, true, "mario.nes", {"drive " + drive, "dir " + otherCase}, ""},
#endif
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
    const bool entered = !c.changes.empty() && !c.error.starts_with("Path");
    EXPECT_EQ(fs::equivalent(fs::current_path(), full), entered) << c.path;
    fs::remove(out);
  }
  EXPECT_TRUE(fake.ui.events.empty());
}

// A failed copy leaves every file as it was, the previous output byte for
// byte, and no temporary file behind: onto the ROM by any spelling or link,
// onto a folder, from a name cut at a NUL, onto a full disk.
TEST_F(CopyFileTest, AFailedCopyLeavesThePreviousOutputAsItWasAndNothingElse) {
#ifndef _WIN32  // Wine has no symbolic links; Windows gives them to administrators only
  fs::create_symlink(rom, dir.path() / "link.nes");
#endif
  fs::create_hard_link(rom, dir.path() / "hard.nes");
  fs::create_directories(dir.path() / "out");
  fs::create_directories(dir.path() / "full");
  dir.Write("out/keep.txt", {1, 2, 3});
  dir.Write("roms/big.nes", std::vector<unsigned char>(300000, 0x77));
  const std::vector<unsigned char> damaged(3000, 0xD0);  // the damage of earlier runs
  dir.Write("roms/CORRUPT.nes", damaged);
  SetItems(job, "start=0;end=$10;optall;optadd;add=1");
  const std::string nul(1, '\0');
  const struct {
    std::string rom, create;
  } cases[] = {
      {"roms/mario.nes", "./roms/mario.nes"},
      {"roms/mario.nes", "roms/../roms/mario.nes"},
      {"roms/mario.nes", rom},
      {"roms/mario.nes", "hard.nes"},
      {"roms/mario.nes", "out"},
      {"roms/missing.nes", "roms/CORRUPT.nes"},
      {"roms/mario.nes" + nul + "x", "roms/CORRUPT.nes"},
      {"roms/mario.nes", "roms/CORRUPT.nes" + nul + "x"},
      {"roms/mario.nes", "nowhere/CORRUPT.nes"},
#ifdef _WIN32
      {"roms/mario.nes", "ROMS\\MARIO.NES"},  // the same file in other letters
#else
      {"roms/mario.nes", "link.nes"},
      {"roms/big.nes", "full/CORRUPT.nes"},  // room for the old output only
#endif
  };
  for (const auto& c : cases) {
    std::optional<Spoiled> disk;
    if (c.create.starts_with("full/")) {
      disk.emplace("mount -t tmpfs -o size=128k tmpfs full", "umount -l full");
      if (!disk->made) {
        std::cout << "[  SKIPPED ] the full-disk row: no tmpfs can be mounted here\n";
        continue;
      }
      dir.Write("full/CORRUPT.nes", damaged);
    }
    const auto before = Listing(dir.path());
    job.rom = c.rom;
    job.create = c.create;
    fake.ui.events.clear();
    EXPECT_FALSE(CopyFile(job, fake.host)) << c.create;
    // A run asked to overwrite refuses the same way and alters nothing.
    RunJob(job, fake.host);
    EXPECT_EQ(fake.ui.events, (Texts{std::string("message: ") + kCopyFailedMessage})) << c.create;
    EXPECT_EQ(Listing(dir.path()), before) << c.create << ": " << fake.host.lastError;
  }
}

// The copy is an ordinary data file in the output's place: made with the mode
// of any new file (0666 less the umask) whatever the ROM's or the old output's
// mode, and a symbolic link keeps pointing where it pointed.
TEST_F(CopyFileTest, TheCopyIsAnOrdinaryFileInTheOutputsPlace) {
  fs::create_directories(dir.path() / "saves");
#ifndef _WIN32
  fs::create_directory_symlink("roms", dir.path() / "linked");
#endif
  const struct {
    unsigned romMode, umask, oldMode;  // oldMode: of a file already in the holder's place, 0 for none
    std::string link, create, holder;  // link: where the output links to, "" for none
    unsigned mode;
  } cases[] = {
#ifdef _WIN32
      // The read-only attribute is what Windows has of a mode; it reads as 0444, its absence as 0666.
      {0444, 0, 0, "", "roms/CORRUPT.nes", "roms/CORRUPT.nes", 0666},
      {0644, 0, 0444, "", "roms/CORRUPT.nes", "roms/CORRUPT.nes", 0666},
#else
      {0444, 022, 0, "", "roms/CORRUPT.nes", "roms/CORRUPT.nes", 0644},
      {0755, 022, 0, "", "roms/CORRUPT.nes", "roms/CORRUPT.nes", 0644},
      {0555, 027, 0, "", "roms/CORRUPT.nes", "roms/CORRUPT.nes", 0640},
      {0644, 022, 0444, "", "roms/CORRUPT.nes", "roms/CORRUPT.nes", 0644},
      {0644, 002, 0775, "", "roms/CORRUPT.nes", "roms/CORRUPT.nes", 0664},
      {0644, 022, 0600, "../saves/game.sav", "roms/CORRUPT.nes", "saves/game.sav", 0644},
      {0644, 022, 0, dir / "saves/new.sav", "roms/CORRUPT.nes", "saves/new.sav", 0644},
      {0644, 022, 0, "", "linked/CORRUPT.nes", "roms/CORRUPT.nes", 0644},
#endif
  };
  for (const auto& c : cases) {
    if (c.oldMode) {
      dir.Write(c.holder, {9});
      fs::permissions(dir / c.holder, fs::perms(c.oldMode));
    }
    if (!c.link.empty()) fs::create_symlink(c.link, out);
    fs::permissions(rom, fs::perms(c.romMode));
    job.create = c.create;
#ifdef _WIN32
    EXPECT_TRUE(CopyFile(job, fake.host)) << c.holder << ": " << fake.host.lastError;
#else
    const mode_t saved = ::umask(c.umask);
    EXPECT_TRUE(CopyFile(job, fake.host)) << c.holder << ": " << fake.host.lastError;
    ::umask(saved);
#endif
    EXPECT_EQ(TempDir::Read(dir / c.holder), kRom) << c.holder;
    EXPECT_EQ(fs::status(dir / c.holder).permissions(), fs::perms(c.mode)) << c.holder;
    EXPECT_EQ(fs::is_symlink(out) ? fs::read_symlink(out).string() : "", c.link) << c.holder;
    for (const auto& [name, what] : Listing(dir.path()))
      EXPECT_EQ(name.find(".glitchforge-"), std::string::npos) << name;  // no temporary file left
    fs::remove(out);
    fs::remove(dir / c.holder);
  }

  // From a read-only ROM, a user who is not root runs the job again and again.
  fs::permissions(rom, fs::perms(0444));
  fs::permissions(dir.path(), fs::perms::all);
  fs::permissions(dir.path() / "roms", fs::perms::all);
  job.create = "roms/CORRUPT.nes";
  SetItems(job, "start=0;end=$10;optall;optadd;add=1");
  const std::string run = "status: Status: Loading...|status: Status: Altering...|status: Status: Ready!|";
  const auto runs = [&] {
    RunJob(job, fake.host);
    RunJob(job, fake.host);
    CreateNow(job, fake.host);
    return fake.ui.Seen();
  };
#ifdef _WIN32
  EXPECT_EQ(runs(), run + run + "message: roms/CORRUPT.nes created successfully!|");
#else
  EXPECT_EQ(AsNobody(runs), run + run + "message: roms/CORRUPT.nes created successfully!|");
#endif
  EXPECT_EQ(TempDir::Read(out), kRom);
}

}  // namespace
