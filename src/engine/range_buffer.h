#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>

namespace engine {

// A run moves its range through memory in pieces of this size, through one
// buffer: large enough that each read and write is cheap per byte, small
// enough to stay clear of the memory a disc image would take, whatever the
// range.
inline constexpr std::uint64_t kPieceBytes = std::uint64_t{4} << 20;

// The largest range buffer a run allocates. A larger range fails as out of
// memory in the run's read stretch instead of driving the machine into swap or
// the out-of-memory killer. Starts unlimited; the program sets it to the
// machine's physical memory as it starts.
std::uint64_t RangeBufferLimit();
void SetRangeBufferLimit(std::uint64_t bytes);

// The buffer a run moves its range through, one piece at a time. Left uninitialised, as reads fill
// what is used (a short read is a failure). A large buffer is mapped and populated with one call
// rather than through a page fault per 4 KiB during the reads; memory that is not there shows up
// here as a failure rather than later as the OOM killer.
class RangeBuffer {
 public:
  RangeBuffer() = default;
  RangeBuffer(const RangeBuffer&) = delete;
  RangeBuffer& operator=(const RangeBuffer&) = delete;
  ~RangeBuffer() { Release(); }

  // Throws std::bad_alloc when the memory is not there.
  void Allocate(std::uint64_t size);
  void Release();
  std::span<std::uint8_t> Bytes() { return {data_, size_}; }

 private:
  void Map(std::size_t size);

  void* mapped_ = nullptr;
  std::unique_ptr<std::uint8_t[]> heap_;
  std::uint8_t* data_ = nullptr;
  std::size_t size_ = 0;
};

}  // namespace engine
