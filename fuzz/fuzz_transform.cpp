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

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 8) return 0;
  const unsigned flags = data[0] | data[1] << 8;
  const std::size_t rangeSize = data[2] % 80;
  std::string_view rest(reinterpret_cast<const char*>(data) + 4, size - 4);

  engine::JobSettings job;
  int bit = 0;
  for (const char* option : {"optall", "optnth", "optmask", "optcorrupt", "optadd", "optshift", "optrandombytes",
                             "optbyterange", "optsequence"})
    engine::SetField(job, *engine::FieldNamed(option), (flags >> bit++ & 1) != 0);
  job.optrandomseq = (data[1] >> 1) % 3;
  for (const char* key : {"nth", "mask", "range1", "range2", "add", "shift"}) {
    const std::size_t end = std::min(rest.find('\n'), rest.size());
    engine::SetField(job, *engine::FieldNamed(key), std::string(rest.substr(0, end)));
    rest.remove_prefix(std::min(end + 1, rest.size()));
  }
  job.sequence = std::string(rest);

  FakeHost fake;
  fake.random = ScriptedRandom({data[3] * 0x01010101u, data[4] * 0x01010101u, data[5] * 0x01010101u});
  constexpr std::size_t kGuard = 16;
  std::vector<std::uint8_t> memory(rangeSize + 2 * kGuard, 0x5A);
  try {
    const auto result = engine::SelectAndTransform(job, std::span(memory.data() + kGuard, rangeSize), fake.host);
    const auto& events = fake.ui.events;
    if (result == engine::TransformResult::Done
            ? !events.empty()
            : events.size() < 2 || !events.front().starts_with("message: ") || !events.back().starts_with("status: "))
      std::abort();
  } catch (const engine::HostFailure&) {
  }
  for (std::size_t i = 0; i < kGuard; ++i)
    if (memory[i] != 0x5A || memory[memory.size() - 1 - i] != 0x5A) std::abort();
  if (job.optcorrupt && fake.random.drawn != 0 && fake.random.drawn != rangeSize) std::abort();
  return 0;
}
