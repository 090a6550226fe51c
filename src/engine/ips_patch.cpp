#include "engine/ips_patch.h"

#include <algorithm>
#include <array>
#include <optional>
#include <vector>

namespace engine {
namespace {

constexpr std::array<std::uint8_t, 5> kHeader = {'P', 'A', 'T', 'C', 'H'};
constexpr std::array<std::uint8_t, 3> kEndMarker = {'E', 'O', 'F'};
constexpr std::size_t kLargestRecord = 0xFFFF;
// A run of one value this long is cheaper as a run-length record (8 bytes)
// than inside a plain one.
constexpr std::size_t kShortestRun = 9;

[[noreturn]] void Malformed(const std::string& reason) {
  throw PatchFailure(PatchFailure::Kind::Malformed, reason);
}

class IpsWriter : public PatchWriter {
 public:
  explicit IpsWriter(ByteSink sink) : sink_(std::move(sink)) { sink_(kHeader); }

  void Compare(std::span<const std::uint8_t> source,
               std::span<const std::uint8_t> target) override {
    for (std::size_t i = 0; i < target.size();) {
      if (changed_.empty()) {
        const std::size_t differs = FirstDifference(source, target, i);
        if (differs > i) lastByte_ = target[differs - 1];
        position_ += static_cast<std::int64_t>(differs - i);
        i = differs;
        if (i == target.size()) break;
        if (position_ >= kIpsLimit)
          throw PatchFailure(PatchFailure::Kind::TooFarForIps,
                             "a change lies past the 16 MiB that IPS can address");
        changedAt_ = position_;
        byteBefore_ = lastByte_;
      }
      if (source[i] == target[i]) {
        Flush();
        continue;
      }
      lastByte_ = target[i++];
      changed_.push_back(lastByte_);
      ++position_;
      if (changed_.size() == kLargestRecord) Flush();
    }
  }

  bool Finish() override {
    if (!changed_.empty()) Flush();
    sink_(kEndMarker);
    return any_;
  }

 private:
  // Writes the pending changed bytes as plain and run-length records.
  void Flush() {
    any_ = true;
    const std::size_t n = changed_.size();
    std::size_t plainFrom = 0;
    for (std::size_t i = 0; i < n;) {
      std::size_t j = i + 1;
      while (j < n && changed_[j] == changed_[i]) ++j;
      if (j - i >= kShortestRun) {
        Plain(plainFrom, i);
        Run(i, j);
        plainFrom = j;
      }
      i = j;
    }
    Plain(plainFrom, n);
    changed_.clear();
  }

  void Plain(std::size_t from, std::size_t to) {
    if (from == to) return;
    std::int64_t offset = changedAt_ + static_cast<std::int64_t>(from);
    std::vector<std::uint8_t> bytes(changed_.begin() + static_cast<std::ptrdiff_t>(from),
                                    changed_.begin() + static_cast<std::ptrdiff_t>(to));
    if (offset == kIpsEndMarkerOffset) {
      // Start a byte earlier, with the byte the target already has there.
      bytes.insert(bytes.begin(), from > 0 ? changed_[from - 1] : byteBefore_);
      --offset;
      if (bytes.size() > kLargestRecord) {
        Record(offset, std::span(bytes).first(2));
        Record(offset + 2, std::span(bytes).subspan(2));
        return;
      }
    }
    Record(offset, bytes);
  }

  void Run(std::size_t from, std::size_t to) {
    std::int64_t offset = changedAt_ + static_cast<std::int64_t>(from);
    std::size_t length = to - from;
    if (offset == kIpsEndMarkerOffset) {
      const std::uint8_t before = from > 0 ? changed_[from - 1] : byteBefore_;
      const std::array<std::uint8_t, 2> pair = {before, changed_[from]};
      Record(offset - 1, pair);
      ++offset;
      --length;
    }
    const std::array<std::uint8_t, 8> record = {Byte(offset, 16),
                                                Byte(offset, 8),
                                                Byte(offset, 0),
                                                0,
                                                0,
                                                static_cast<std::uint8_t>(length >> 8),
                                                static_cast<std::uint8_t>(length),
                                                changed_[from]};
    sink_(record);
  }

