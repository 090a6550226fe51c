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
  const char* options[] = {"optall",   "optnth",         "optmask",      "optcorrupt", "optadd",
                           "optshift", "optrandombytes", "optbyterange", "optsequence"};
  for (int bit = 0; bit < 9; ++bit)
    engine::SetField(job, *engine::FieldIndex(options[bit]), ((flags | more << 8) >> bit & 1) != 0);
  job.optrandomseq = (more >> 1) % 3;
  for (const char* key : {"nth", "mask", "range1", "range2", "add", "shift"})
    engine::SetField(job, *engine::FieldIndex(key), NextText(rest));
  job.sequence = std::string(rest);

  FakeHost fake;  // the transform touches no file
  for (const char* op : {"ChangeDrive", "ChangeDirectory", "Copy", "CopyRange", "ReadAt", "WriteAt"})
    fake.files.before[op] = [](const std::string&) { std::abort(); };
  fake.random = ScriptedRandom(draws);

  constexpr std::size_t kGuard = 16;
  std::vector<std::uint8_t> memory(rangeSize + 2 * kGuard, 0x5A);
  const std::span<std::uint8_t> range(memory.data() + kGuard, rangeSize);
  try {
    const auto result = engine::SelectAndTransform(job, range, fake.host);
    if (result == engine::TransformResult::Refused) {
      if (fake.ui.events.size() < 2 || fake.ui.events.front().rfind("message: ", 0) != 0 ||
          fake.ui.events.back().rfind("status: ", 0) != 0)
        std::abort();
    } else if (!fake.ui.events.empty()) {
      std::abort();
    }
  } catch (const engine::HostFailure&) {
  }
  for (std::size_t i = 0; i < kGuard; ++i)
    if (memory[i] != 0x5A || memory[memory.size() - 1 - i] != 0x5A) std::abort();
  if (job.optcorrupt && fake.random.drawn != 0 && fake.random.drawn != rangeSize) std::abort();
  return 0;
}
