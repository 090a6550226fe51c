#include "engine/patch_io.h"

#include <algorithm>
#include <cstring>

namespace engine {
namespace {

constexpr std::int64_t kReadAhead = std::int64_t{1} << 20;

}  // namespace

std::size_t FirstDifference(std::span<const std::uint8_t> a, std::span<const std::uint8_t> b,
                            std::size_t from) {
  constexpr std::size_t kBlock = 256;
  const std::size_t size = std::min(a.size(), b.size());
  while (from + kBlock <= size && std::memcmp(a.data() + from, b.data() + from, kBlock) == 0)
    from += kBlock;
  while (from < size && a[from] == b[from]) ++from;
  return from;
}

void PatchReader::Fill() {
  const std::int64_t length = std::min(kReadAhead, size_ - position_);
  if (length <= 0) throw PatchFailure(PatchFailure::Kind::Malformed, "the patch is cut short");
  buffer_.resize(static_cast<std::size_t>(length));
  read_(position_, buffer_);
  bufferAt_ = position_;
}

std::uint8_t PatchReader::Byte() {
  if (position_ < bufferAt_ || position_ >= bufferAt_ + static_cast<std::int64_t>(buffer_.size()))
    Fill();
  return buffer_[static_cast<std::size_t>(position_++ - bufferAt_)];
}

void PatchReader::Bytes(std::span<std::uint8_t> out) {
  if (static_cast<std::int64_t>(out.size()) > Remaining())
    throw PatchFailure(PatchFailure::Kind::Malformed, "the patch is cut short");
  while (!out.empty()) {
    if (position_ < bufferAt_ || position_ >= bufferAt_ + static_cast<std::int64_t>(buffer_.size()))
      Fill();
    const auto at = static_cast<std::size_t>(position_ - bufferAt_);
    const std::size_t take = std::min(out.size(), buffer_.size() - at);
    std::memcpy(out.data(), buffer_.data() + at, take);
    out = out.subspan(take);
    position_ += static_cast<std::int64_t>(take);
  }
}

}  // namespace engine
