#include "engine/run.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "engine/failure.h"
#include "engine/range_buffer.h"
#include "support/fakes.h"
#include "support/hostile_host.h"
#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<unsigned char>;
using Texts = std::vector<std::string>;
using namespace engine;

const std::string kLoading = std::string("status: ") + kStatusLoading;
const std::string kAltering = std::string("status: ") + kStatusAltering;
const std::string kReady = std::string("status: ") + kStatusReady;
const std::string kError = std::string("status: ") + kStatusError;
const Bytes kStale(50000, 0x55);  // an old output file, longer than the ROM

Bytes RomBytes(std::size_t size = 40960) {
  Bytes bytes(size);
  for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<unsigned char>(i * 7 + 3);
  return bytes;
}

// `bytes` with 1 added to every byte from `start` to `end`.
Bytes Added(Bytes bytes, std::size_t start, std::size_t end) {
  for (std::size_t i = start; i <= end; ++i) bytes[i] = static_cast<unsigned char>(bytes[i] + 1);
  return bytes;
}

// Adds 1 to $1010-$2010 of a fresh copy of the ROM, with absolute names.
struct Scene {
  Scene() {
    dir.Write("mario.nes", RomBytes());
    dir.Write("CORRUPT.nes", kStale);
    SetItems(job, "chdir=0;optoverwrite;emu=nes -fs %1;start=$1010;end=$2010;optall;optadd;add=1");
    job.rom = dir / "mario.nes";
    job.create = out;
  }
  ~Scene() {
    fs::current_path(savedDirectory);
    SetRangeBufferLimit(savedLimit);
  }
  // A run that got to the emulator has reported progress for exactly the bytes it
  // announced. Windows tells no file stamps, so the copy's length goes unannounced there.
  void Go() {
    fake.work.expected = fake.work.advanced = 0;
    const std::size_t started = fake.launcher.started.size();
    RunJob(job, fake.host);
    if (fake.launcher.started.size() > started && fake.files.Stamp(job.rom)) {
      EXPECT_EQ(fake.work.advanced, fake.work.expected);
    }
  }
  Bytes Output() const { return TempDir::Read(out); }

  fs::path savedDirectory = fs::current_path();
  std::uint64_t savedLimit = RangeBufferLimit();
  TempDir dir;
  std::string out = dir / "CORRUPT.nes";
  JobSettings job;
  FakeHost fake;
};

class RunTest : public ::testing::Test, public Scene {};

TEST_F(RunTest, RewritesOnlyTheRangeSmallOrLargeAndChangesAddUpWithoutOverwrite) {
  Go();
  EXPECT_EQ(fake.ui.Seen(), kLoading + "|" + kAltering + "|" + kReady + "|");
  EXPECT_EQ(Output(), Added(RomBytes(), 0x1010, 0x2010));
  EXPECT_EQ(TempDir::Read(dir / "mario.nes"), RomBytes());
  EXPECT_EQ(fake.launcher.started, (Texts{"nes -fs " + out}));
  EXPECT_EQ(fake.launcher.dataFiles, (Texts{out}));  // never to be started itself

  SetItems(job, "optoverwrite=2;start=$9FFF;end=$9FFF");  // grey does not count; the last byte of the file
  Go();
  EXPECT_EQ(Output(), Added(Added(RomBytes(), 0x1010, 0x2010), 0x9FFF, 0x9FFF));
  EXPECT_EQ(fake.launcher.started.size(), 2u);

  SetItems(job, "optoverwrite;optadd=0;optshift;shift=1;start=$10;end=$13");
  Go();
  Bytes shifted = RomBytes();
  std::rotate(shifted.begin() + 0x10, shifted.begin() + 0x11, shifted.begin() + 0x14);
  EXPECT_EQ(Output(), shifted);

  // Pieces of 4 MiB, and the copy through reads and writes where the kernel offers none.
  const std::size_t large = (std::size_t{9} << 20) + 5;
  dir.Write("mario.nes", RomBytes(large));
  fake.files.kernelCopy = false;
  SetItems(job, "optshift=0;optadd;start=3;end=$900002");
  Go();
  EXPECT_EQ(Output(), Added(RomBytes(large), 3, 0x900002));
  EXPECT_EQ(fake.work.advanced, large + 0x900000);
  SetItems(job, "optadd=0;optshift;shift=-1");
  Go();
  Bytes rotated = RomBytes(large);
  std::rotate(rotated.begin() + 3, rotated.begin() + 0x900002, rotated.begin() + 0x900003);
  EXPECT_EQ(Output(), rotated);
}

