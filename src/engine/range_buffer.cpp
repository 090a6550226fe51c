#include "engine/range_buffer.h"

#include <cerrno>
#include <new>

#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace engine {
namespace {

std::uint64_t& Limit() {
  static std::uint64_t limit = UINT64_MAX;
  return limit;
}

constexpr std::uint64_t kMapThreshold = std::uint64_t{1} << 20;

}  // namespace

std::uint64_t RangeBufferLimit() { return Limit(); }
void SetRangeBufferLimit(std::uint64_t bytes) { Limit() = bytes; }

void RangeBuffer::Allocate(std::uint64_t size) {
  Release();
  if (size > Limit() || size > SIZE_MAX / 2) throw std::bad_alloc();
#if defined(__linux__)
  if (size >= kMapThreshold) return Map(static_cast<std::size_t>(size));
#endif
  heap_.reset(new std::uint8_t[static_cast<std::size_t>(size)]);
  data_ = heap_.get();
  size_ = static_cast<std::size_t>(size);
}

void RangeBuffer::Release() {
#if defined(__linux__)
  if (mapped_ != nullptr) ::munmap(mapped_, size_);
#endif
  mapped_ = nullptr;
  heap_.reset();
  data_ = nullptr;
  size_ = 0;
}

void RangeBuffer::Map([[maybe_unused]] std::size_t size) {
#if defined(__linux__)
  void* mapped = ::mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (mapped == MAP_FAILED) throw std::bad_alloc();
  mapped_ = mapped;
  data_ = static_cast<std::uint8_t*>(mapped);
  size_ = size;
#if defined(MADV_POPULATE_WRITE)
  // Kernels before 5.14 answer EINVAL; the read then faults the pages in.
  if (::madvise(mapped_, size_, MADV_POPULATE_WRITE) != 0 && errno != EINVAL) {
    Release();
    throw std::bad_alloc();
  }
#endif
#endif
}

}  // namespace engine
