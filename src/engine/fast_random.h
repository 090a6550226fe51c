#pragma once

#include <array>
#include <cstdint>

#include "engine/host.h"

namespace engine {

// A fast generator of 16 interleaved lanes, vectorised at run time where the
// processor allows; draw j comes from lane j mod 16, so every code path gives
// the same sequence for the same seed.
class FastRandom : public RandomSource {
 public:
  static constexpr int kLanes = 16;
  FastRandom();
  void Reseed(float seed) override;
  void Draw(std::span<std::uint32_t> out) override;

 private:
  // xoshiro128+ per lane, word-major (see transform_kernels.h).
  alignas(64) std::array<std::uint32_t, 4 * kLanes> state_{};
  // Draws of the current round not handed out yet (Draw sizes need not be
  // multiples of kLanes).
  alignas(64) std::array<std::uint32_t, kLanes> pending_{};
  int pendingAt_ = kLanes;
};

}  // namespace engine