TEST_F(RunTest, RefusalsLeaveTheFreshCopyAndWriteNothing) {
  const std::string beyond = "message: The specified end reaches beyond the end of the file!\r\n";
  const struct {
    const char *items, *rom;
    std::string seen;
    Bytes output = RomBytes();
  } cases[] = {
      {"start=$2000;end=$1000", "mario.nes", "message: You gave a baaaaad range to corrupt! (2000-1000)|"},
      {"start=0;end=$A000", "mario.nes", beyond + "A000 vs A000|"},
      {"start=$10;end=$A001", "mario.nes", beyond + "A000 vs A001|"},
      {"end=$10;add=256", "mario.nes",
       kLoading + "|" + kAltering + "|message: You're not adding anything!|" + kReady + "|"},
      {"end=$10", "missing.nes", std::string("message: ") + kCopyFailedMessage + "|", kStale},
  };
  for (const auto& c : cases) {
    dir.Write("CORRUPT.nes", kStale);
    fake.ui.events.clear();
    SetItems(job, "start=0;add=1");
    SetItems(job, c.items).rom = dir / c.rom;
    Go();
    EXPECT_EQ(fake.ui.Seen(), c.seen);
    EXPECT_EQ(Output(), c.output) << c.seen;
  }
  EXPECT_TRUE(fake.launcher.started.empty());
}

TEST_F(RunTest, FailureBranchesShowTheirMessageThenError) {
  const std::string loading = kLoading + "|", altering = loading + kAltering + "|";
  const struct {
    std::string items;  // "@" stands for the scene's directory
    std::string fault;  // "ReadAt" shrinks the ROM as it is read, "WriteAt" and "Start" fail
    std::string before, message;
    Bytes output;  // empty: no output file
  } cases[] = {
      {"chdir;path=@/nowhere", "", "", kPathErrorMessage, kStale},
      {"start='", "", "", kFileErrorMessage, RomBytes()},
      {"optoverwrite=0", "NoOutput", "", kFileErrorMessage, {}},
      {"", "ReadAt", loading, kFileErrorMessage, RomBytes(0x1800)},
      {"optadd=0;optshift;shift=1;end=$1010", "", altering, "Error! Division by zero", RomBytes()},
      {"", "WriteAt", altering, kFileErrorMessage, RomBytes()},
      {"", "Start", altering, kFileErrorMessage, Added(RomBytes(), 0x1010, 0x2010)},
  };
  for (const auto& c : cases) {
    Scene t;
    std::string items = c.items;
    if (const auto at = items.find('@'); at != items.npos) items.replace(at, 1, t.dir.path().string());
    SetItems(t.job, items);
    if (c.fault == "ReadAt") t.fake.files.before["ReadAt"] = [](auto& p) { fs::resize_file(p, 0x1800); };
    if (c.fault == "WriteAt")
      t.fake.files.before["WriteAt"] = [](auto& p) { throw HostFailure(FailureKind::FileAccess, p); };
    t.fake.launcher.fail = c.fault == "Start";
    if (c.fault == "NoOutput") fs::remove(t.out);
    t.Go();
    const std::string& error = t.fake.host.lastError;
    EXPECT_EQ(t.fake.ui.Seen(), c.before + "message: " + c.message + "|" + kError + "|");
    EXPECT_TRUE(!error.empty() && (!c.message.starts_with("Error! ") || c.message == "Error! " + error)) << error;
    EXPECT_EQ(fs::exists(t.job.create) ? TempDir::Read(t.job.create) : Bytes{}, c.output) << c.message;
    EXPECT_TRUE(t.fake.launcher.started.empty());
  }
}

