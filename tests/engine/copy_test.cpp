#include <gtest/gtest.h>

#include <filesystem>
#include <iostream>
#include <map>
#include <optional>
#include <string>
#include <tuple>
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

// roms/mario.nes under a temporary current directory.
class CopyFileTest : public ::testing::Test {
 protected:
  CopyFileTest() {
    fs::create_directory(dir.path() / "roms");
    rom = dir.Write("roms/mario.nes", kRom);
    fs::current_path(dir.path());
    SetItems(job, "chdir=0;optoverwrite");
    job.rom = "roms/mario.nes";
    job.create = "roms/CORRUPT.nes";
  }
  ~CopyFileTest() override { fs::current_path(savedDirectory); }

  fs::path savedDirectory = fs::current_path();
  TempDir dir;
  std::string rom, out = dir / "roms/CORRUPT.nes";
  JobSettings job;
  FakeHost fake;
};

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
  const std::pair<std::string, std::string> cases[] = {
      {"roms/mario.nes", "roms/../roms/mario.nes"},
      {"roms/mario.nes", "hard.nes"},
      {"roms/mario.nes", "out"},
      {"roms/missing.nes", "roms/CORRUPT.nes"},
      {"roms/mario.nes" + std::string(1, '\0') + "x", "roms/CORRUPT.nes"},
#ifdef _WIN32
      {"roms/mario.nes", "ROMS\\MARIO.NES"},  // the same file in other letters
#else
      {"roms/mario.nes", "link.nes"},
      {"roms/big.nes", "full/CORRUPT.nes"},  // room for the old output only
#endif
  };
  for (const auto& [from, create] : cases) {
    std::optional<Spoiled> disk;
    if (create.starts_with("full/")) {
      disk.emplace("mount -t tmpfs -o size=128k tmpfs full", "umount -l full");
      if (!disk->made) {
        std::cout << "[  SKIPPED ] the full-disk row: no tmpfs can be mounted here\n";
        continue;
      }
      dir.Write("full/CORRUPT.nes", damaged);
    }
    const auto before = Listing(dir.path());
    job.rom = from;
    job.create = create;
    fake.ui.events.clear();
    RunJob(job, fake.host);  // asked to overwrite: it refuses when the copy fails
    CreateNow(job, fake.host);
    EXPECT_EQ(fake.ui.events, (Texts{std::string("message: ") + kCopyFailedMessage,
                                     "message: Error!  New file NOT created!\r\n" + fake.host.lastError}))
        << create;
    EXPECT_EQ(Listing(dir.path()), before) << create << ": " << fake.host.lastError;
  }
}

// The copy is an ordinary data file in the output's place: made with the mode
// of any new file (0666 less the umask) whatever the ROM's or the old output's
// mode, and a symbolic link keeps pointing where it pointed.
TEST_F(CopyFileTest, TheCopyIsAnOrdinaryFileInTheOutputsPlace) {
  fs::create_directories(dir.path() / "saves");
#ifdef _WIN32
  const auto mode = fs::perms(0666);  // what Windows has of a mode is the read-only attribute (0444)
#else
  const auto mode = fs::perms(0664);
  const mode_t savedMask = ::umask(002);  // a copy made 0644 or with the umask ignored would show
#endif
  const std::tuple<unsigned, unsigned, std::string, std::string> cases[] = {
  // The ROM's mode, that of a file already in the holder's place (0 for none), where the output links to.
#ifdef _WIN32
      {0444, 0, "", "roms/CORRUPT.nes"},
      {0644, 0444, "", "roms/CORRUPT.nes"},
#else
      {0755, 0775, "", "roms/CORRUPT.nes"},
      {0644, 0600, "../saves/game.sav", "saves/game.sav"},
      {0644, 0, dir / "saves/new.sav", "saves/new.sav"},
#endif
  };
  for (const auto& [romMode, oldMode, link, holder] : cases) {
    if (oldMode) {
      dir.Write(holder, {9});
      fs::permissions(dir / holder, fs::perms(oldMode));
    }
    if (!link.empty()) fs::create_symlink(link, out);
    fs::permissions(rom, fs::perms(romMode));
    EXPECT_TRUE(CopyFile(job, fake.host)) << holder << ": " << fake.host.lastError;
    EXPECT_EQ(TempDir::Read(dir / holder), kRom) << holder;
    EXPECT_EQ(fs::status(dir / holder).permissions(), mode) << holder;
    EXPECT_EQ(fs::is_symlink(out) ? fs::read_symlink(out).string() : "", link) << holder;
    fs::remove(out);
    fs::remove(dir / holder);
  }
#ifndef _WIN32
  ::umask(savedMask);
#endif
  for (const auto& [name, what] : Listing(dir.path()))
    EXPECT_EQ(name.find(".glitchforge-"), std::string::npos) << name;  // no temporary file left

  // A user who is not root makes a copy of a read-only ROM: the ROM is only read.
  fs::permissions(rom, fs::perms(0444));
  fs::permissions(dir.path() / "roms", fs::perms::all);
  const auto createNow = [&] {
    CreateNow(job, fake.host);
    return fake.ui.Seen();
  };
  EXPECT_EQ(AsNobody(createNow), "message: roms/CORRUPT.nes created successfully!|");
  EXPECT_EQ(TempDir::Read(out), kRom);
}

}  // namespace
