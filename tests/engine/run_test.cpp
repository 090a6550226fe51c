#include "engine/run.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "engine/failure.h"
#include "engine/fresh_copy.h"
#include "engine/patch_job.h"
#include "engine/range_buffer.h"
#include "support/fakes.h"
#include "support/temp_dir.h"
#ifndef _WIN32
#include "support/as_root.h"
#endif

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<unsigned char>;
using Texts = std::vector<std::string>;
using namespace engine;

const std::string kLoading = std::string("status: ") + kStatusLoading + "|";
const std::string kAltering = std::string("status: ") + kStatusAltering + "|";
const std::string kReady = std::string("status: ") + kStatusReady + "|";
const std::string kError = std::string("status: ") + kStatusError + "|";
const Bytes kStale(50000, 0x55);  // an old output file, longer than the ROM

Bytes RomBytes(std::size_t size = 40960) {
  Bytes bytes(size);
  for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<unsigned char>(i * 7 + 3);
  return bytes;
}

Bytes Added(Bytes bytes, std::size_t start, std::size_t end) {
  for (std::size_t i = start; i <= end; ++i) bytes[i] = static_cast<unsigned char>(bytes[i] + 1);
  return bytes;
}

// Adds 1 to $1010-$2010 of a fresh copy of the ROM. The names are relative, not ASCII, and the working
// directory is relative too: the copy must not change into röms/röms.
struct Scene {
  Scene() {
    fs::create_directories(Utf8Path(dir / "röms"));
    dir.Write("röms/mário.nes", RomBytes());
    dir.Write("röms/CORRUPT é.nes", kStale);
    SetItems(job, "chdir;path=röms;rom=mário.nes;optoverwrite;emu=nes -fs %1;start=$1010;end=$2010;optall;optadd;add=1");
    job.create = "CORRUPT é.nes";
  }
  ~Scene() { SetRangeBufferLimit(savedLimit); }
  // A run that got to the emulator has reported progress for exactly the bytes it announced.
  void Go() {
    fs::current_path(dir.path());
    fake.work.expected = fake.work.advanced = 0;
    const std::size_t started = fake.launcher.started.size();
    RunJob(job, fake.host);
    if (fake.launcher.started.size() > started) {
      EXPECT_EQ(fake.work.advanced, fake.work.expected);
    }
  }
  Bytes Output() const { return TempDir::Read(out); }

  std::uint64_t savedLimit = RangeBufferLimit();
  TempDir dir;
  std::string out = dir / "röms/CORRUPT é.nes";
  JobSettings job;
  FakeHost fake;
};

class RunTest : public ::testing::Test, public Scene {};

TEST_F(RunTest, RewritesOnlyTheRangeSmallOrLargeAndChangesAddUpWithoutOverwrite) {
  Go();
  EXPECT_EQ(fake.ui.Seen(), kLoading + kAltering + kReady);
  EXPECT_EQ(Output(), Added(RomBytes(), 0x1010, 0x2010));
  EXPECT_EQ(fake.launcher.started, (Texts{"nes -fs CORRUPT é.nes"}));
  EXPECT_EQ(fake.launcher.dataFiles, (Texts{"CORRUPT é.nes"}));  // never to be started itself

  SetItems(job, "optoverwrite=2;start=$9FFF;end=$9FFF");  // grey does not count; the last byte of the file
  Go();
  EXPECT_EQ(Output(), Added(Added(RomBytes(), 0x1010, 0x2010), 0x9FFF, 0x9FFF));

  // Pieces of 4 MiB, and the copy through reads and writes where the kernel offers none.
  const std::size_t large = (std::size_t{9} << 20) + 5;
  dir.Write("röms/mário.nes", RomBytes(large));
  fake.files.CopyByReadsAndWrites(true);
  SetItems(job, "optoverwrite;start=3;end=$900002");
  Go();
  EXPECT_EQ(Output(), Added(RomBytes(large), 3, 0x900002));
  EXPECT_EQ(fake.work.advanced, large);  // the range written once, by the copy
  SetItems(job, "optadd=0;optshift;shift=-1");
  Go();
  Bytes rotated = RomBytes(large);
  std::rotate(rotated.begin() + 3, rotated.begin() + 0x900002, rotated.begin() + 0x900003);
  EXPECT_EQ(Output(), rotated);
  SetItems(job, "optoverwrite=0;shift=5");  // the output kept: the range's originals go through a scratch copy
  Go();
  std::rotate(rotated.begin() + 3, rotated.begin() + 8, rotated.begin() + 0x900003);
  EXPECT_EQ(Output(), rotated);
  EXPECT_EQ(std::distance(fs::directory_iterator(Utf8Path(dir / "röms")), {}), 2);  // and the copy is gone
}

