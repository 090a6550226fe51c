#include "engine/bps_patch.h"

#include <zlib.h>

#include <algorithm>
#include <array>
#include <future>
#include <limits>
#include <vector>

namespace engine {
namespace {

constexpr std::array<std::uint8_t, 4> kMagic = {'B', 'P', 'S', '1'};
constexpr std::int64_t kFooterBytes = 12;
// A changed stretch is written out as one target read of at most this many
// bytes, so that a wholly different image needs no more memory than this.
constexpr std::size_t kLargestTargetRead = std::size_t{1} << 20;
constexpr std::size_t kPiece = std::size_t{1} << 20;

enum Action : std::uint64_t { kSourceRead = 0, kTargetRead = 1, kSourceCopy = 2, kTargetCopy = 3 };

[[noreturn]] void Malformed(const std::string& reason) {
  throw PatchFailure(PatchFailure::Kind::Malformed, reason);
}

std::uint32_t Crc(std::uint32_t crc, std::span<const std::uint8_t> bytes) {
  while (!bytes.empty()) {
    const auto take = static_cast<uInt>(std::min<std::size_t>(bytes.size(), 1u << 30));
    crc = static_cast<std::uint32_t>(::crc32(crc, bytes.data(), take));
    bytes = bytes.subspan(take);
  }
  return crc;
}

class BpsWriter : public PatchWriter {
 public:
  BpsWriter(std::int64_t size, ByteSink sink) : sink_(std::move(sink)) {
    Emit(kMagic);
    Number(static_cast<std::uint64_t>(size));
    Number(static_cast<std::uint64_t>(size));
    Number(0);  // no metadata
  }

  // The two checksums of a large piece are taken side by side on two threads.
  void Compare(std::span<const std::uint8_t> source,
               std::span<const std::uint8_t> target) override {
    const auto launch = source.size() >= kPiece ? std::launch::async : std::launch::deferred;
    std::future<std::uint32_t> sourceCrc =
        std::async(launch, [&] { return Crc(sourceCrc_, source); });
    targetCrc_ = Crc(targetCrc_, target);
    for (std::size_t i = 0; i < target.size();) {
      if (changed_.empty()) {
        const std::size_t differs = FirstDifference(source, target, i);
        unchanged_ += differs - i;
        i = differs;
        if (i == target.size()) break;
        FlushUnchanged();
      }
      if (source[i] == target[i]) {
        FlushChanged();
        continue;
      }
      changed_.push_back(target[i++]);
      if (changed_.size() == kLargestTargetRead) FlushChanged();
      any_ = true;
    }
    sourceCrc_ = sourceCrc.get();
  }

  bool Finish() override {
    FlushChanged();
    FlushUnchanged();
    Word(sourceCrc_);
    Word(targetCrc_);
    Word(patchCrc_);
    return any_;
  }

 private:
  void Emit(std::span<const std::uint8_t> bytes) {
    patchCrc_ = Crc(patchCrc_, bytes);
    sink_(bytes);
  }

  void Number(std::uint64_t value) {
    std::array<std::uint8_t, 10> bytes{};
    std::size_t n = 0;
    for (;;) {
      const auto low = static_cast<std::uint8_t>(value & 0x7F);
      value >>= 7;
      if (value == 0) {
        bytes[n++] = low | 0x80;
        break;
      }
      bytes[n++] = low;
      --value;
    }
    Emit(std::span(bytes).first(n));
  }

  void Word(std::uint32_t value) {
    const std::array<std::uint8_t, 4> bytes = {
        static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8),
        static_cast<std::uint8_t>(value >> 16), static_cast<std::uint8_t>(value >> 24)};
    sink_(bytes);  // the patch's own checksum covers what came before it only
    patchCrc_ = Crc(patchCrc_, bytes);
  }

  void FlushUnchanged() {
    if (unchanged_ == 0) return;
    Number((unchanged_ - 1) << 2 | kSourceRead);
    unchanged_ = 0;
  }

  void FlushChanged() {
    if (changed_.empty()) return;
    Number((changed_.size() - 1) << 2 | kTargetRead);
    Emit(changed_);
    changed_.clear();
  }

