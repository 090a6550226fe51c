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

// Copies onto every kind of output. A failed one (onto the ROM by any spelling or link, onto a folder, from a
// missing name or one cut at a NUL; onto a full disk in the tests run as root) leaves every file as it was and nothing
// behind. A good one is an ordinary data file in the output's place: made with the mode of any new file (0666 less the
// umask) whatever the ROM's or the old output's mode, through a symbolic link that keeps pointing where it pointed.
TEST(CopyFile, ACopyReplacesTheOutputAloneAndAFailedOneNothing) {
  TempDir dir;
  FakeHost fake;
  JobSettings job = MakeJob("optoverwrite;start=0;end=$10;optadd;add=1");
  for (const char* folder : {"roms", "out", "saves"}) fs::create_directories(dir.path() / folder);
  const std::string rom = dir.Write("roms/mario.nes", kRom);
  dir.Write("out/keep.txt", {1, 2, 3});
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
  const std::string mario = "roms/mario.nes";
  const struct {
    std::string rom, output;
    std::string copyIn{};  // the file that gets the copy; none when it fails
  } cases[] = {
      {.rom = mario, .output = "roms/../roms/mario.nes"},
      {.rom = mario, .output = "hard.nes"},
      {.rom = mario, .output = "out"},
      {.rom = "roms/missing.nes", .output = "roms/CORRUPT.nes"},
      {.rom = mario + std::string(1, '\0') + "x", .output = "roms/CORRUPT.nes"},
      {.rom = mario, .output = "roms/CORRUPT.nes", .copyIn = "roms/CORRUPT.nes"},
#ifdef _WIN32
      {.rom = mario, .output = "ROMS\\MARIO.NES"},  // the same file in other letters
#else
      {.rom = mario, .output = "link.nes"},
      {.rom = mario, .output = "roms/game.lnk", .copyIn = "saves/game.sav"},
      {.rom = mario, .output = "roms/new.lnk", .copyIn = "saves/new.sav"},
#endif
  };
  for (const auto& c : cases) {
    auto listing = Listing(dir.path());
    if (!c.copyIn.empty()) listing[c.copyIn] = std::to_string(mode) + " " + std::string(kRom.begin(), kRom.end());
    job.rom = dir / c.rom;
    job.create = dir / c.output;
    fake.ui.events.clear();
    RunJob(job, fake.host);  // asked to overwrite, it refuses when the copy fails
    CreateNow(job, fake.host);
    EXPECT_EQ(fake.ui.Seen(), c.copyIn.empty()
                                  ? "message: " + std::string(kCopyFailedMessage) +
                                        "|message: Error!  New file NOT created!\r\n" + fake.host.lastError + "|"
                                  : kRun + "message: " + job.create + " created successfully!|");
    EXPECT_EQ(Listing(dir.path()), listing) << c.output << ": " << fake.host.lastError;
  }
#ifndef _WIN32
  ::umask(savedMask);
#endif
}

}  // namespace