// A fresh copy writes the range itself, read from the ROM and altered on its way, without reading or writing the
// output in place; the user sees the same, and the output is byte for byte that of a plain copy altered afterwards
// ("Overwrite Old File" unchecked), with the same draws, whatever the action and selection. The range spans three
// pieces and starts and ends inside one.
TEST_F(RunTest, AFreshCopyAltersTheRangeOnItsWayToTheBytesOfCopyThenAlter) {
  const std::size_t large = (std::size_t{9} << 20) + 5;
  dir.Write("röms/mário.nes", RomBytes(large));
  const struct {
    const char* action;  // in words
    std::string items;   // as the job's fields
  } rows[] = {
      {.action = "Random Bytes on every byte", .items = "optcorrupt;optrandombytes"},
      {.action = "a byte from $10 to $1F on every 4099th byte", .items = "optnth;nth=4099;optcorrupt;optbyterange;range1=$10;range2=$1F"},
      {.action = "Add 3 to the bytes whose offset has neither bit of $2040", .items = "optmask;mask=$2040;optadd;add=3"},
      {.action = "the sequence 1, 2, 3 in turn", .items = "optcorrupt;optsequence;sequence=1,2,3"},
      {.action = "Shift Right by 4097, across pieces", .items = "optshift;shift=4097"},
      {.action = "Shift Left by 5000 over every third byte", .items = "optnth;nth=3;optshift;shift=-5000"},
  };
  int inPlace = 0;
  fake.files.before["ReadAt"] = fake.files.before["WriteAt"] = [&](const std::string&) { ++inPlace; };
  for (const auto& row : rows) {
    job = MakeJob(row.items + ";chdir;path=röms;rom=mário.nes;emu=nes;start=3;end=$900002;optoverwrite");
    job.create = "CORRUPT é.nes";
    fake.random = ScriptedRandom(ScriptedRandom::Script());
    fake.ui.events.clear();
    Go();
    const Bytes onePass = Output();
    FakeHost copyThenAlter;
    copyThenAlter.random = ScriptedRandom(ScriptedRandom::Script());
    dir.Write("röms/CORRUPT é.nes", RomBytes(large));
    fs::current_path(dir.path());
    RunJob(SetItems(job, "optoverwrite=0"), copyThenAlter.host);
    EXPECT_TRUE(onePass == Output()) << row.action;
    EXPECT_EQ(fake.ui.events, copyThenAlter.ui.events) << row.action;
  }
  EXPECT_EQ(inPlace, 0);
}

