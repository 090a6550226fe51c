#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "engine/fast_random.h"
#include "engine/host.h"
#include "engine/output_record.h"
#include "engine/patch_job.h"
#include "engine/run.h"
#include "host/disk_file_system.h"
#include "host/system_clock.h"

// Whole runs with "Overwrite Old File" on large files on disk, each set
// against a plain copy of the same file timed in the same process: whole-range
// runs on a 512 MiB image and their peak resident memory, then Auto steps of
// 4 KiB on a 1.5 GiB image.
namespace bench {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr std::uint64_t kMiB = std::uint64_t{1} << 20;
constexpr int kRepetitions = 9;
constexpr int kAutoSteps = 20;

class SilentUi : public engine::UserInterface {
 public:
  void ShowMessage(const std::string& text) override { messages.push_back(text); }
  void SetStatus(const std::string& text) override { status = text; }
  void SetFocus(engine::FocusTarget) override {}
  std::vector<std::string> messages;
  std::string status;
};

class NoLauncher : public engine::ProcessLauncher {
 public:
  void Start(const std::string&, const std::string&) override {}
  bool MayStillWrite(const std::string&) override { return false; }
  void EndPrevious() override {}
};

// Random bytes: 8 MiB drawn once, each repetition with its own added offset.
// Dated an hour back, as a ROM that has lain on the disk: one written a moment
// ago is not trusted to stay as it is, and every run would make the full copy.
void WriteRom(const std::string& path, std::uint64_t size) {
  std::mt19937 generator(12345);
  std::vector<std::uint8_t> chunk(8 * kMiB);
  for (auto& byte : chunk) byte = static_cast<std::uint8_t>(generator());
  {
    std::ofstream out(path, std::ios::binary);
    for (std::uint64_t written = 0; written < size; written += chunk.size()) {
      for (auto& byte : chunk) byte = static_cast<std::uint8_t>(byte + 1);
      out.write(reinterpret_cast<const char*>(chunk.data()),
                static_cast<std::streamsize>(chunk.size()));
    }
  }
  fs::last_write_time(path, fs::file_time_type::clock::now() - std::chrono::hours(1));
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

// A ROM in the benchmark's folder, its output, a plain copy of it, and the
// services of a run, with the record a window keeps.
struct Scene {
  Scene(const fs::path& dir, const std::string& name, std::uint64_t size)
      : rom((dir / name).string()), plain((dir / ("plain-" + name)).string()) {
    WriteRom(rom, size);
    job.chdir = engine::kUnchecked;
    job.optoverwrite = engine::kChecked;
    job.rom = rom;
    job.create = (dir / ("CORRUPT-" + name)).string();
    job.emu = std::string("emulator");
    job.optall = true;
    host.record = &record;
  }
  double Copy() {
    return Seconds([&] { disk.Copy(rom, plain, engine::NoProgress()); });
  }
  double Run() {
    return Seconds([&] { engine::RunJob(job, host); });
  }
  bool Failed() const { return ui.status != engine::kStatusReady || !ui.messages.empty(); }

  std::string rom, plain;
  engine::JobSettings job;
  SilentUi ui;
  host::DiskFileSystem disk;
  NoLauncher launcher;
  host::SystemClock clock;
  engine::FastRandom random;
  engine::OutputRecord record;
  engine::Host host{ui, disk, launcher, clock, random, {}};
};

void Action(engine::JobSettings& job, char action) {
  job.optadd = action == 'a';
  job.add = std::string("1");
  job.optcorrupt = job.optrandombytes = action == 'r';
  job.optshift = action == 's';
  job.shift = std::string("12345");
}

// Whole-range runs that make the full copy (the first run on an image, or any
// after the image or the output changed), against the plain copy.
bool WholeRangeRuns(const fs::path& dir) {
  Scene scene(dir, "disc512.iso", 512 * kMiB);
  scene.job.start = std::string("0");
  scene.job.end = std::string("$1FFFFFFF");
  std::printf(
      "\nWhole-range runs on a 512 MiB image, \"Overwrite Old File\" checked (median of %d;\n"
      "each started after sync, the image in the page cache, every copy over an earlier one)\n",
      kRepetitions);
  // Shift Right also with the output kept ("Overwrite Old File" unchecked): the
  // range's original bytes then go through a scratch copy beside the output.
  const struct {
    char action;
    bool kept;
    const char* name;
    double target;
  } jobs[] = {{'a', false, "Add 1", 1.15},
              {'r', false, "Random Bytes", 1.4},
              {'s', false, "Shift Right", 1.4},
              {'s', true, "Shift, kept", 2.5}};
  for (const auto& j : jobs) {
    Action(scene.job, j.action);
    scene.job.optoverwrite = j.kept ? engine::kUnchecked : engine::kChecked;
    scene.Copy();
    scene.Run();  // both targets exist before timing starts
    if (scene.Failed()) return false;
    std::vector<double> copies, fulls, restores;
    // Replacing a file frees its blocks, and on some disks (a virtual one
    // that discards freed blocks, for one) the next writes to new blocks then
    // wait: the copy and the run take turns at going first, so that neither
    // always follows the other's replacement.
    for (int i = 0; i < kRepetitions; ++i) {
      if (i % 2 == 0) copies.push_back(scene.Copy());
      scene.record.Forget();
      fulls.push_back(scene.Run());
      restores.push_back(scene.Run());
      if (i % 2 == 1) copies.push_back(scene.Copy());
    }
    const double copy = Median(copies), full = Median(fulls), restore = Median(restores);
    std::printf("  %-12s plain copy %.3f s, run %s %.3f s: %.2fx the copy (target <= %.2f)\n",
                j.name, copy, j.kept ? "on the kept output" : "with the full copy", full,
                full / copy, j.target);
    if (!j.kept)
      std::printf(
          "  %-12s the same run again, restoring the range from the image: %.3f s, %.2fx the "
          "copy\n",
          "", restore, restore / copy);
    std::printf("  %-12s each repetition, copy / run / again:", "");
    for (int i = 0; i < kRepetitions; ++i)
      std::printf("  %.3f/%.3f/%.3f", copies[i], fulls[i], restores[i]);
    std::printf(" s\n");
  }

  std::printf(
      "Peak resident memory during one run, above the resident size before it (VmHWM after\n"
      "writing \"5\" to /proc/self/clear_refs; target 64 MiB at most):\n");
  for (const auto& j : jobs) {
    Action(scene.job, j.action);
    scene.job.optoverwrite = j.kept ? engine::kUnchecked : engine::kChecked;
    scene.record.Forget();
    const long before = StatusKiB("VmRSS");
    if (!ResetPeakMemory() || before < 0) {
      std::printf("  not measurable here (/proc/self/clear_refs unavailable)\n");
      break;
    }
    scene.Run();
    const long peak = StatusKiB("VmHWM");
    std::printf("  %-12s %5.0f MiB above %.0f MiB\n", j.name,
                static_cast<double>(peak - before) / 1024, static_cast<double>(before) / 1024);
  }
  scene.job.optoverwrite = engine::kChecked;
  return !scene.Failed();
}

// Export of the glitch the last Auto step left (one 4 KiB block of the 1.5
// GiB image) as BPS, against `cmp -l`, which also reads both files whole.
bool ExportAfterSteps(Scene& scene, const fs::path& dir) {
  const std::string patch = (dir / "glitch.bps").string();
  // Not to /dev/null: GNU cmp then stops at the first difference, as -s does.
  const std::string cmp = "cmp -l '" + scene.rom + "' '" + scene.job.create + "' > '" +
                          (dir / "listing").string() + "'";
  std::vector<double> compares, exports;
  long peakAbove = -1, before = -1;
  for (int i = 0; i < 3; ++i) {
    compares.push_back(Seconds([&] { (void)!std::system(cmp.c_str()); }));
    before = StatusKiB("VmRSS");
    const bool peakKnown = ResetPeakMemory();
    exports.push_back(Seconds(
        [&] { engine::ExportPatch(scene.job, patch, engine::PatchFormat::Bps, scene.host); }));
    if (peakKnown && before >= 0) peakAbove = std::max(peakAbove, StatusKiB("VmHWM") - before);
  }
  if (scene.ui.messages.empty() || scene.ui.messages.back() != patch + " exported successfully!")
    return false;
  const double compare = Median(compares), exported = Median(exports);
  std::printf("\nExport as BPS after the Auto steps (one 4 KiB block differs), median of 3\n");
  std::printf("  cmp -l of the two files %.3f s, export %.3f s: %.2fx cmp (target <= 1.2)\n",
              compare, exported, exported / compare);
  if (peakAbove >= 0)
    std::printf("  peak resident memory %.0f MiB above %.0f MiB before (target <= 64)\n",
                static_cast<double>(peakAbove) / 1024, static_cast<double>(before) / 1024);
  return true;
}

// Auto steps of 4 KiB, each a whole run: the first makes the full copy, the
// ones after it put back the block before and alter the next.
bool AutoSteps(const fs::path& dir) {
  Scene scene(dir, "disc1536.iso", 1536 * kMiB);
  Action(scene.job, 'r');
  std::vector<double> copies;
  scene.Copy();
  for (int i = 0; i < 3; ++i) copies.push_back(scene.Copy());
  std::vector<double> steps;
  std::uint32_t start = 0x100000;
  for (int i = 0; i <= kAutoSteps; ++i, start += 0x1000) {
    scene.job.start = std::to_string(start);
    scene.job.end = std::to_string(start + 0xFFF);
    const double seconds = scene.Run();
    if (scene.Failed()) return false;
    if (i > 0) steps.push_back(seconds);
  }
  const double copy = Median(copies), step = Median(steps);
  std::printf(
      "\nAuto steps of 4 KiB on a 1.5 GiB image, \"Overwrite Old File\" checked, Random Bytes\n");
  std::printf("  plain copy (median of 3)               %8.3f s\n", copy);
  std::printf("  each step after the first (median of %d) %6.3f ms: %.5fx the copy", kAutoSteps,
              step * 1000, step / copy);
  std::printf(" (target <= 0.1)\n");
  return ExportAfterSteps(scene, dir);
}

}  // namespace

int RunWholeRunBenchmark() {
  const fs::path dir =
      fs::temp_directory_path() / ("glitchforge-bench-" + std::to_string(::getpid()));
  fs::create_directories(dir);
  const bool done = WholeRangeRuns(dir) && AutoSteps(dir);
  fs::remove_all(dir);
  if (!done) std::printf("a run failed\n");
  return done ? 0 : 1;
}

}  // namespace bench
