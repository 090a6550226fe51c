// SelectAndTransform on arbitrary option texts, flags and draws over a small
// range: only HostFailure may escape, refusals report message and status, and
// nothing outside the range is ever written.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "../tests/support/fakes.h"
#include "engine/transform.h"

namespace {

class NoFiles : public engine::FileSystem {
 public:
  void ChangeDrive(const std::string&) override { std::abort(); }
  void ChangeDirectory(const std::string&) override { std::abort(); }
  void Copy(const std::string&, const std::string&, engine::Progress&) override { std::abort(); }
  void CopyRange(const std::string&, const std::string&, std::int64_t, std::int64_t, engine::Progress&) override {
    std::abort();
  }
  std::int64_t FileLength(const std::string&) override { std::abort(); }
  void ReadAt(const std::string&, std::int64_t, std::span<std::uint8_t>) override { std::abort(); }
  void WriteAt(const std::string&, std::int64_t, std::span<const std::uint8_t>) override { std::abort(); }
};

std::string NextText(std::string_view& rest) {
  const std::size_t end = rest.find('\n');
  const std::string text(rest.substr(0, end));
  rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
  return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 8) return 0;
  const std::uint8_t flags = data[0];
  const std::uint8_t more = data[1];
  const std::size_t rangeSize = data[2] % 80;
  std::vector<std::uint32_t> draws;
  for (int i = 0; i < 4; ++i) draws.push_back(static_cast<std::uint32_t>(data[3] + i) * 0x01010101u);
  std::string_view rest(reinterpret_cast<const char*>(data) + 4, size - 4);

  engine::JobSettings job;
  job.optall = flags & 1;
  job.optnth = flags & 2;
  job.optmask = flags & 4;
  job.optcorrupt = flags & 8;
  job.optadd = flags & 16;
  job.optshift = flags & 32;
  job.optrandombytes = flags & 64;
  job.optbyterange = flags & 128;
  job.optsequence = more & 1;
  job.optrandomseq = (more >> 1) % 3;
  job.nth = NextText(rest);
  job.mask = NextText(rest);
  job.range1 = NextText(rest);
  job.range2 = NextText(rest);
  job.add = NextText(rest);
  job.shift = NextText(rest);
  job.sequence = std::string(rest);

  RecordingUi ui;
  NoFiles files;
  RecordingLauncher launcher;
  FixedClock clock;
  ScriptedRandom random(draws);
  engine::Host host{ui, files, launcher, clock, random, {}};

  constexpr std::size_t kGuard = 16;
  std::vector<std::uint8_t> memory(rangeSize + 2 * kGuard, 0x5A);
  const std::span<std::uint8_t> range(memory.data() + kGuard, rangeSize);
  try {
    const auto result = engine::SelectAndTransform(job, range, host);
    if (result == engine::TransformResult::Refused) {
      if (ui.events.size() < 2 || ui.events.front().rfind("message: ", 0) != 0 ||
          ui.events.back().rfind("status: ", 0) != 0)
        std::abort();
    } else if (!ui.events.empty()) {
      std::abort();
    }
  } catch (const engine::HostFailure&) {
  }
  for (std::size_t i = 0; i < kGuard; ++i)
    if (memory[i] != 0x5A || memory[memory.size() - 1 - i] != 0x5A) std::abort();
  if (job.optcorrupt && random.drawn != 0 && random.drawn != rangeSize) std::abort();
  return 0;
}
