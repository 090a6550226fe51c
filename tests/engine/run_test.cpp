#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "engine/failure.h"
#include "engine/run.h"
#include "support/fakes.h"
#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<unsigned char>;
using Texts = std::vector<std::string>;

const std::string kLoading = engine::kStatusLoading;
const std::string kAltering = engine::kStatusAltering;
const std::string kReady = engine::kStatusReady;
const std::string kError = engine::kStatusError;

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

class RunTest : public ::testing::Test {
 public:
  RunTest() {
    rom = dir.Write("mario.nes", RomBytes());
    out = dir / "CORRUPT.nes";
    ResetJob();
  }
  void ResetJob() {
    job = {};
    job.chdir = engine::kUnchecked;
    job.optoverwrite = engine::kChecked;
    job.rom = rom;
    job.create = out;
    job.emu = "nes -fs %1";
    job.start = "$1010";
    job.end = "$2010";
    job.optall = true;
    job.optadd = true;
    job.add = "1";
  }
  ~RunTest() override {
    fs::current_path(savedDirectory_);
    engine::SetRangeBufferLimit(savedLimit_);
  }

  void Run() { engine::cmdGo_Click(job, fake.host); }
  std::string LastStatus() const {
    const auto statuses = fake.ui.Statuses();
    return statuses.empty() ? "(none)" : statuses.back();
  }
  Bytes Output() const { return TempDir::Read(out); }
  // What a run that ends without writing leaves: the old output file.
  void LeaveStaleOutput() { dir.Write("CORRUPT.nes", Bytes(40960, 0x55)); }

  fs::path savedDirectory_ = fs::current_path();
  std::uint64_t savedLimit_ = engine::RangeBufferLimit();
  TempDir dir;
  std::string rom;
  std::string out;
  engine::JobSettings job;
  FakeHost fake;
};

TEST_F(RunTest, AddRewritesOnlyTheRangeAndStartsTheEmulator) {
  LeaveStaleOutput();
  Run();
  EXPECT_EQ(fake.ui.events, (Texts{"status: " + kLoading, "status: " + kAltering, "status: " + kReady}));
  EXPECT_EQ(Output(), Added(RomBytes(), 0x1010, 0x2010));
  EXPECT_EQ(TempDir::Read(rom), RomBytes());
  EXPECT_EQ(fake.launcher.started, (Texts{"nes -fs " + out}));
}

TEST_F(RunTest, ChangesAddUpWithoutOverwrite) {
  job.optoverwrite = engine::kUnchecked;
  dir.Write("CORRUPT.nes", RomBytes());
  Run();
  job.start = "$2010";
  job.end = "$9FFF";  // the last byte of the file
  Run();
  EXPECT_EQ(Output(), Added(Added(RomBytes(), 0x1010, 0x2010), 0x2010, 0x9FFF));
  EXPECT_EQ(fake.launcher.started.size(), 2u);
}

TEST_F(RunTest, CorruptReplacesTouchedBytesWithTheDraws) {
  job.optadd = false;
  job.optcorrupt = job.optrandombytes = true;
  job.start = "0";
  job.end = "0";  // one byte
  fake.random = ScriptedRandom({ScriptedRandom::For(0xAB, 256)});
  Run();
  Bytes expected = RomBytes();
  expected[0] = 0xAB;
  EXPECT_EQ(Output(), expected);
  EXPECT_EQ(fake.random.seeds, (std::vector<float>{12345.5f}));
  EXPECT_EQ(fake.random.drawn, 1u);
  EXPECT_EQ(LastStatus(), kReady);
}

TEST_F(RunTest, RefusalsBeforeTheReadLeaveTheFreshCopyAndTheStatus) {
  struct Case {
    const char* start;
    const char* end;
    std::string message;
  };
  const Case cases[] = {
      {"$2000", "$1000", "You gave a baaaaad range to corrupt! (2000-1000)"},
      {"$FFFFFFFF", "$10", "You gave a baaaaad range to corrupt! (FFFFFFFF-10)"},
      {"-1", "-1", "You gave a baaaaad range to corrupt! (FFFFFFFF-FFFFFFFF)"},
      {"0", "$A000", "The specified end reaches beyond the end of the file!\r\nA000 vs A000"},
      {"$9FFF", "$7FFFFFFF", "The specified end reaches beyond the end of the file!\r\nA000 vs 7FFFFFFF"},
  };
  for (const auto& c : cases) {
    LeaveStaleOutput();
    fake.ui.events.clear();
    job.start = c.start;
    job.end = c.end;
    Run();
    EXPECT_EQ(fake.ui.events, (Texts{"message: " + c.message})) << c.start << "-" << c.end;
    EXPECT_EQ(Output(), RomBytes()) << c.start << "-" << c.end;
  }
  EXPECT_TRUE(fake.launcher.started.empty());
}