  ByteSink sink_;
  std::uint32_t sourceCrc_ = 0, targetCrc_ = 0, patchCrc_ = 0;
  std::uint64_t unchanged_ = 0;
  std::vector<std::uint8_t> changed_;
  bool any_ = false;
};

// The format's variable-length number, each byte worth 7 bits plus one more
// step; anything past the signed 64-bit range is a failure.
std::uint64_t ReadNumber(PatchReader& patch) {
  constexpr std::uint64_t kMax = std::numeric_limits<std::int64_t>::max();
  std::uint64_t value = 0;
  std::uint64_t shift = 1;
  for (;;) {
    const std::uint8_t byte = patch.Byte();
    const std::uint64_t part = byte & 0x7F;
    if (part > (kMax - value) / shift) Malformed("a number in the patch overflows");
    value += part * shift;
    if (byte & 0x80) return value;
    if (shift > kMax >> 7) Malformed("a number in the patch overflows");
    shift <<= 7;
    if (shift > kMax - value) Malformed("a number in the patch overflows");
    value += shift;
  }
}

std::uint32_t ReadWord(PatchReader& patch) {
  std::uint32_t value = 0;
  for (int i = 0; i < 4; ++i) value |= static_cast<std::uint32_t>(patch.Byte()) << (8 * i);
  return value;
}

struct Header {
  std::int64_t sourceSize = 0;
  std::int64_t targetSize = 0;
};

Header ReadHeader(PatchReader& patch) {
  patch.Rewind();
  std::array<std::uint8_t, kMagic.size()> magic{};
  patch.Bytes(magic);
  if (magic != kMagic) Malformed("not a BPS patch");
  Header header;
  header.sourceSize = static_cast<std::int64_t>(ReadNumber(patch));
  header.targetSize = static_cast<std::int64_t>(ReadNumber(patch));
  const std::uint64_t metadata = ReadNumber(patch);
  if (patch.Remaining() < kFooterBytes ||
      metadata > static_cast<std::uint64_t>(patch.Remaining() - kFooterBytes))
    Malformed("the patch is cut short");
  std::vector<std::uint8_t> skipped(kPiece);
  for (std::uint64_t left = metadata; left > 0;) {
    const auto take = static_cast<std::size_t>(std::min<std::uint64_t>(left, kPiece));
    patch.Bytes(std::span(skipped).first(take));
    left -= take;
  }
  return header;
}

struct Footer {
  std::uint32_t source = 0, target = 0, patch = 0;
};

// Reads the three checksums at the end, then puts the reader back.
Footer ReadFooter(PatchReader& patch) {
  const std::int64_t resume = patch.Position();
  patch.Seek(patch.Size() - kFooterBytes);
  Footer footer;
  footer.source = ReadWord(patch);
  footer.target = ReadWord(patch);
  footer.patch = ReadWord(patch);
  patch.Seek(resume);
  return footer;
}

// Walks the actions, checking each against the sizes; with a target, also
// carries them out. Returns the target's checksum (0 without a target).
std::uint32_t Walk(PatchReader& patch, const Header& header, PatchTarget* target) {
  const std::int64_t actionsEnd = patch.Size() - kFooterBytes;
  std::int64_t outputOffset = 0, sourceRelative = 0, targetRelative = 0;
  std::uint32_t crc = 0;
  std::vector<std::uint8_t> piece(kPiece);
  const auto written = [&](std::span<const std::uint8_t> bytes) {
    if (!target) return;
    target->WriteTarget(outputOffset, bytes);
    crc = Crc(crc, bytes);
  };
  while (patch.Position() < actionsEnd) {
    const std::uint64_t data = ReadNumber(patch);
    const std::uint64_t command = data & 3;
    const std::int64_t length = static_cast<std::int64_t>(data >> 2) + 1;
    if (length > header.targetSize - outputOffset)
      Malformed("an action writes past the target's end");
    std::int64_t from = 0;
    if (command == kSourceCopy || command == kTargetCopy) {
      const std::uint64_t coded = ReadNumber(patch);
      const auto delta = static_cast<std::int64_t>(coded >> 1);
      if (delta > header.targetSize + header.sourceSize)
        Malformed(command == kSourceCopy ? "an action reads outside the source"
                                         : "an action reads outside the target");
      std::int64_t& relative = command == kSourceCopy ? sourceRelative : targetRelative;
      relative += (coded & 1) ? -delta : delta;
      from = relative;
      const std::int64_t limit = command == kSourceCopy ? header.sourceSize : outputOffset;
      if (from < 0 || from >= limit || (command == kSourceCopy && length > limit - from))
        Malformed(command == kSourceCopy ? "an action reads outside the source"
                                         : "an action reads outside the target");
      relative += length;
    }
    if (command == kSourceRead && outputOffset + length > header.sourceSize)
      Malformed("an action reads outside the source");
    if (command == kTargetRead && length > patch.Remaining() - kFooterBytes)
      Malformed("an action runs past the end of the patch");
    for (std::int64_t done = 0; done < length;) {
      std::int64_t take = std::min<std::int64_t>(length - done, kPiece);
      // A target copy may read what it is writing, a stretch behind: never
      // more at once than that distance.
      if (command == kTargetCopy) take = std::min(take, outputOffset - (from + done));
      const auto bytes = std::span(piece).first(static_cast<std::size_t>(take));
      switch (command) {
        case kSourceRead:
          if (target) target->ReadSource(outputOffset, bytes);
          break;
        case kTargetRead: patch.Bytes(bytes); break;
        case kSourceCopy:
          if (target) target->ReadSource(from + done, bytes);
          break;
        case kTargetCopy:
          if (target) target->ReadTarget(from + done, bytes);
          break;
      }
      written(bytes);
      done += take;
      outputOffset += take;
    }
  }
  if (patch.Position() != actionsEnd) Malformed("the last action runs into the checksums");
  if (outputOffset != header.targetSize) Malformed("the actions do not fill the target");
  return crc;
}

}  // namespace

