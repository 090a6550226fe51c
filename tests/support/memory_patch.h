#pragma once

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <span>
#include <vector>

#include "engine/patch_format.h"

// A patch's source and target in memory. A read or write outside them ends the program; a target larger than
// `largest` is refused as a malformed patch.
struct MemoryTarget : engine::PatchTarget {
  std::vector<std::uint8_t> source, target;
  std::size_t largest = SIZE_MAX;
  std::int64_t SourceSize() override { return static_cast<std::int64_t>(source.size()); }
  void ReadSource(std::int64_t offset, std::span<std::uint8_t> out) override { CopyOut(source, offset, out); }
  void ReadTarget(std::int64_t offset, std::span<std::uint8_t> out) override { CopyOut(target, offset, out); }
  void WriteTarget(std::int64_t offset, std::span<const std::uint8_t> data) override {
    if (offset < 0) std::abort();
    ResizeTarget(std::max<std::int64_t>(offset + static_cast<std::int64_t>(data.size()), static_cast<std::int64_t>(target.size())));
    std::copy(data.begin(), data.end(), target.begin() + offset);
  }
  void ResizeTarget(std::int64_t size) override {
    if (size < 0) std::abort();
    if (static_cast<std::size_t>(size) > largest) throw engine::PatchFailure(engine::PatchFailure::Kind::Malformed, "too large here");
    target.resize(static_cast<std::size_t>(size));
  }
  static void CopyOut(std::span<const std::uint8_t> from, std::int64_t offset, std::span<std::uint8_t> out) {
    if (offset < 0 || static_cast<std::size_t>(offset) + out.size() > from.size()) std::abort();
    std::memcpy(out.data(), from.data() + offset, out.size());
  }
};

// What importing `patch` onto `io.source` leaves in `io.target`, as Import does it: checked first, then an IPS patch
// onto a copy of the source, a BPS patch onto an empty target.
inline void Import(std::span<const std::uint8_t> patch, MemoryTarget& io) {
  engine::PatchReader reader([patch](std::int64_t offset, std::span<std::uint8_t> out) { MemoryTarget::CopyOut(patch, offset, out); },
                             static_cast<std::int64_t>(patch.size()));
  const engine::PatchFormat format = engine::DetectPatchFormat(reader);
  engine::CheckPatch(format, reader, io);
  if (format == engine::PatchFormat::Ips) io.target = io.source;
  engine::ApplyPatch(format, reader, io);
}