  void Record(std::int64_t offset, std::span<const std::uint8_t> bytes) {
    const std::array<std::uint8_t, 5> head = {Byte(offset, 16), Byte(offset, 8), Byte(offset, 0),
                                              static_cast<std::uint8_t>(bytes.size() >> 8),
                                              static_cast<std::uint8_t>(bytes.size())};
    sink_(head);
    sink_(bytes);
  }

  static std::uint8_t Byte(std::int64_t value, int shift) {
    return static_cast<std::uint8_t>(value >> shift);
  }

  ByteSink sink_;
  std::int64_t position_ = 0;
  std::uint8_t lastByte_ = 0;
  std::vector<std::uint8_t> changed_;
  std::int64_t changedAt_ = 0;
  std::uint8_t byteBefore_ = 0;
  bool any_ = false;
};

struct IpsRecord {
  std::int64_t offset = 0;
  std::size_t length = 0;
  bool run = false;
  std::uint8_t value = 0;  // of a run
};

std::int64_t ReadNumber(PatchReader& patch, int bytes) {
  std::int64_t value = 0;
  for (int i = 0; i < bytes; ++i) value = value << 8 | patch.Byte();
  return value;
}

// The next record, or nothing at the end marker (the optional three-byte
// truncation size after it goes to `truncateTo`).
std::optional<IpsRecord> NextRecord(PatchReader& patch, std::optional<std::int64_t>& truncateTo) {
  if (patch.Remaining() < 3) Malformed("the patch is cut short: no end marker");
  const std::int64_t offset = ReadNumber(patch, 3);
  if (offset == kIpsEndMarkerOffset) {
    if (patch.Remaining() == 3) {
      truncateTo = ReadNumber(patch, 3);
    } else if (patch.Remaining() != 0) {
      Malformed("bytes follow the end marker");
    }
    return std::nullopt;
  }
  IpsRecord record{.offset = offset, .length = static_cast<std::size_t>(ReadNumber(patch, 2))};
  if (record.length == 0) {
    record.run = true;
    record.length = static_cast<std::size_t>(ReadNumber(patch, 2));
    record.value = patch.Byte();
    if (record.length == 0) Malformed("a run-length record of no bytes");
  } else if (static_cast<std::int64_t>(record.length) > patch.Remaining()) {
    Malformed("a record runs past the end of the patch");
  }
  return record;
}

void CheckHeader(PatchReader& patch) {
  patch.Rewind();
  std::array<std::uint8_t, kHeader.size()> header{};
  patch.Bytes(header);
  if (header != kHeader) Malformed("not an IPS patch");
}

}  // namespace

std::unique_ptr<PatchWriter> MakeIpsWriter(ByteSink sink) {
  return std::make_unique<IpsWriter>(std::move(sink));
}

bool LooksLikeIps(PatchReader& patch) {
  patch.Rewind();
  if (patch.Size() < static_cast<std::int64_t>(kHeader.size())) return false;
  std::array<std::uint8_t, kHeader.size()> header{};
  patch.Bytes(header);
  return header == kHeader;
}

void CheckIps(PatchReader& patch) {
  CheckHeader(patch);
  std::optional<std::int64_t> truncateTo;
  while (const auto record = NextRecord(patch, truncateTo)) {
    if (!record->run) {
      std::vector<std::uint8_t> skipped(record->length);
      patch.Bytes(skipped);
    }
  }
}

void ApplyIps(PatchReader& patch, PatchTarget& target) {
  CheckHeader(patch);
  std::optional<std::int64_t> truncateTo;
  std::vector<std::uint8_t> bytes;
  while (const auto record = NextRecord(patch, truncateTo)) {
    bytes.resize(record->length);
    if (record->run)
      std::fill(bytes.begin(), bytes.end(), record->value);
    else
      patch.Bytes(bytes);
    target.WriteTarget(record->offset, bytes);
  }
  if (truncateTo) target.ResizeTarget(*truncateTo);
}

}  // namespace engine