// Without "Overwrite Old File" a read-only output fails as the range is read.
TEST_F(RunTest, AReadOnlyOutputFailsInTheReadStretch) {
#ifdef _WIN32
  GTEST_SKIP() << "no user nobody to try it as";
#else
  job.optoverwrite = kUnchecked;
  fs::permissions(out, fs::perms(0444));
  const auto attempt = [&] {
    RunJob(job, fake.host);
    return fake.ui.Seen();
  };
  EXPECT_EQ(AsNobody(attempt), kLoading + "|message: " + kFileErrorMessage + "|" + kError + "|");
  EXPECT_EQ(Output(), kStale);
#endif
}

TEST_F(RunTest, WorksInTheWorkingDirectoryWithRelativeNonAsciiNames) {
  fs::create_directories(Utf8Path(dir / "röms"));
  dir.Write("röms/mário.nes", RomBytes());
  fs::current_path(dir.path());
  job.chdir = kChecked;  // relative: the copy must not change into röms/röms
  job.path = "röms";
  job.rom = "mário.nes";
  job.create = "CORRUPT é.nes";
  job.emu = "nes";
  dir.Write("CORRUPT é.nes", {0xFF});  // the same name outside the working directory
  Go();
  EXPECT_EQ(fake.ui.events.back(), kReady);
  EXPECT_TRUE(fs::equivalent(fs::current_path(), Utf8Path(dir / "röms")));
  EXPECT_EQ(TempDir::Read(dir / "röms/CORRUPT é.nes"), Added(RomBytes(), 0x1010, 0x2010));
  EXPECT_EQ(fake.launcher.started, (Texts{"nes CORRUPT é.nes"}));
  EXPECT_EQ(TempDir::Read(dir / "CORRUPT é.nes"), Bytes{0xFF});
}

// A sparse output file of 3 GiB: its length must not wrap to a negative
// 32-bit number, and a range larger than memory allows fails in the read stretch.
TEST_F(RunTest, HugeFilesAreMeasuredInSixtyFourBitsAndHugeRangesFailAsOutOfMemory) {
  job.optoverwrite = kUnchecked;
  const std::uint64_t length = std::uint64_t{3} << 30;
  fs::resize_file(out, length);
  fake.files.WriteAt(out, 0x7FFFFFF8, std::vector<std::uint8_t>{10, 20, 30, 40, 50, 60, 70, 80});
  const std::string failed = kLoading + "|message: " + kFileErrorMessage + "|" + kError + "|";
  const struct {
    const char* items;
    std::uint64_t limit;
    std::string seen;
  } cases[] = {
      {"start=0;end=$7FFFFFFE", 1 << 20, failed},
      {"start=$7FFFFFF0;end=$7FFFFFFF", 15, failed},
      {"start=$7FFFFFF9;end=$7FFFFFFF", 7, kLoading + "|" + kAltering + "|" + kReady + "|"},
  };
  for (const auto& c : cases) {
    fake.ui.events.clear();
    fake.host.lastError.clear();
    SetRangeBufferLimit(c.limit);
    SetItems(job, c.items);
    Go();
    EXPECT_EQ(fake.ui.Seen(), c.seen) << c.items;
    EXPECT_EQ(fake.host.lastError, c.seen == failed ? "Out of memory" : "");
  }
  std::vector<std::uint8_t> back(10);
  fake.files.ReadAt(out, 0x7FFFFFF7, back);
  EXPECT_EQ(back, (std::vector<std::uint8_t>{0, 10, 21, 31, 41, 51, 61, 71, 81, 0}));
  EXPECT_EQ(fs::file_size(out), length);
}

}  // namespace
