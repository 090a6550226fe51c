#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

// What the patch formats share: their failures, the writer's and the
// reader's side, and what a patch is applied to.
namespace engine {

// Why a patch cannot be written or applied. `Kind` tells the message's first line.
class PatchFailure : public std::runtime_error {
 public:
  enum class Kind {
    Malformed,     // not a well-formed patch of its format
    OtherFile,     // well formed, but made for another file (size or checksum)
    TooFarForIps,  // a change at or past 16 MiB, which IPS cannot address
  };
  PatchFailure(Kind kind, const std::string& reason) : std::runtime_error(reason), kind_(kind) {}
  Kind kind() const { return kind_; }

 private:
  Kind kind_;
};

using ByteSink = std::function<void(std::span<const std::uint8_t>)>;

// The first position from `from` on where the two pieces differ; their size
// when nowhere. Equal stretches are skipped a block at a time.
std::size_t FirstDifference(std::span<const std::uint8_t> a, std::span<const std::uint8_t> b,
                            std::size_t from);

// Writes a patch from a source and a target of the same length, handed over
// in order as pieces of equal length. The patch goes to the sink as it is made.
class PatchWriter {
 public:
  virtual ~PatchWriter() = default;
  virtual void Compare(std::span<const std::uint8_t> source,
                       std::span<const std::uint8_t> target) = 0;
  // Ends the patch; false when no byte differed (the patch is then incomplete).
  virtual bool Finish() = 0;
};

// The patch file, read from the start to the end in order.
class PatchReader {
 public:
  using ReadAt = std::function<void(std::int64_t offset, std::span<std::uint8_t> out)>;
  PatchReader(ReadAt read, std::int64_t size) : read_(std::move(read)), size_(size) {}
  std::int64_t Position() const { return position_; }
  std::int64_t Size() const { return size_; }
  std::int64_t Remaining() const { return size_ - position_; }
  // Throws PatchFailure (Malformed) past the end: the patch is cut short.
  std::uint8_t Byte();
  void Bytes(std::span<std::uint8_t> out);
  void Seek(std::int64_t position) { position_ = position; }
  void Rewind() { Seek(0); }

 private:
  void Fill();
  ReadAt read_;
  std::int64_t size_;
  std::int64_t position_ = 0;
  std::vector<std::uint8_t> buffer_;
  std::int64_t bufferAt_ = 0;
};

// What a patch is applied to: the source by offset, and the target, which
// starts empty (BPS) or as a copy of the source (IPS), written and read back
// by offset.
class PatchTarget {
 public:
  virtual ~PatchTarget() = default;
  virtual std::int64_t SourceSize() = 0;
  virtual void ReadSource(std::int64_t offset, std::span<std::uint8_t> out) = 0;
  virtual void ReadTarget(std::int64_t offset, std::span<std::uint8_t> out) = 0;
  virtual void WriteTarget(std::int64_t offset, std::span<const std::uint8_t> data) = 0;
  virtual void ResizeTarget(std::int64_t size) = 0;
};

}  // namespace engine