TEST_F(RunTest, RangeOfOneByteAndTheLastByte) {
  for (const char* end : {"$9FFF"}) {
    job.start = end;
    job.end = end;
    Run();
    EXPECT_EQ(Output(), Added(RomBytes(), 0x9FFF, 0x9FFF));
  }
}

TEST_F(RunTest, LargeRangesRoundTrip) {
  const std::size_t size = (std::size_t{6} << 20) + 5;
  dir.Write("mario.nes", RomBytes(size));
  job.start = "3";
  job.end = "$500002";  // 5 MiB and 3 bytes
  Run();
  EXPECT_EQ(LastStatus(), kReady);
  EXPECT_EQ(Output(), Added(RomBytes(size), 3, 0x500002));
}

TEST_F(RunTest, CopyFailureEndsTheRunLeavingEverythingAlone) {
  LeaveStaleOutput();
  job.rom = dir / "missing.nes";
  Run();
  EXPECT_EQ(fake.ui.events, (Texts{std::string("message: ") + engine::kCopyFailedMessage}));
  EXPECT_EQ(Output(), Bytes(40960, 0x55));
  EXPECT_TRUE(fake.launcher.started.empty());
}

TEST_F(RunTest, FailureBranchesBeforeTheWrite) {
  struct Case {
    const char* what;
    std::function<void(RunTest&)> arrange;
    Texts statuses;
    std::string message;
    Bytes output;
  };
  const Bytes stale(40960, 0x55);
  const Case cases[] = {
      {"missing working directory",
       [](RunTest& t) {
         t.job.chdir = engine::kChecked;
         t.job.path = t.dir / "nowhere";
       },
       {kError}, engine::kPathErrorMessage, stale},
      {"a drive letter on a host without drives",
       [](RunTest& t) {
         t.job.chdir = engine::kChecked;
         t.job.path = "C:\\nes\\";
       },
       {kError}, engine::kPathErrorMessage, stale},
      {"a lone quote as start", [](RunTest& t) { t.job.start = "'"; }, {kError}, engine::kFileErrorMessage,
       RomBytes()},
      {"an end out of range", [](RunTest& t) { t.job.end = "99999999999"; }, {kError},
       engine::kFileErrorMessage, RomBytes()},
      {"no output file without overwrite",
       [](RunTest& t) {
         t.job.optoverwrite = engine::kUnchecked;
         fs::remove(t.out);
       },
       {kError}, engine::kFileErrorMessage, {}},
      {"output file shrinks before the read",
       [](RunTest& t) {
         t.fake.files.before["ReadAt"] = [](const std::string& path) { fs::resize_file(path, 0x1800); };
       },
       {kLoading, kError}, engine::kFileErrorMessage, RomBytes(0x1800)},
      {"read fails", [](RunTest& t) { t.fake.files.before["ReadAt"] = FaultyFileSystem::Fail(engine::FailureKind::FileAccess); },
       {kLoading, kError}, engine::kFileErrorMessage, RomBytes()},
      {"a shift over one byte",
       [](RunTest& t) {
         t.job.optadd = false;
         t.job.optshift = true;
         t.job.shift = "1";
         t.job.end = t.job.start;
       },
       {kLoading, kAltering, kError}, "Error! Division by zero", RomBytes()},
      {"an addend that is no number", [](RunTest& t) { t.job.add = "'"; }, {kLoading, kAltering, kError},
       "Error! Invalid procedure call or argument", RomBytes()},
      {"write fails", [](RunTest& t) { t.fake.files.before["WriteAt"] = FaultyFileSystem::Fail(engine::FailureKind::FileAccess); },
       {kLoading, kAltering, kError}, engine::kFileErrorMessage, RomBytes()},
  };
  for (const auto& c : cases) {
    RunTest& t = *this;
    fs::current_path(savedDirectory_);
    LeaveStaleOutput();
    ResetJob();
    fake.files.before.clear();
    fake.ui.events.clear();
    fake.host.lastError.clear();
    c.arrange(t);
    Run();
    EXPECT_EQ(fake.ui.Statuses(), c.statuses) << c.what;
    ASSERT_EQ(fake.ui.Messages().size(), 1u) << c.what;
    // The stretch-3 message carries the failure's description, which may add detail.
    EXPECT_EQ(fake.ui.Messages()[0].rfind(c.message, 0), 0u) << c.what << ": " << fake.ui.Messages()[0];
    if (c.message.rfind("Error! ", 0) == 0) {
      EXPECT_EQ(fake.ui.Messages()[0], "Error! " + fake.host.lastError);
    }
    EXPECT_FALSE(fake.host.lastError.empty()) << c.what;
    if (c.output.empty()) {
      EXPECT_FALSE(fs::exists(out)) << c.what;
    } else {
      EXPECT_EQ(Output(), c.output) << c.what;
    }
    EXPECT_TRUE(fake.launcher.started.empty()) << c.what;
  }
}

