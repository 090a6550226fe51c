#include <gtest/gtest.h>

// Windows lets programs set a file's change time back, so every copy there is a full one.
#ifndef _WIN32
#include <fcntl.h>
#include <sys/stat.h>

#include <chrono>
#include <ctime>
#include <filesystem>
#include <functional>
#include <map>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "engine/fresh_copy.h"
#include "engine/output_record.h"
#include "engine/run.h"
#include "support/fakes.h"
#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;
using namespace engine;

// Another program writes into a file and puts the old times back, as some do: only the status-change time
// moves. Where file times are kept to the clock's tick, a change within the tick of this program's own last
// write would not show; the wait keeps the test to what can be seen.
void ChangeBehindItsBack(const std::string& path, std::uintmax_t offset, unsigned char byte) {
  struct stat before {};
  for (timespec now{}; ::stat(path.c_str(), &before) == 0; std::this_thread::sleep_for(std::chrono::milliseconds(1))) {
    ::clock_gettime(CLOCK_REALTIME_COARSE, &now);
    if (now.tv_sec > before.st_ctim.tv_sec || (now.tv_sec == before.st_ctim.tv_sec && now.tv_nsec > before.st_ctim.tv_nsec)) {
      host::DiskFileSystem().WriteAt(path, static_cast<std::int64_t>(std::min(offset, fs::file_size(path) - 1)), {{byte}});
      const timespec times[2] = {before.st_atim, before.st_mtim};
      ::utimensat(AT_FDCWD, path.c_str(), times, 0);
      return;
    }
  }
}

// A ROM that has lain on the disk for an hour: one written a moment ago is not trusted to stay as it is.
std::string OldRom(const TempDir& dir, const std::vector<unsigned char>& bytes) {
  const std::string rom = dir.Write("rom.bin", bytes);
  fs::last_write_time(rom, fs::file_time_type::clock::now() - std::chrono::hours(1));
  return rom;
}

// One side of the comparison: a ROM and its output in a directory of their own, worked on by relative names so
// that both sides see the same messages. A fault names the file operation that fails during the next step;
// `duringCopy` runs as the next copy of the ROM begins.
struct Side {
  Side(OutputRecord* record, bool kernelCopy) {
    fake.host.record = record;
    fake.files.CopyByReadsAndWrites(!kernelCopy);
    for (const std::string op : {"Copy", "CopyRange", "ReadAt", "WriteAt", "Replace"}) {
      fake.files.before[op] = [this, op](const std::string& path) {
        const std::string call = op == "Replace" && path == "out.bin" ? "Copy" : op;  // a copy writing the range
        ++calls[call];
        if (fault == call) throw HostFailure(FailureKind::FileAccess, call);
        if (duringCopy && call.starts_with("Copy")) std::exchange(duringCopy, nullptr)();
      };
    }
  }
  TempDir dir;
  FakeHost fake;
  std::map<std::string, int> calls;
  std::string fault;
  std::function<void()> duringCopy;
};

// The same random walk of runs, outside changes and failures, once with the record that lets "Overwrite Old File"
// put back only what earlier runs altered, once making the full copy every time. After every step both outputs
// hold the same bytes and both users saw the same things.
TEST(FreshCopy, RestoringWhatRunsAlteredGivesTheFullCopysBytesAfterEveryStep) {
  int fullCopies = 0, fullCopiesWithout = 0;
  for (unsigned seed = 1; seed <= 20; ++seed) {
    std::mt19937 random(seed);
    const auto pick = [&](std::size_t below) { return static_cast<int>(random() % below); };
    OutputRecord record;
    Side sides[] = {Side(&record, seed % 2), Side(nullptr, seed % 2)};
    const int size = seed % 3 == 0 ? 70000 : 9000;
    std::vector<unsigned char> rom(static_cast<std::size_t>(size));
    for (auto& b : rom) b = static_cast<unsigned char>(random());
    for (Side& s : sides) OldRom(s.dir, rom);
    JobSettings job;
    SetItems(job, "chdir;rom=rom.bin;emu=emu").create = "out.bin";
    int start = 0, end = 99;
    for (int step = 0; step < 100; ++step) {
      const int kind = pick(12);
      SCOPED_TRACE("seed " + std::to_string(seed) + " step " + std::to_string(step) + " kind " + std::to_string(kind));
      const int fault = pick(12), offset = pick(size), byte = pick(256);
      if (kind <= 9) {  // a run on a range that overlaps the last one, the next block, or one anywhere
        const int length = 1 + pick(kind == 2 ? 3000 : 400), action = pick(3);
        start = kind == 0 ? start + pick(static_cast<std::size_t>(end - start + 1)) : kind == 1 ? end + 1 : pick(size + 50);
        end = start + length - 1;
        const bool overwrite = kind == 9 || pick(9) < 5;
        SetItems(job, "start=" + std::to_string(start) + ";end=" + std::to_string(end) + ";optoverwrite=" + std::to_string(overwrite) +
                          ";optcorrupt=" + std::to_string(action == 0) + ";optadd=" + std::to_string(action == 1) +
                          ";optshift=" + std::to_string(action == 2) + ";add=" + std::to_string(pick(4)) + ";shift=" + std::to_string(pick(9) - 4));
        for (Side& s : sides) {
          // A failing CopyRange leaves the full copy to take over; the ROM that changes while it is put back
          // (kind 9) is copied as it now is. The full copy writes the range without reading or writing the
          // output, so those fail on a kept output only.
          s.fault = fault < 3 && (fault == 2 || !overwrite) ? std::vector<std::string>{"WriteAt", "ReadAt", "CopyRange"}[fault] : "";
          if (kind == 9 && (&s == sides || !sides[0].duringCopy))
            s.duringCopy = [&s, offset, byte] { ChangeBehindItsBack(s.dir / "rom.bin", offset, byte); };
          RunJob(SetItems(job, "path=" + s.dir.path().string()), s.fake.host);
        }
        if (std::exchange(sides[0].duringCopy, nullptr)) {  // nothing was to be put back: the change comes after
          for (Side& s : sides) ChangeBehindItsBack(s.dir / "rom.bin", offset, byte);
        }
      } else if (kind == 10) {
        for (Side& s : sides) ChangeBehindItsBack(s.dir / (fault % 2 ? "rom.bin" : "out.bin"), offset, byte);
      } else {
        for (Side& s : sides) fs::remove(s.dir / "out.bin");
      }
      ASSERT_EQ(TempDir::Read(sides[0].dir / "out.bin"), TempDir::Read(sides[1].dir / "out.bin"));
      ASSERT_EQ(sides[0].fake.ui.events, sides[1].fake.ui.events);
    }
    fullCopies += sides[0].calls["Copy"];
    fullCopiesWithout += sides[1].calls["Copy"];
  }
  // The record did its work: a quarter of the full copies spared.
  EXPECT_LT(fullCopies * 4, fullCopiesWithout * 3) << fullCopies << " of " << fullCopiesWithout;
}

