// Throughput of the byte transforms over a range as large as a disc image.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>
#include <vector>

#include "engine/fast_random.h"
#include "engine/host.h"
#include "engine/job_settings.h"
#include "engine/transform.h"
#include "host/disk_file_system.h"

namespace {

constexpr std::size_t kRangeBytes = std::size_t{256} << 20;

class SilentUi : public engine::UserInterface {
 public:
  void ShowMessage(const std::string&) override {}
  void SetStatus(const std::string&) override {}
  void SetFocus(engine::FocusTarget) override {}
};

class NoLauncher : public engine::ProcessLauncher {
 public:
  void Start(const std::string&, const std::string&) override {}
  bool MayStillWrite(const std::string&) override { return false; }
  void EndPrevious() override {}
};

class MidnightClock : public engine::Clock {
 public:
  float SecondsSinceMidnight() override { return 43210.5f; }
};

// One range buffer shared by every benchmark, filled once and released
// before the whole-run measurement so that it does not count in its peak.
std::vector<std::uint8_t>& Range() {
  static std::vector<std::uint8_t> range;
  if (range.empty()) {
    range.resize(kRangeBytes);
    for (std::size_t i = 0; i < range.size(); ++i)
      range[i] = static_cast<std::uint8_t>(i * 131 + 7);
  }
  return range;
}

// "Change ALL bytes", no action chosen yet; spacing 4, mask %00001101, range $10-$1F.
engine::JobSettings Job() {
  engine::JobSettings job = engine::FirstRunDefaults();
  job.optcorrupt = false;
  job.range1 = std::string("$10");
  job.range2 = std::string("$1F");
  return job;
}

void RunTransform(benchmark::State& state, const engine::JobSettings& job) {
  SilentUi ui;
  host::DiskFileSystem files;
  NoLauncher launcher;
  MidnightClock clock;
  engine::FastRandom random;
  engine::Host host{ui, files, launcher, clock, random, {}};
  auto& range = Range();
  for (auto _ : state) {
    const auto result = engine::SelectAndTransform(job, range, host);
    benchmark::DoNotOptimize(result);
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                          static_cast<std::int64_t>(range.size()));
}

void BM_RandomBytes(benchmark::State& state) {
  auto job = Job();
  job.optcorrupt = true;
  RunTransform(state, job);
}

void BM_ByteRange(benchmark::State& state) {
  auto job = Job();
  job.optcorrupt = true;
  job.optrandombytes = false;
  job.optbyterange = true;
  RunTransform(state, job);
}

void BM_Add(benchmark::State& state) {
  auto job = Job();
  job.optadd = true;
  RunTransform(state, job);
}

void BM_ShiftAll(benchmark::State& state) {
  auto job = Job();
  job.optshift = true;
  RunTransform(state, job);
}

void BM_RandomBytesEveryNth(benchmark::State& state) {
  auto job = Job();
  job.optall = false;
  job.optnth = true;
  job.optcorrupt = true;
  RunTransform(state, job);
}

void BM_RandomBytesMask(benchmark::State& state) {
  auto job = Job();
  job.optall = false;
  job.optmask = true;
  job.optcorrupt = true;
  RunTransform(state, job);
}

void BM_FastRandomDraw(benchmark::State& state) {
  engine::FastRandom random;
  random.Reseed(1.0f);
  std::vector<std::uint32_t> draws(4096);
  for (auto _ : state) {
    random.Draw(draws);
    benchmark::DoNotOptimize(draws.data());
  }
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) * 4096);
}

}  // namespace

BENCHMARK(BM_RandomBytes)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ByteRange)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Add)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ShiftAll)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RandomBytesEveryNth)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RandomBytesMask)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FastRandomDraw);

namespace bench {
void ReleaseTransformRange() {
  std::vector<std::uint8_t>& range = Range();
  range.clear();
  range.shrink_to_fit();
}
}  // namespace bench
