#include "engine/fast_random.h"

#include "engine/transform_kernels.h"

namespace engine {

static_assert(FastRandom::kLanes == kernels::kLanes);

FastRandom::FastRandom() { Reseed(0.0f); }

void FastRandom::Reseed(float seed) {
  kernels::SeedLanes(seed, state_.data());
  pendingAt_ = kLanes;
}

void FastRandom::Draw(std::span<std::uint32_t> out) {
  const kernels::KernelSet& k = kernels::BestKernels();
  std::size_t i = 0;
  while (i < out.size() && pendingAt_ < kLanes) out[i++] = pending_[pendingAt_++];
  const std::size_t rounds = (out.size() - i) / kLanes;
  if (rounds > 0) {
    k.generate(state_.data(), out.data() + i, rounds);
    i += rounds * kLanes;
  }
  if (i < out.size()) {
    k.generate(state_.data(), pending_.data(), 1);
    pendingAt_ = 0;
    while (i < out.size()) out[i++] = pending_[pendingAt_++];
  }
}

}  // namespace engine