// Auto steps over one output, a row a step: what happened since the step before, and whether the step made the full
// copy. The same steps on a file system that keeps exact times and on one whose clock moves in two-second steps, as
// FAT's does: there a write within the step of the last one leaves every time as it was. After each step the output
// is the ROM plus the step's block: what an emulator wrote while the step made its copy went into the file replaced.
TEST(FreshCopy, AStepTrustsTheOutputOnlyWhenNoWriteSinceTheLastOneCanHaveGoneUnseen) {
  enum class Change { none, outputWritten, romRewritten, emulatorWritesDuringTheStep };
  const struct {
    std::string since;
    Change change = Change::none;
    bool emulatorRuns = false;  // the emulator started on the output by the step before still runs
    bool fullCopy;
  } steps[] = {
      {.since = "nothing: the first step", .fullCopy = true},
      {.since = "nothing", .fullCopy = false},
      {.since = "another program wrote a byte into the output", .change = Change::outputWritten, .fullCopy = true},
      {.since = "nothing", .fullCopy = false},
      {.since = "nothing, but the emulator still runs and writes a byte while the step writes its block",
       .change = Change::emulatorWritesDuringTheStep,
       .emulatorRuns = true,
       .fullCopy = true},
      {.since = "the emulator has ended, after writing while the step before wrote", .fullCopy = true},
      {.since = "nothing", .fullCopy = false},
      {.since = "another program rewrote the ROM in place", .change = Change::romRewritten, .fullCopy = true},
      {.since = "it rewrote the ROM again, moments after the last copy", .change = Change::romRewritten, .fullCopy = true},
  };
  for (const std::int64_t clockStep : {std::int64_t{0}, std::int64_t{2'000'000'000}}) {
    TempDir dir;
    FakeHost fake;
    OutputRecord record;
    fake.host.record = &record;
    fake.files.clockStep = clockStep;
    int fullCopies = 0;
    fake.files.before["Copy"] = fake.files.before["Replace"] = [&](const std::string&) { ++fullCopies; };
    std::vector<unsigned char> rom(0x10000, 0x11);
    JobSettings job = MakeJob("optoverwrite;optadd;add=1");
    job.rom = OldRom(dir, rom);
    job.create = dir / "out.bin";
    const auto poke = [](const std::string& path, std::int64_t at, std::vector<std::uint8_t> bytes) {
      host::DiskFileSystem().WriteAt(path, at, bytes);
    };
    for (int step = 0; const auto& s : steps) {
      SCOPED_TRACE("clock step " + std::to_string(clockStep) + ", since the step before: " + s.since);
      if (s.change == Change::outputWritten) poke(job.create, 0x8000, {0xEE});
      if (s.change == Change::romRewritten) {
        for (auto& b : rom) ++b;
        poke(job.rom, 0, {rom.begin(), rom.end()});
      }
      std::vector<unsigned char> expected = rom;
      if (s.change == Change::emulatorWritesDuringTheStep)
        fake.files.before["Replace"] = [&](const std::string&) { ++fullCopies, poke(job.create, 0x9000, {0xEE}); };
      fake.launcher.running = s.emulatorRuns;
      const int first = 0x100 * step++, copiesBefore = fullCopies;
      SetItems(job, "start=" + std::to_string(first) + ";end=" + std::to_string(first + 0xFF));
      RunJob(job, fake.host);
      fake.files.before["Replace"] = fake.files.before["Copy"];
      for (int i = first; i <= first + 0xFF; ++i) ++expected[static_cast<std::size_t>(i)];
      EXPECT_EQ(fullCopies > copiesBefore, s.fullCopy);
      EXPECT_TRUE(TempDir::Read(job.create) == expected);
    }
  }
}

}  // namespace
#endif