// Each refusal and failure branch shows its message, then "Status: Error!" after a failure, and ends with the
// last error; a refusal leaves the fresh copy as it is, and nothing starts. A grey "Change directory to:" stays
// where it is, a path of exactly "C:" names a drive, and an empty one is tried too. The last accepted end, the
// file's last byte, is run above; read-only files are tried as the user nobody in AsRootRun below.
TEST_F(RunTest, RefusalsAndFailureBranchesShowTheirMessageAndLeaveTheOutput) {
  const std::string beyond = "message: The specified end reaches beyond the end of the file!\r\n";
  // After a failure the status line says so before the message, which names the file or program on a second line.
  const auto failed = [](const std::string& why) { return kError + "message: " + kFileErrorMessage + "\r\n" + why + "|"; };
  const auto noPath = [](const std::string& why) { return kError + "message: " + kPathErrorMessage + "\r\n" + why + "|"; };
  const std::string altered = kLoading + kAltering, notFound = "Path not found: \"", drive = MissingDrive();
#ifdef _WIN32
  const std::string noDrives = "no such drive";
#else
  const std::string noDrives = "this system has no drive letters";
#endif
  const Bytes added = Added(RomBytes(), 0x1010, 0x2010);
  const struct {
    std::string items{};
    std::string fault{};                  // "ReadAt" and "ReadOnlyAt" shrink the file read, "WriteAt" and "Start" fail
    std::uint64_t cancelAt = UINT64_MAX;  // the user cancels once this many bytes are done
    std::string seen;                     // what the user saw
    std::string lastError{};              // the start of the last error
    Bytes output = RomBytes();            // the output after it; empty: none
  } cases[] = {
      {.items = "start=$2000;end=$1000", .seen = "message: You gave a baaaaad range to corrupt! (2000-1000)|"},
      {.items = "start=0;end=$A000", .seen = beyond + "A000 vs A000|"},
      {.items = "start=$10;end=$A001", .seen = beyond + "A000 vs A001|"},
      {.items = "end=$1010;add=256", .seen = altered + "message: You're not adding anything!|" + kReady},
      {.items = "path=nowhere", .seen = noPath("\"nowhere\": No such file or directory"), .lastError = notFound + "nowhere\"", .output = kStale},
      {.items = "path=", .seen = noPath("\"\": no directory given"), .lastError = notFound + "\" (", .output = kStale},
      {.items = "path=" + drive + ":", .seen = noPath("\"" + drive + "\": " + noDrives), .lastError = notFound + drive + "\" (", .output = kStale},
      {.items = "chdir=2",
       .seen = "message: " + std::string(kCopyFailedMessage) + "\r\n\"mário.nes\": No such file or directory|",
       .lastError = "File not found: \"mário.nes\"",
       .output = kStale},
      {.items = "start='", .seen = failed("Invalid procedure call or argument")},
      {.items = "optoverwrite=0",
       .fault = "NoOutput",
       .seen = failed("\"CORRUPT é.nes\": No such file or directory"),
       .lastError = "File not found",
       .output = {}},
      {.fault = "ReadOnlyAt",  // the ROM cut short as the fresh copy reads the range from it
       .seen = "message: " + std::string(kCopyFailedMessage) + "\r\n\"mário.nes\": the file ended before the range did|",
       .lastError = "File access error",
       .output = kStale},
      {.items = "optoverwrite=0",
       .fault = "ReadAt",
       .seen = kLoading + failed("\"CORRUPT é.nes\": the file ended before the range did"),
       .lastError = "File access error",
       .output = Bytes(0x1800, 0x55)},
      {.items = "optadd=0;optshift;shift=1;end=$1010", .seen = altered + kError + "message: Error! Division by zero|"},
      {.items = "optoverwrite=0",
       .fault = "WriteAt",
       .seen = altered + failed("File access error: CORRUPT é.nes"),
       .lastError = "File access error",
       .output = kStale},
      {.fault = "Start",
       .seen = altered + failed("Program cannot be started: nes -fs CORRUPT é.nes"),
       .lastError = "Program cannot be started",
       .output = added},
      {.cancelAt = 1, .seen = "status: Status: Cancelled!|message: " + std::string(kCancelledCopyMessage) + "|", .output = kStale},
      {.cancelAt = RomBytes().size() - 1,  // the copy's last piece, while it writes the range
       .seen = "status: Status: Cancelled!|message: " + std::string(kCancelledCopyMessage) + "|",
       .output = kStale},
      {.items = "optoverwrite=0",
       .cancelAt = 1,
       .seen = altered + "status: Status: Cancelled!|message: " + kCancelledRunMessage + "|",
       .output = Added(kStale, 0x1010, 0x2010)},
      {.items = "optoverwrite=0;optadd=0;optshift;shift=1",  // while the range is copied beside the output
       .cancelAt = 1,
       .seen = altered + "status: Status: Cancelled!|message: " + kCancelledRunMessage + "|",
       .output = kStale},
      {.items = "emu=  ",
       .seen = altered + failed("the \"Run Emulator:\" box is empty"),
       .lastError = "Program cannot be started: no emulator command",
       .output = added},
  };
  for (const auto& c : cases) {
    Scene t;
    SetItems(t.job, c.items);
    if (c.fault == "ReadAt" || c.fault == "ReadOnlyAt") t.fake.files.before[c.fault] = [](auto& p) { fs::resize_file(Utf8Path(p), 0x1800); };
    if (c.fault == "WriteAt") t.fake.files.before["WriteAt"] = [](auto& p) { throw HostFailure(FailureKind::FileAccess, p); };
    t.fake.launcher.fail = c.fault == "Start";
    t.fake.work.cancelAt = c.cancelAt;
    if (c.fault == "NoOutput") fs::remove(Utf8Path(t.out));
    t.Go();
    EXPECT_EQ(t.fake.ui.Seen(), c.seen) << c.items << c.fault;
    EXPECT_THAT(t.fake.host.lastError, ::testing::StartsWith(c.lastError)) << c.items << c.fault;
    EXPECT_EQ(fs::exists(Utf8Path(t.out)) ? t.Output() : Bytes{}, c.output) << c.items << c.fault;
    EXPECT_EQ(std::distance(fs::directory_iterator(Utf8Path(t.dir / "röms")), {}),
              c.output.empty() ? 1 : 2);  // nothing left
    EXPECT_TRUE(t.fake.launcher.started.empty());
  }
}