std::unique_ptr<PatchWriter> MakeBpsWriter(std::int64_t size, ByteSink sink) {
  return std::make_unique<BpsWriter>(size, std::move(sink));
}

std::int64_t LargestBpsTarget(std::int64_t sourceSize) {
  constexpr std::int64_t kSlack = std::int64_t{64} << 20;
  if (sourceSize > std::numeric_limits<std::int64_t>::max() / 8) return sourceSize;
  return std::max(4 * sourceSize, sourceSize + kSlack);
}

bool LooksLikeBps(PatchReader& patch) {
  patch.Rewind();
  if (patch.Size() < static_cast<std::int64_t>(kMagic.size())) return false;
  std::array<std::uint8_t, kMagic.size()> magic{};
  patch.Bytes(magic);
  return magic == kMagic;
}

void CheckBps(PatchReader& patch, PatchTarget& target) {
  if (patch.Size() < static_cast<std::int64_t>(kMagic.size()) + 3 + kFooterBytes)
    Malformed("the patch is cut short");
  const Footer footer = ReadFooter(patch);
  patch.Rewind();
  std::uint32_t crc = 0;
  std::vector<std::uint8_t> piece(kPiece);
  for (std::int64_t left = patch.Size() - 4; left > 0;) {
    const auto take = static_cast<std::size_t>(std::min<std::int64_t>(left, kPiece));
    patch.Bytes(std::span(piece).first(take));
    crc = Crc(crc, std::span(piece).first(take));
    left -= static_cast<std::int64_t>(take);
  }
  if (crc != footer.patch) Malformed("the patch's own checksum does not match: it is damaged");
  const Header header = ReadHeader(patch);
  if (header.sourceSize != target.SourceSize())
    throw PatchFailure(PatchFailure::Kind::OtherFile,
                       "the ROM's size differs from the one the patch names");
  if (header.targetSize > LargestBpsTarget(header.sourceSize))
    Malformed("the patch asks for a target far larger than its source");
  Walk(patch, header, nullptr);
  crc = 0;
  for (std::int64_t at = 0; at < header.sourceSize;) {
    const auto take =
        static_cast<std::size_t>(std::min<std::int64_t>(header.sourceSize - at, kPiece));
    target.ReadSource(at, std::span(piece).first(take));
    crc = Crc(crc, std::span(piece).first(take));
    at += static_cast<std::int64_t>(take);
  }
  if (crc != footer.source)
    throw PatchFailure(PatchFailure::Kind::OtherFile,
                       "the ROM's checksum differs from the one the patch names");
}

void ApplyBps(PatchReader& patch, PatchTarget& target) {
  const Footer footer = ReadFooter(patch);
  const Header header = ReadHeader(patch);
  if (header.sourceSize != target.SourceSize() ||
      header.targetSize > LargestBpsTarget(header.sourceSize))
    Malformed("the patch does not fit this ROM");
  if (Walk(patch, header, &target) != footer.target)
    throw PatchFailure(PatchFailure::Kind::OtherFile,
                       "the result's checksum differs from the one the patch names");
}

}  // namespace engine
