// The patch readers on arbitrary bytes over a small ROM: a patch is refused
// with a PatchFailure or applied, never read or written outside the ROM, the
// target or the patch itself.
#include <cstddef>
#include <cstdint>

#include "../tests/support/memory_patch.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  MemoryTarget io;
  io.largest = std::size_t{1} << 20;
  for (int i = 0; i < 64; ++i) io.source.push_back(static_cast<std::uint8_t>(i * 37));
  try {
    Import({data, size}, io);
  } catch (const engine::PatchFailure&) {
  }
  return 0;
}
