#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#ifndef _WIN32
#include <sys/stat.h>
#endif

#include "engine/fresh_copy.h"
#include "engine/run.h"
#include "support/fakes.h"
#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;
using namespace engine;

const std::vector<unsigned char> kRom(3000, 0x3C);
const std::string kRun = "status: Status: Loading...|status: Status: Altering...|status: Status: Ready!|";

#ifndef _WIN32
// A name whose full path is 4095 bytes long, the most Linux takes, in folders made for it.
std::string LongestPath(const TempDir& dir) {
  std::string folders = "deep";
  while ((dir / folders).size() + 1 + 255 < 4095) folders += "/" + std::string(200, 'd');
  fs::create_directories(dir / folders);
  return folders + "/" + std::string(4095 - (dir / folders).size() - 1, 'n');
}
#endif

// Copies onto every kind of output. A failed one (onto the ROM by any spelling or link, onto a folder, from a
// missing name or one cut at a NUL, onto a name the system refuses; onto a full disk in the tests run as root) leaves
// every file as it was and nothing behind. A good one is an ordinary data file in the output's place: made with the
// mode of any new file (0666 less the umask) whatever the ROM's or the old output's mode, through a symbolic link that
// keeps pointing where it pointed, under a name or path as long as the system takes.
TEST(CopyFile, ACopyReplacesTheOutputAloneAndAFailedOneNothing) {
  TempDir dir;
  FakeHost fake;
  JobSettings job = MakeJob("optoverwrite;start=0;end=$10;optadd;add=1;emu=emu");
  for (const char* folder : {"roms", "out", "saves"}) fs::create_directories(dir.path() / folder);
  const std::string rom = dir.Write("roms/mario.nes", kRom);
  dir.Write("out/keep.txt", {1, 2, 3});
  dir.Write("roms/CORRUPT.nes", std::vector<unsigned char>(3000, 0xD0));  // the damage of earlier runs
  fs::create_hard_link(rom, dir.path() / "hard.nes");
  const std::string longest = "roms/" + std::string(251, 'n') + ".nes", tooLong = "roms/" + std::string(252, 'n') + ".nes";
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
  const std::string deepest = LongestPath(dir);
#endif
  fs::permissions(rom, fs::perms(romMode));
  fs::permissions(dir / "roms/CORRUPT.nes", fs::perms(oldMode));
  const std::string mario = "roms/mario.nes", itself = "it is the source file itself";
  const struct {
    std::string rom, create;
    std::string holder = "";                // the file that gets the copy
    std::string failure = "", reason = "";  // or the failure that the description names with the output's name
    bool aboutRom = false;                  // or with the ROM's
  } cases[] = {
      {.rom = mario, .create = "roms/../roms/mario.nes", .failure = "File access error", .reason = itself},
      {.rom = mario, .create = "hard.nes", .failure = "File access error", .reason = itself},
      {.rom = mario, .create = "out", .failure = "Cannot open file", .reason = "is a directory"},
      {.rom = "roms/missing.nes", .create = "roms/CORRUPT.nes", .failure = "File not found", .reason = "No such file or directory", .aboutRom = true},
      {.rom = mario, .create = "roms/CORRUPT.nes", .holder = "roms/CORRUPT.nes"},
      {.rom = mario, .create = longest, .holder = longest},
      {.rom = mario, .create = tooLong, .failure = "Cannot open file", .reason = "name too long"},
#ifdef _WIN32
      {.rom = mario, .create = "ROMS\\MARIO.NES", .failure = "File access error", .reason = itself},
      {.rom = mario, .create = "roms/what?.nes", .failure = "Cannot open file", .reason = "not valid on this system"},
#else
      {.rom = mario, .create = "link.nes", .failure = "File access error", .reason = itself},
      {.rom = mario, .create = "roms/game.lnk", .holder = "saves/game.sav"},
      {.rom = mario, .create = "roms/new.lnk", .holder = "saves/new.sav"},
      {.rom = mario, .create = deepest, .holder = deepest},
#endif
  };
  for (const auto& c : cases) {
    auto listing = Listing(dir.path());
    if (!c.holder.empty()) listing[c.holder] = std::to_string(mode) + " " + std::string(kRom.begin(), kRom.end());
    job.rom = dir / c.rom;
    job.create = dir / c.create;
    const std::string about = c.aboutRom ? job.rom : job.create;
    fake.ui.events.clear();
    RunJob(job, fake.host);  // asked to overwrite, it refuses when the copy fails
    CreateNow(job, fake.host);
    const std::string place = "\"" + about + "\": " + c.reason;
    EXPECT_EQ(fake.ui.Seen(), c.holder.empty()
                                  ? "message: " + std::string(kCopyFailedMessage) + "\r\n" + place + "|message: Error!  New file NOT created!\r\n" +
                                        c.failure + ": \"" + about + "\" (" + c.reason + ")|"
                                  : kRun + "message: " + job.create + " created successfully!|");
    EXPECT_EQ(Listing(dir.path()), listing) << c.create;
  }
#ifndef _WIN32
  ::umask(savedMask);
#endif
}

}  // namespace
