// The patch readers on arbitrary bytes over a small ROM: a patch is refused
// with a PatchFailure or applied, never read or written outside the ROM, the
// target or the patch itself, and an applied BPS patch gives a target of the
// size it names.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <span>
#include <vector>

#include "engine/patch_format.h"

namespace {

constexpr std::size_t kLargestTarget = std::size_t{1} << 20;

struct Target : engine::PatchTarget {
  std::vector<std::uint8_t> source, target;
  std::int64_t SourceSize() override { return static_cast<std::int64_t>(source.size()); }
  void ReadSource(std::int64_t offset, std::span<std::uint8_t> out) override {
    if (offset < 0 || static_cast<std::size_t>(offset) + out.size() > source.size()) std::abort();
    std::memcpy(out.data(), source.data() + offset, out.size());
  }
  void ReadTarget(std::int64_t offset, std::span<std::uint8_t> out) override {
    if (offset < 0 || static_cast<std::size_t>(offset) + out.size() > target.size()) std::abort();
    std::memcpy(out.data(), target.data() + offset, out.size());
  }
  void WriteTarget(std::int64_t offset, std::span<const std::uint8_t> data) override {
    if (offset < 0) std::abort();
    const std::size_t end = static_cast<std::size_t>(offset) + data.size();
    if (end > kLargestTarget) throw engine::PatchFailure(engine::PatchFailure::Kind::Malformed, "too large here");
    if (target.size() < end) target.resize(end);
    std::copy(data.begin(), data.end(), target.begin() + offset);
  }
  void ResizeTarget(std::int64_t size) override {
    if (size < 0) std::abort();
    target.resize(std::min<std::size_t>(static_cast<std::size_t>(size), kLargestTarget));
  }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  engine::PatchReader patch(
      [&](std::int64_t offset, std::span<std::uint8_t> out) {
        if (offset < 0 || static_cast<std::size_t>(offset) + out.size() > size) std::abort();
        std::memcpy(out.data(), data + offset, out.size());
      },
      static_cast<std::int64_t>(size));
  Target io;
  for (int i = 0; i < 64; ++i) io.source.push_back(static_cast<std::uint8_t>(i * 37));
  try {
    const engine::PatchFormat format = engine::DetectPatchFormat(patch);
    engine::CheckPatch(format, patch, io);
    if (format == engine::PatchFormat::Ips) io.target = io.source;
    engine::ApplyPatch(format, patch, io);
  } catch (const engine::PatchFailure&) {
  }
  return 0;
}