// With File > Close Previous Emulator checked, a run ends the emulator started before right before it starts the next;
// a run that starts none ends none. Import starts it as GO does.
TEST_F(RunTest, EndsThePreviousEmulatorRightBeforeTheNextStartOnlyWhenAsked) {
  const struct {
    std::string run;
    bool asked;
    std::string items{};
    Texts calls;
  } cases[] = {
      {.run = "GO", .asked = false, .calls = {"Start"}},
      {.run = "GO", .asked = true, .calls = {"EndPrevious", "Start"}},
      {.run = "GO", .asked = true, .items = "start=$2000;end=$1000", .calls = {}},
      {.run = "Import", .asked = true, .calls = {"EndPrevious", "Start"}},
  };
  for (const auto& c : cases) {
    Scene t;
    SetItems(t.job, c.items);
    t.job.closePreviousEmulator = c.asked;
    std::ofstream(Utf8Path(t.dir / "nothing.ips")) << "PATCHEOF";  // an IPS patch that changes no byte
    fs::current_path(t.dir.path());
    if (c.run == "Import") ImportPatch(t.job, t.dir / "nothing.ips", t.fake.host);
    if (c.run == "GO") t.Go();
    EXPECT_EQ(t.fake.launcher.calls, c.calls) << c.run << c.items;
  }
}

#ifdef _WIN32
// A full path starts with its drive here, and folders match in any letter case.
TEST_F(RunTest, AFullWorkingPathChangesTheDriveAndMatchesFoldersInAnyCase) {
  std::string path = dir / "RöMS";
  path[0] = static_cast<char>(std::tolower(path[0]));
  SetItems(job, "path=" + path);
  Go();
  EXPECT_EQ(fake.ui.Seen(), kLoading + kAltering + kReady);
}
#endif

// A sparse output file of 3 GiB: its length must not wrap to a negative
// 32-bit number, and a range larger than memory allows fails in the read stretch.
TEST_F(RunTest, HugeFilesAreMeasuredInSixtyFourBitsAndHugeRangesFailAsOutOfMemory) {
  job.optoverwrite = kUnchecked;
  fs::resize_file(Utf8Path(out), std::uint64_t{3} << 30);
  fake.files.WriteAt(out, 0x7FFFFFF8, std::vector<std::uint8_t>{10, 20, 30, 40, 50, 60, 70, 80});
  SetRangeBufferLimit(15);  // one byte short
  SetItems(job, "start=$7FFFFFF0;end=$7FFFFFFF");
  Go();
  SetRangeBufferLimit(7);  // the last size the limit allows
  SetItems(job, "start=$7FFFFFF9");
  Go();
  EXPECT_EQ(fake.ui.Seen(), kLoading + kError + "message: " + kFileErrorMessage + "\r\nOut of memory|" + kLoading + kAltering + kReady);
  EXPECT_EQ(fake.host.lastError, "Out of memory");
  std::vector<std::uint8_t> back(10);
  fake.files.ReadAt(out, 0x7FFFFFF7, back);
  EXPECT_EQ(back, (std::vector<std::uint8_t>{0, 10, 21, 31, 41, 51, 61, 71, 81, 0}));
  EXPECT_EQ(fs::file_size(Utf8Path(out)), std::uint64_t{3} << 30);
}