TEST_F(RunTest, TransformRefusalWritesNothing) {
  job.optoverwrite = engine::kUnchecked;
  LeaveStaleOutput();
  job.add = "256";
  Run();
  EXPECT_EQ(fake.ui.Messages(), (Texts{"You're not adding anything!"}));
  EXPECT_EQ(Output(), Bytes(40960, 0x55));
  EXPECT_TRUE(fake.launcher.started.empty());
}

TEST_F(RunTest, UnstartableEmulatorAfterTheWrite) {
  fake.launcher.fail = true;
  Run();
  EXPECT_EQ(Output(), Added(RomBytes(), 0x1010, 0x2010));
  EXPECT_EQ(fake.ui.events, (Texts{"status: " + kLoading, "status: " + kAltering,
                                   std::string("message: ") + engine::kFileErrorMessage, "status: " + kError}));
  EXPECT_EQ(fake.host.lastError.rfind("Program cannot be started", 0), 0u);
}

TEST_F(RunTest, WorksInTheWorkingDirectoryWithRelativeNames) {
  fs::create_directories(dir.path() / "roms");
  dir.Write("roms/mario.nes", RomBytes());
  fs::current_path(dir.path());
  job.chdir = engine::kChecked;
  job.path = "roms";  // relative: the copy must not change into roms/roms
  job.rom = "mario.nes";
  job.create = "CORRUPT.nes";
  job.emu = "nes";
  Run();
  EXPECT_EQ(LastStatus(), kReady);
  EXPECT_TRUE(fs::equivalent(fs::current_path(), dir.path() / "roms"));
  EXPECT_EQ(TempDir::Read(dir / "roms/CORRUPT.nes"), Added(RomBytes(), 0x1010, 0x2010));
  EXPECT_EQ(fake.launcher.started, (Texts{"nes CORRUPT.nes"}));
}

TEST_F(RunTest, OutputNamedAsTheRomIsAlteredOnlyWithoutOverwrite) {
  job.create = rom;
  Run();
  EXPECT_EQ(TempDir::Read(rom), RomBytes());
  job.optoverwrite = engine::kUnchecked;
  Run();
  EXPECT_EQ(TempDir::Read(rom), Added(RomBytes(), 0x1010, 0x2010));
}

TEST_F(RunTest, RangeTooLargeForMemoryFailsInTheReadStretch) {
  job.optoverwrite = engine::kUnchecked;
  dir.Write("CORRUPT.nes", {});
  fs::resize_file(out, std::uintmax_t{1} << 31);  // sparse
  struct Case {
    const char* end;
    std::uint64_t limit;
    bool fits;
  };
  const Case cases[] = {
      {"$7FFFFFFE", 1 << 20, false},
      {"$F", 16, true},
      {"$F", 15, false},
  };
  for (const auto& c : cases) {
    fake.ui.events.clear();
    engine::SetRangeBufferLimit(c.limit);
    job.start = "0";
    job.end = c.end;
    job.optadd = false;  // no action: the range is written back as read
    Run();
    if (c.fits) {
      EXPECT_EQ(LastStatus(), kReady) << c.end;
    } else {
      EXPECT_EQ(fake.ui.events, (Texts{"status: " + kLoading, std::string("message: ") + engine::kFileErrorMessage,
                                       "status: " + kError}))
          << c.end;
      EXPECT_EQ(fake.host.lastError, "Out of memory");
    }
  }
  EXPECT_EQ(fs::file_size(out), std::uintmax_t{1} << 31);
}

TEST_F(RunTest, FilesBeyondTwoGibibytesAreMeasuredInSixtyFourBits) {
  job.optoverwrite = engine::kUnchecked;
  dir.Write("CORRUPT.nes", {});
  const std::uint64_t length = std::uint64_t{3} << 30;
  fs::resize_file(out, length);
  const std::vector<std::uint8_t> marks{10, 20, 30, 40, 50, 60, 70, 80};
  fake.files.WriteAt(out, 0x7FFFFFF8, marks);

  job.start = "$7FFFFFF9";
  job.end = "$7FFFFFFF";
  Run();
  EXPECT_EQ(LastStatus(), kReady);
  std::vector<std::uint8_t> back(10);
  fake.files.ReadAt(out, 0x7FFFFFF7, back);
  EXPECT_EQ(back, (std::vector<std::uint8_t>{0, 10, 21, 31, 41, 51, 61, 71, 81, 0}));
  EXPECT_EQ(fs::file_size(out), length);
}

TEST_F(RunTest, BeyondTheEndMessageShowsTheLengthInFull) {
  job.optoverwrite = engine::kUnchecked;
  dir.Write("CORRUPT.nes", {});
  fs::resize_file(out, 0x7FFFFFFF);  // one byte short of 2 GiB
  job.start = "0";
  job.end = "$7FFFFFFF";
  Run();
  EXPECT_EQ(fake.ui.events,
            (Texts{"message: The specified end reaches beyond the end of the file!\r\n7FFFFFFF vs 7FFFFFFF"}));
}

}  // namespace
