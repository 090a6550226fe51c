#pragma once

#include <cstdint>

namespace host {

// The machine's physical memory in bytes; UINT64_MAX where it cannot be told.
std::uint64_t PhysicalMemory();

}  // namespace host
