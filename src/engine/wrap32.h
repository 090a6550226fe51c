#pragma once

#include <cstdint>

// 32-bit arithmetic that wraps around instead of overflowing: offsets, steps
// and counts of the range behave as the 32-bit integers they are stored as.
namespace engine {

constexpr std::int32_t WrapAdd(std::int32_t a, std::int32_t b) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) + static_cast<std::uint32_t>(b));
}

constexpr std::int32_t WrapSubtract(std::int32_t a, std::int32_t b) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) - static_cast<std::uint32_t>(b));
}

constexpr std::int32_t WrapNegate(std::int32_t v) { return WrapSubtract(0, v); }

// -2147483648 stays negative.
constexpr std::int32_t WrapAbs(std::int32_t v) { return v < 0 ? WrapNegate(v) : v; }

// The low 32 bits of a wider pattern, read as a signed value.
constexpr std::int32_t WrapTo32(std::uint64_t bits) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(bits));
}

}  // namespace engine