#ifndef _WIN32
using AsRootRun = AsRoot;
using AsRootCopy = AsRoot;
using AsRootDisk = AsRoot;

// As the user nobody a run writes the output and only reads the ROM: a read-only output fails as the range is read,
// a read-only ROM is no failure.
TEST_F(AsRootRun, ARunAsNobodyFailsOnAReadOnlyOutputAndNotOnAReadOnlyRom) {
  const struct {
    bool romReadOnly;
    std::string seen, lastError{};
    Bytes output;
  } cases[] = {
      {.romReadOnly = false,
       .seen = kLoading + kError + "message: " + kFileErrorMessage + "\r\n\"CORRUPT é.nes\": Permission denied|",
       .lastError = "Cannot open file: ",
       .output = kStale},
      {.romReadOnly = true, .seen = kLoading + kAltering + kReady, .output = Added(RomBytes(), 0x1010, 0x2010)},
  };
  for (const auto& c : cases) {
    Scene t;
    t.job.optoverwrite = c.romReadOnly;  // a fresh copy of the ROM, or the output as it is
    fs::permissions(Utf8Path(c.romReadOnly ? t.dir / "röms/mário.nes" : t.out), fs::perms(0444));
    fs::permissions(Utf8Path(t.dir / "röms"), fs::perms::all);  // the fresh copy is made in the folder
    AsNobody([&] { t.Go(); });
    EXPECT_EQ(t.fake.ui.Seen(), c.seen);
    EXPECT_THAT(t.fake.host.lastError, ::testing::StartsWith(c.lastError));
    EXPECT_EQ(t.Output(), c.output);
  }
}

// A full disk has room for the old output only: the failed copy says so, and leaves it whole and nothing behind.
TEST_F(AsRootCopy, ACopyOntoAFullDiskLeavesEveryFileAsItWas) {
  TempDir dir;
  fs::create_directories(dir.path() / "full");
  const Spoiled disk("mount -t tmpfs -o size=128k tmpfs '" + dir / "full" + "'", "umount -l '" + dir / "full" + "'");
  if (!disk.made) GTEST_SKIP() << "no tmpfs can be mounted here";
  FakeHost fake;
  JobSettings job = MakeJob("optoverwrite;start=0;end=$10;optadd;add=1");
  job.rom = dir.Write("big.nes", Bytes(300000, 0x77));
  job.create = dir.Write("full/CORRUPT.nes", Bytes(3000, 0xD0));
  const auto listing = Listing(dir.path());
  RunJob(job, fake.host);  // asked to overwrite, it refuses when the copy fails
  CreateNow(job, fake.host);
  const std::string noRoom = "no room for a second copy of the image: No space left on device";
  EXPECT_EQ(fake.ui.Seen(), "message: " + std::string(kCopyFailedMessage) + "\r\n\"" + job.create + "\": " + noRoom +
                                "|message: Error!  New file NOT created!\r\nFile access error: \"" + job.create + "\" (" + noRoom + ")|");
  EXPECT_EQ(Listing(dir.path()), listing);
}

// Files and folders that are there but not the user's refuse to open; none is a missing file.
TEST_F(AsRootDisk, FilesAndFoldersNotTheUsersFailAsNotOpenable) {
  TempDir dir;
  host::DiskFileSystem disk;
  const std::string file = dir.Write("small.bin", {1, 2});
  const std::string closed = dir / "closed";
  fs::create_directory(closed);
  dir.Write("closed/inside.bin", {1, 2});
  fs::permissions(closed, fs::perms::owner_all);
  const Operations operations{
      {[&] { disk.Copy(file, dir / "closed/copy.bin"); }, "Cannot open file: "},
      {[&] { disk.FileLength(dir / "closed/inside.bin"); }, "Cannot open file: "},
      {[&] { disk.ChangeDirectory(closed); }, "Path not accessible: \"" + closed + "\" (Permission denied)"},
  };
  AsNobody([&] { EXPECT_EQ(Mismatches(operations), ""); });
  EXPECT_FALSE(fs::exists(dir / "closed/copy.bin"));
}
#endif

}  // namespace
