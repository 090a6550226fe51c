#include "engine/fast_random.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "engine/transform_kernels.h"

namespace engine {
namespace {

TEST(FastRandom, SameSeedSame24BitSequenceWhateverTheDrawSizes) {
  FastRandom a, b;
  std::vector<std::uint32_t> whole(4149), pieces(4149);
  a.Reseed(12345.5f);
  a.Draw(whole);
  b.Reseed(999.0f);
  b.Draw(std::span(pieces).first(7));
  b.Reseed(12345.5f);  // a reseed forgets the draws of the unfinished round
  std::size_t at = 0;
  for (std::size_t size : {1, 15, 16, 17, 0, 3, 33, 64, 4000}) {
    b.Draw(std::span(pieces).subspan(at, size));
    at += size;
  }
  EXPECT_EQ(pieces, whole);
  EXPECT_LT(*std::max_element(whole.begin(), whole.end()), 1u << kRandomBits);
  b.Reseed(12346.5f);
  b.Draw(std::span(pieces).first(64));
  EXPECT_FALSE(std::equal(whole.begin(), whole.begin() + 64, pieces.begin()));
}

// Every kernel set the processor runs, checked against known answers and
// against the byte rules of transform_kernels.h written out position by position.
TEST(TransformKernels, EveryPathGivesTheExpectedBytes) {
  std::vector<const kernels::KernelSet*> sets = {&kernels::PortableKernels()};
  if (const kernels::KernelSet* wide = kernels::Avx2Kernels()) sets.push_back(wide);
  EXPECT_EQ(&kernels::BestKernels(), sets.back());
  std::vector<std::uint32_t> draws(4000);
  for (std::uint32_t i = 0; i < draws.size(); ++i) draws[i] = (i * 2654435761u) >> 8;
  const std::vector<std::uint8_t> start(draws.rbegin(), draws.rend());
  draws[1] = (1u << 24) - 1;
  draws[2] = 0xFFFFFFFFu;  // out of promise: only the low 24 bits count
  for (const kernels::KernelSet* k : sets) {
    SCOPED_TRACE(k->name);
    // xoshiro128+ in every lane: lane l starts as {l + 1, golden * (l + 1), 0x12345678, 0xDEADBEEF ^ l}.
    std::uint32_t state[kernels::kStateWords], out[4 * kernels::kLanes];
    for (std::uint32_t l = 0; l < kernels::kLanes; ++l) {
      const std::uint32_t words[] = {l + 1, 0x9E3779B9u * (l + 1), 0x12345678u, 0xDEADBEEFu ^ l};
      for (int w = 0; w < 4; ++w) state[w * kernels::kLanes + l] = words[w];
    }
    k->generate(state, out, 3);
    k->generate(state, out + 3 * kernels::kLanes, 1);  // the state carries on between calls
    EXPECT_EQ((std::vector<std::uint32_t>{out[0], out[16], out[32], out[48], out[15], out[31], out[47], out[63]}),
              (std::vector<std::uint32_t>{0xDEADBE, 0x16D579, 0xE7917D, 0xED85B0, 0xDEADBE, 0x0F05A7, 0x60131A, 0x3FC7E2}));

    // Draws scaled to `count` values from `low`, then an addition, over `length` bytes from `at`: all, and those whose
    // index from `base` has no bit of `mask`. Masks above the vector width select runs (the last: 3072-3327 alone).
    const struct {
      std::uint32_t at, length, base, mask, count, low, addend;
    } rows[] = {
        {.at = 0, .length = 4000, .base = 0, .mask = 13, .count = 256, .low = 0, .addend = 1},
        {.at = 1, .length = 3999, .base = 1, .mask = 0, .count = 16, .low = 16, .addend = 255},
        {.at = 3, .length = 37, .base = 0xFFFFFFF0u, .mask = 0xFFFFFFFFu, .count = 1, .low = 65, .addend = 128},
        {.at = 5, .length = 3000, .base = 3000, .mask = 0x1300, .count = 7, .low = 250, .addend = 9},
    };
    for (const auto& r : rows) {
      auto all = start, masked = start, wantAll = start, wantMasked = start;
      k->replaceAll(all.data() + r.at, draws.data(), r.length, r.count, r.low);
      k->addAll(all.data() + r.at, r.length, static_cast<std::uint8_t>(r.addend));
      k->replaceMasked(masked.data() + r.at, draws.data(), r.length, r.base, r.mask, r.count, r.low);
      k->addMasked(masked.data() + r.at, r.length, r.base, r.mask, static_cast<std::uint8_t>(r.addend));
      for (std::uint32_t i = 0; i < r.length; ++i) {
        wantAll[r.at + i] = static_cast<std::uint8_t>((((draws[i] & 0xFFFFFF) * r.count) >> 24) + r.low + r.addend);
        if (((r.base + i) & r.mask) == 0) wantMasked[r.at + i] = wantAll[r.at + i];
      }
      EXPECT_TRUE(all == wantAll) << "mask " << r.mask;
      EXPECT_TRUE(masked == wantMasked) << "mask " << r.mask;
    }
  }
}

}  // namespace
}  // namespace engine
