// The copy, the run and the disk's failures where root alone can set the scene: a full disk, and files and
// folders that are there but not the user's.
#include <gmock/gmock.h>

#include <filesystem>
#include <string>
#include <vector>

#include "as_root/as_root.h"
#include "engine/fresh_copy.h"
#include "engine/run.h"
#include "engine/status.h"
#include "support/fakes.h"
#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<unsigned char>;
using Texts = std::vector<std::string>;

// A full disk has room for the old output only: the failed copy says so, and leaves it whole and nothing behind.
TEST_F(AsRoot, ACopyOntoAFullDiskLeavesEveryFileAsItWas) {
  TempDir dir;
  fs::create_directories(dir.path() / "full");
  const Spoiled disk("mount -t tmpfs -o size=128k tmpfs '" + dir / "full" + "'", "umount -l '" + dir / "full" + "'");
  if (!disk.made) GTEST_SKIP() << "no tmpfs can be mounted here";
  FakeHost fake;
  engine::JobSettings job = MakeJob("optoverwrite;start=0;end=$10;optadd;add=1");
  job.rom = dir.Write("big.nes", Bytes(300000, 0x77));
  job.create = dir.Write("full/CORRUPT.nes", Bytes(3000, 0xD0));
  const auto listing = Listing(dir.path());
  RunJob(job, fake.host);  // asked to overwrite, it refuses when the copy fails
  CreateNow(job, fake.host);
  const std::string noRoom = "no room for a second copy of the image: No space left on device";
  EXPECT_EQ(fake.ui.Seen(), "message: " + std::string(engine::kCopyFailedMessage) + "\r\n\"" + job.create +
                                "\": " + noRoom + "|message: Error!  New file NOT created!\r\nFile access error: \"" +
                                job.create + "\" (" + noRoom + ")|");
  EXPECT_EQ(Listing(dir.path()), listing);
}

// As the user nobody a run writes the output and only reads the ROM: a read-only output fails as the range is
// read, a read-only ROM is no failure.
TEST_F(AsRoot, ARunAsNobodyFailsOnAReadOnlyOutputAndNotOnAReadOnlyRom) {
  const std::string loading = std::string("status: ") + engine::kStatusLoading + "|";
  const Bytes rom(64, 0x10), old(100, 0x55);
  const struct {
    bool romReadOnly;
    std::string seen, lastError;
    Bytes output;
  } cases[] = {
      {.romReadOnly = false,  // then the message names the output
       .seen = loading + "status: " + engine::kStatusError + "|message: " + engine::kFileErrorMessage + "\r\n\"",
       .lastError = "Cannot open file: ",
       .output = old},
      {.romReadOnly = true,
       .seen = loading + "status: " + engine::kStatusAltering + "|status: " + engine::kStatusReady + "|",
       .lastError = "",
       .output = Bytes(64, 0x11)},
  };
  for (const auto& c : cases) {
    TempDir dir;
    FakeHost fake;
    engine::JobSettings job = MakeJob("start=$0;end=$3F;optadd;add=1;emu=emu");
    job.optoverwrite = c.romReadOnly;  // a fresh copy of the ROM, or the output as it is
    job.rom = dir.Write("rom.nes", rom);
    job.create = dir.Write("out.nes", old);
    fs::permissions(c.romReadOnly ? job.rom : job.create, fs::perms(0444));
    fs::permissions(dir.path(), fs::perms::all);  // the fresh copy is made in the folder
    const Texts seen = AsNobody([&] {
      engine::RunJob(job, fake.host);
      return Texts{fake.ui.Seen(), fake.host.lastError};
    });
    ASSERT_EQ(seen.size(), 2u) << seen[0];
    EXPECT_EQ(seen[0], c.romReadOnly ? c.seen : c.seen + job.create + "\": Permission denied|");
    EXPECT_THAT(seen[1], ::testing::StartsWith(c.lastError));
    EXPECT_EQ(TempDir::Read(job.create), c.output);
  }
}

// Files and folders that are there but not the user's refuse to open; none is a missing file.
TEST_F(AsRoot, FilesAndFoldersNotTheUsersFailAsNotOpenable) {
  TempDir dir;
  host::DiskFileSystem disk;
  const std::string file = dir.Write("small.bin", {1, 2}), locked = dir.Write("locked.bin", {1, 2});
  const std::string closed = dir / "closed";
  fs::create_directory(closed);
  dir.Write("closed/inside.bin", {1, 2});
  fs::permissions(locked, fs::perms::owner_read | fs::perms::owner_write);
  fs::permissions(closed, fs::perms::owner_all);
  std::vector<std::uint8_t> two(2);
  const Operations operations{
      {[&] { disk.ReadAt(locked, 0, two); }, "Cannot open file: \"" + locked + "\" (Permission denied)"},
      {[&] { disk.Copy(file, dir / "closed/copy.bin"); }, "Cannot open file: "},
      {[&] { disk.FileLength(dir / "closed/inside.bin"); }, "Cannot open file: "},
      {[&] { disk.ChangeDirectory(closed); }, "Path not accessible: \"" + closed + "\" (Permission denied)"},
  };
  EXPECT_EQ(AsNobody([&] { return Texts{Mismatches(operations)}; }), Texts{""});
  EXPECT_FALSE(fs::exists(dir / "closed/copy.bin"));
}

}  // namespace
