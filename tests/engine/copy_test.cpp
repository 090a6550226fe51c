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

#include "engine/fresh_copy.h"
#include "engine/run.h"
#include "support/fakes.h"
#include "support/hostile_host.h"
#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;
using namespace engine;

const std::vector<unsigned char> kRom(3000, 0x3C);
const std::string kRun = "status: Status: Loading...|status: Status: Altering...|status: Status: Ready!|";

// Every entry below `root` with what it holds: a file's mode and bytes, a link's target.
std::map<std::string, std::string> Listing(const fs::path& root) {
  std::map<std::string, std::string> entries;
  for (const auto& entry : fs::recursive_directory_iterator(root)) {
    const auto bytes = entry.is_regular_file() ? TempDir::Read(entry.path().string()) : std::vector<unsigned char>{};
    entries[entry.path().lexically_relative(root).generic_string()] =
        entry.is_symlink()        ? "-> " + fs::read_symlink(entry.path()).string()
        : entry.is_regular_file() ? std::to_string(static_cast<int>(entry.status().permissions())) + " " +
                                        std::string(bytes.begin(), bytes.end())
                                  : "folder";
  }
  return entries;
}

// Copies onto every kind of output. A failed one (onto the ROM by any spelling or link, onto a folder, from a
// missing name or one cut at a NUL, onto a full disk) leaves every file as it was and nothing behind. A good
// one is an ordinary data file in the output's place: made with the mode of any new file (0666 less the umask)
// whatever the ROM's or the old output's mode, through a symbolic link that keeps pointing where it pointed.
TEST(CopyFile, ACopyReplacesTheOutputAloneAndAFailedOneNothing) {
  TempDir dir;
  FakeHost fake;
  JobSettings job = MakeJob("optoverwrite;start=0;end=$10;optadd;add=1");
  for (const char* folder : {"roms", "out", "full", "saves"}) fs::create_directories(dir.path() / folder);
  const std::string rom = dir.Write("roms/mario.nes", kRom);
  dir.Write("out/keep.txt", {1, 2, 3});
  dir.Write("roms/big.nes", std::vector<unsigned char>(300000, 0x77));
  dir.Write("roms/CORRUPT.nes", std::vector<unsigned char>(3000, 0xD0));  // the damage of earlier runs
  fs::create_hard_link(rom, dir.path() / "hard.nes");
#ifdef _WIN32  // what Windows has of a mode is the read-only attribute: 0444, or 0666 without it
  const unsigned romMode = 0444, oldMode = 0444, mode = 0666;
#else  // Wine has no symbolic links; Windows gives them to administrators only
  const unsigned romMode = 0755, oldMode = 0775, mode = 0664;
  const mode_t savedMask = ::umask(002);  // a copy made 0644 or with the umask ignored would show
  dir.Write("saves/game.sav", {9});
  fs::permissions(dir / "saves/game.sav", fs::perms(0600));
  fs::create_symlink(rom, dir.path() / "link.nes");
  fs::create_symlink("../saves/game.sav", dir.path() / "roms/game.lnk");
  fs::create_symlink(dir / "saves/new.sav", dir.path() / "roms/new.lnk");  // to nothing yet
#endif
  fs::permissions(rom, fs::perms(romMode));
  fs::permissions(dir / "roms/CORRUPT.nes", fs::perms(oldMode));
  const std::tuple<std::string, std::string, std::string> cases[] = {
      // The ROM, the output, and the file that gets the copy ("" when it fails).
      {"roms/mario.nes", "roms/../roms/mario.nes", ""},
      {"roms/mario.nes", "hard.nes", ""},
      {"roms/mario.nes", "out", ""},
      {"roms/missing.nes", "roms/CORRUPT.nes", ""},
      {"roms/mario.nes" + std::string(1, '\0') + "x", "roms/CORRUPT.nes", ""},
      {"roms/mario.nes", "roms/CORRUPT.nes", "roms/CORRUPT.nes"},
#ifdef _WIN32
      {"roms/mario.nes", "ROMS\\MARIO.NES", ""},  // the same file in other letters
#else
      {"roms/mario.nes", "link.nes", ""},
      {"roms/big.nes", "full/CORRUPT.nes", ""},  // room for the old output only
      {"roms/mario.nes", "roms/game.lnk", "saves/game.sav"},
      {"roms/mario.nes", "roms/new.lnk", "saves/new.sav"},
#endif
  };
  for (const auto& [from, create, holder] : cases) {
    std::optional<Spoiled> disk;
    if (create.starts_with("full/")) {
      disk.emplace("mount -t tmpfs -o size=128k tmpfs '" + dir / "full" + "'", "umount -l '" + dir / "full" + "'");
      if (!disk->made) {
        std::cout << "[  SKIPPED ] the full-disk row: no tmpfs can be mounted here\n";
        continue;
      }
      dir.Write(create, std::vector<unsigned char>(3000, 0xD0));
    }
    auto listing = Listing(dir.path());
    if (!holder.empty()) listing[holder] = std::to_string(mode) + " " + std::string(kRom.begin(), kRom.end());
    job.rom = dir / from;
    job.create = dir / create;
    fake.ui.events.clear();
    RunJob(job, fake.host);  // asked to overwrite, it refuses when the copy fails
    CreateNow(job, fake.host);
    EXPECT_EQ(fake.ui.Seen(), holder.empty()
                                  ? "message: " + std::string(kCopyFailedMessage) +
                                        "|message: Error!  New file NOT created!\r\n" + fake.host.lastError + "|"
                                  : kRun + "message: " + job.create + " created successfully!|");
    EXPECT_EQ(Listing(dir.path()), listing) << create << ": " << fake.host.lastError;
  }
#ifndef _WIN32
  ::umask(savedMask);
#endif
}

}  // namespace
