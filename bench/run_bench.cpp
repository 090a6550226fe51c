#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include <unistd.h>

#include "engine/host.h"
#include "engine/real_host.h"
#include "engine/run.h"

// A whole run with "Overwrite Old File" on a large file on disk, measured
// against a plain copy of the same file, and the run's peak resident memory.
namespace bench {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr std::uint64_t kFileSize = std::uint64_t{512} << 20;
constexpr int kRepetitions = 5;

// Keeps the messages and notes when each status was set, which splits a
// run into its stretches: copy, read, alter, write.
class SilentUi : public engine::UserInterface {
 public:
  void ShowMessage(const std::string& text) override { messages.push_back(text); }
  void SetStatus(const std::string& text) override {
    status = text;
    times.push_back(Clock::now());
  }
  void SetFocus(engine::FocusTarget) override {}
  std::vector<std::string> messages;
  std::string status;
  std::vector<Clock::time_point> times;
};

class NoLauncher : public engine::ProcessLauncher {
 public:
  void Start(const std::string&, const std::string&) override {}
};

void WriteRom(const std::string& path) {
  std::mt19937 generator(12345);
  std::vector<std::uint32_t> chunk((8u << 20) / sizeof(std::uint32_t));
  std::ofstream out(path, std::ios::binary);
  for (std::uint64_t written = 0; written < kFileSize; written += chunk.size() * sizeof(std::uint32_t)) {
    for (auto& word : chunk) word = generator();
    out.write(reinterpret_cast<const char*>(chunk.data()),
              static_cast<std::streamsize>(chunk.size() * sizeof(std::uint32_t)));
  }
}

// Seconds of one call, started with the dirty pages of earlier calls on disk.
double Seconds(const std::function<void()>& work) {
  ::sync();
  const auto begin = Clock::now();
  work();
  return std::chrono::duration<double>(Clock::now() - begin).count();
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

bool ResetPeakMemory() {
  std::ofstream clear("/proc/self/clear_refs");
  clear << "5";
  clear.flush();
  return static_cast<bool>(clear);
}

// A field of /proc/self/status in KiB, or -1.
long StatusKiB(const std::string& field) {
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);)
    if (line.rfind(field + ":", 0) == 0) return std::stol(line.substr(field.size() + 1));
  return -1;
}

}  // namespace

int RunWholeRunBenchmark() {
  const fs::path dir = fs::temp_directory_path() / ("glitchforge-bench-" + std::to_string(::getpid()));
  fs::create_directories(dir);
  const std::string rom = (dir / "disc.iso").string();
  const std::string plain = (dir / "plain.iso").string();
  WriteRom(rom);

  engine::JobSettings job;
  job.chdir = engine::kUnchecked;
  job.optoverwrite = engine::kChecked;
  job.rom = rom;
  job.create = (dir / "CORRUPT.iso").string();
  job.emu = "emulator";
  job.start = "0";
  job.end = "$1FFFFFFF";
  job.optall = true;
  job.optcorrupt = true;
  job.optrandombytes = true;

  SilentUi ui;
  engine::DiskFileSystem disk;
  NoLauncher launcher;
  engine::SystemClock clock;
  engine::FastRandom random;
  engine::Host host{ui, disk, launcher, clock, random, {}};

  const auto copy = [&] { disk.Copy(rom, plain, engine::NoProgress()); };
  const auto run = [&] { engine::RunJob(job, host); };
  // Both targets exist before timing starts, so both replace an existing file.
  copy();
  run();
  if (ui.status != engine::kStatusReady || !ui.messages.empty()) {
    std::printf("whole run failed: %s\n", ui.messages.empty() ? ui.status.c_str() : ui.messages.back().c_str());
    fs::remove_all(dir);
    return 1;
  }

  std::vector<double> copies, runs;
  // Where a run's time goes: copy and measure, read, alter, write and launch.
  std::vector<double> prepares, reads, alters;
  const auto between = [](Clock::time_point a, Clock::time_point b) {
    return std::chrono::duration<double>(b - a).count();
  };
  for (int i = 0; i < kRepetitions; ++i) {
    copies.push_back(Seconds(copy));
    ui.times.clear();
    ::sync();
    const auto begin = Clock::now();
    run();
    runs.push_back(between(begin, Clock::now()));
    if (ui.times.size() == 3) {
      prepares.push_back(between(begin, ui.times[0]));
      reads.push_back(between(ui.times[0], ui.times[1]));
      alters.push_back(between(ui.times[1], ui.times[2]));
    }
  }

  const bool reset = ResetPeakMemory();
  const long before = StatusKiB("VmRSS");
  run();
  const long peak = StatusKiB("VmHWM");

  const double copySeconds = Median(copies);
  const double runSeconds = Median(runs);
  const double mib = static_cast<double>(kFileSize) / (1 << 20);
  std::printf("\nWhole run, \"Overwrite Old File\" checked, random bytes over all of a %.0f MiB file on disk\n", mib);
  std::printf("(median of %d, each started after sync with the source in the page cache)\n", kRepetitions);
  std::printf("  plain copy (DiskFileSystem::Copy)  %8.3f s  %7.0f MiB/s\n", copySeconds, mib / copySeconds);
  std::printf("  whole run (RunJob)                 %8.3f s  %7.0f MiB/s\n", runSeconds, mib / runSeconds);
  std::printf("  run / copy                         %8.2f    (target <= 2.5)\n", runSeconds / copySeconds);
  if (!reads.empty()) {
    std::printf("  of which: copy and measure %.3f s, fresh buffer + read %.3f s, random bytes + write %.3f s\n",
                Median(prepares), Median(reads), Median(alters));
  }
  std::printf("  each repetition, copy / run:");
  for (int i = 0; i < kRepetitions; ++i) std::printf("  %.3f / %.3f", copies[i], runs[i]);
  std::printf(" s\n");
  if (reset && peak >= 0 && before >= 0) {
    const double peakMiB = static_cast<double>(peak) / 1024;
    const double beforeMiB = static_cast<double>(before) / 1024;
    std::printf("Peak resident memory of the process during one run: %.0f MiB (VmHWM after writing \"5\"\n"
                "  to /proc/self/clear_refs; %.0f MiB resident before the run), that is the %.0f MiB range\n"
                "  + %.0f MiB (target: range + 64 MiB at most)\n",
                peakMiB, beforeMiB, mib, peakMiB - mib);
  } else {
    std::printf("Peak resident memory: not measurable here (/proc/self/clear_refs unavailable)\n");
  }
  fs::remove_all(dir);
  return 0;
}

}  // namespace bench
