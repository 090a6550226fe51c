#include <gtest/gtest.h>

#ifndef _WIN32
#include <fcntl.h>
#include <sys/stat.h>
#endif

#include <chrono>
#include <ctime>
#include <filesystem>
#include <map>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "engine/output_record.h"
#include "engine/run.h"
#include "support/fakes.h"
#include "support/temp_dir.h"

namespace {

#ifndef _WIN32  // see the skip below
namespace fs = std::filesystem;
using namespace engine;
using Bytes = std::vector<unsigned char>;

// One side of the comparison: a ROM and its output in a directory of their
// own, worked on by relative names so that both sides see the same messages.
// A fault names the file operation that fails during the next step.
struct Side {
  Side(OutputRecord* record, bool kernelCopy) {
    fake.host.record = record;
    fake.files.kernelCopy = kernelCopy;
    fake.random = ScriptedRandom(ScriptedRandom::Script());
    for (const char* op : {"Copy", "CopyRange", "ReadAt", "WriteAt"}) {
      fake.files.before[op] = [this, op](const std::string&) {
        ++calls[op];
        if (fault == op) throw HostFailure(FailureKind::FileAccess, op);
      };
    }
  }
  std::string operator/(const char* name) const { return dir / name; }

  TempDir dir;
  FakeHost fake;
  std::map<std::string, int> calls;
  std::string fault;
  std::size_t started = 0;
};

// Another program changes a file at some later moment. Where file times are
// kept to the clock's tick, a change within the tick of this program's own
// last write would not show; the wait keeps the test to what can be seen.
void AfterTheLastChange(const std::string& path) {
  struct stat st {};
  for (timespec now{}; ::stat(path.c_str(), &st) == 0;) {
    ::clock_gettime(CLOCK_REALTIME_COARSE, &now);
    if (now.tv_sec > st.st_ctim.tv_sec || (now.tv_sec == st.st_ctim.tv_sec && now.tv_nsec > st.st_ctim.tv_nsec)) return;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
}

void Overwrite(const std::string& path, std::size_t offset, const Bytes& bytes) {
  DiskFileSystem().WriteAt(path, static_cast<std::int64_t>(offset), bytes);
}

#endif

// The same random walk of runs, Auto steps, "Create Now", outside changes and
// failures, once with the record that lets "Overwrite Old File" put back only
// what earlier runs altered, once making the full copy every time. After every
// step both outputs hold the same bytes and both users saw the same things.
TEST(FreshCopy, RestoringWhatRunsAlteredGivesTheFullCopysBytesAfterEveryStep) {
#ifdef _WIN32
  GTEST_SKIP() << "Windows lets programs set a file's change time back, so every copy there is a full one";
#else
  const fs::path savedDirectory = fs::current_path();
  int restored = 0, fullCopies = 0, fullCopiesWithout = 0, steps = 0;
  for (unsigned seed = 1; seed <= 20; ++seed) {
    std::mt19937 random(seed);
    const auto pick = [&](int below) { return static_cast<int>(random() % static_cast<unsigned>(below)); };
    OutputRecord record;
    Side sides[] = {Side(&record, seed % 2), Side(nullptr, seed % 2)};
    const std::size_t size = seed % 3 == 0 ? 70000 : 9000;
    Bytes rom(size);
    for (auto& b : rom) b = static_cast<unsigned char>(random());
    for (Side& s : sides) s.dir.Write("rom.bin", rom);

    JobSettings job;
    SetItems(job, "chdir;rom=rom.bin;emu=emu").create = "out.bin";
    std::int64_t start = 0, end = 99;
    for (int step = 0; step < 100; ++step, ++steps) {
      const int kind = pick(15);
      std::string what = std::to_string(kind);
      const auto both = [&](auto&& act) {
        for (Side& s : sides) act(s);
      };
      // A run on a range that overlaps the last one, the next block, or one anywhere.
      if (kind <= 5 || kind >= 12) {
        const std::int64_t length = 1 + pick(kind == 5 ? 3000 : 400);
        start = kind == 0   ? start + pick(static_cast<int>(end - start + 1))
                : kind == 1 ? end + 1
                            : pick(static_cast<int>(size) + 50);
        end = start + length - 1;
        const bool all = pick(3) != 0, nth = !all && pick(2);
        const std::string n = std::to_string(pick(9)), mask = std::to_string(pick(64));
        const int action = pick(4), randomBytes = pick(2), add = pick(4), shift = pick(9) - 4;
        const auto flag = [](bool on) { return on ? "=1;" : "=0;"; };
        SetItems(job, "start=" + std::to_string(start) + ";end=" + std::to_string(end) + ";optoverwrite" +
                          flag(kind != 4 && kind < 12) + "optall" + flag(all) + "optnth" + flag(nth) + "optmask" +
                          flag(!all && !nth) + "nth=" + n + ";mask=" + mask + ";optcorrupt" + flag(action == 0) +
                          "optadd" + flag(action == 1) + "optshift" + flag(action == 2) + "optrandombytes" +
                          flag(randomBytes) + "optbyterange" + flag(!randomBytes) +
                          "range1=$10;range2=$1F;add=" + std::to_string(add) + ";shift=" + std::to_string(shift));
        // A failing CopyRange leaves the full copy to take over.
        const char* faults[] = {"WriteAt", "ReadAt", "CopyRange"};
        const int fault = pick(12);
        sides[0].fault = sides[1].fault = fault < 3 ? faults[fault] : "";
        sides[0].fake.launcher.fail = sides[1].fake.launcher.fail = pick(10) == 0;
        what += " run " + job.start + "-" + job.end;
        both([&](Side& s) { RunJob(SetItems(job, "path=" + s.dir.path().string()), s.fake.host); });
      } else if (kind == 6) {
        both([&](Side& s) { CreateNow(SetItems(job, "path=" + s.dir.path().string()), s.fake.host); });
      } else if (kind <= 9) {  // another program writes into the output or the ROM, or touches it
        const char* name = kind == 8 || (kind == 9 && pick(2)) ? "rom.bin" : "out.bin";
        const std::size_t offset = static_cast<std::size_t>(pick(static_cast<int>(size)));
        const Bytes bytes(static_cast<std::size_t>(pick(8)), static_cast<unsigned char>(random()));
        what += std::string(" change ") + name;
        AfterTheLastChange(sides[1] / name);  // the later change first
        AfterTheLastChange(sides[0] / name);
        both([&](Side& s) {
          const std::string path = s / name;
          if (!fs::exists(path)) return;
          struct stat before {};
          ::stat(path.c_str(), &before);
          Overwrite(path, std::min(offset, fs::file_size(path) - 1), bytes);
          // Some programs put the old times back: only the status-change time moves.
          const timespec times[2] = {before.st_atim, before.st_mtim};
          if (kind == 9) ::utimensat(AT_FDCWD, path.c_str(), times, 0);
        });
      } else if (kind == 10) {  // the ROM replaced by one with the same bytes, or the output gone
        const bool replace = pick(2);
        both([&](Side& s) {
          if (!replace) return static_cast<void>(fs::remove(s / "out.bin"));
          s.dir.Write("new.bin", TempDir::Read(s / "rom.bin"));
          fs::rename(s / "new.bin", s / "rom.bin");
        });
      } else {  // the ROM missing for one step
        both([&](Side& s) { fs::rename(s / "rom.bin", s / "away.bin"); });
        job.optoverwrite = kChecked;
        both([&](Side& s) {
          RunJob(SetItems(job, "path=" + s.dir.path().string()), s.fake.host);
          fs::rename(s / "away.bin", s / "rom.bin");
        });
      }
      for (Side& s : sides) {  // a run that got to the emulator reported the progress it announced
        if (s.fault.empty() && s.fake.launcher.started.size() > s.started) {
          EXPECT_EQ(s.fake.work.advanced, s.fake.work.expected) << what;
        }
        s.started = s.fake.launcher.started.size();
        s.fake.work.expected = s.fake.work.advanced = 0;
        s.fault.clear();
        s.fake.launcher.fail = false;
      }
      what = "seed " + std::to_string(seed) + " step " + std::to_string(step) + ": " + what;
      ASSERT_EQ(TempDir::Read(sides[0] / "out.bin"), TempDir::Read(sides[1] / "out.bin")) << what;
      ASSERT_EQ(sides[0].fake.ui.events, sides[1].fake.ui.events) << what;
      ASSERT_EQ(sides[0].fake.launcher.started, sides[1].fake.launcher.started) << what;
      for (Side& s : sides) s.fake.ui.events.clear();
    }
    restored += sides[0].calls["CopyRange"];
    fullCopies += sides[0].calls["Copy"];
    fullCopiesWithout += sides[1].calls["Copy"];
  }
  fs::current_path(savedDirectory);
  // The record did its work: a quarter of the full copies spared.
  EXPECT_LT(fullCopies * 4, fullCopiesWithout * 3) << restored << " ranges restored in " << steps << " steps";
#endif
}

// The ROM changed while its ranges are put back: the restore is not trusted
// and a full copy of the ROM as it now is follows.
TEST(FreshCopy, ARomChangedDuringTheRestoreGetsAFullCopy) {
#ifdef _WIN32
  GTEST_SKIP() << "Windows lets programs set a file's change time back, so every copy there is a full one";
#else
  OutputRecord record;
  Side side(&record, true);
  Bytes rom(9000, 0x40);
  side.dir.Write("rom.bin", rom);
  JobSettings job = MakeJob("optoverwrite;optadd;add=1;start=10;end=20;emu=emu");
  job.rom = side / "rom.bin";
  job.create = side / "out.bin";
  RunJob(job, side.fake.host);
  side.fake.files.before["CopyRange"] = [&](const std::string&) {
    AfterTheLastChange(job.rom);
    Overwrite(job.rom, 5000, {0x99});
  };
  RunJob(job, side.fake.host);
  for (std::size_t i = 10; i <= 20; ++i) rom[i] = 0x41;
  rom[5000] = 0x99;
  EXPECT_EQ(TempDir::Read(job.create), rom);
  EXPECT_EQ(side.calls["Copy"], 2);
  EXPECT_EQ(side.fake.ui.Seen().find("message"), std::string::npos) << side.fake.ui.Seen();
#endif
}

}  // namespace
