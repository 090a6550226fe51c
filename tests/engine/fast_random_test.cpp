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
    EXPECT_EQ(
        (std::vector<std::uint32_t>{out[0], out[16], out[32], out[48], out[15], out[31], out[47], out[63]}),
        (std::vector<std::uint32_t>{0xDEADBE, 0x16D579, 0xE7917D, 0xED85B0, 0xDEADBE, 0x0F05A7, 0x60131A, 0x3FC7E2}));

    // Offset, length, base, mask, count, low, addend: a replacement, then an addition, over all bytes and over
    // the masked ones. Masks with bits above the vector width select whole runs of bytes, or none.
    const std::uint32_t rows[][7] = {{0, 4000, 0, 13, 256, 0, 1},
                                     {1, 3999, 1, 0, 16, 16, 255},
                                     {3, 37, 0xFFFFFFF0u, 0xFFFFFFFFu, 1, 65, 128},
                                     {17, 2049, 4096, 0x1000, 200, 55, 2},
                                     {5, 3000, 100, 0x300, 7, 250, 9}};
    for (const auto& [at, len, base, mask, count, low, addend] : rows) {
      auto all = start, masked = start, wantAll = start, wantMasked = start;
      k->replaceAll(all.data() + at, draws.data(), len, count, low);
      k->addAll(all.data() + at, len, static_cast<std::uint8_t>(addend));
      k->replaceMasked(masked.data() + at, draws.data(), len, base, mask, count, low);
      k->addMasked(masked.data() + at, len, base, mask, static_cast<std::uint8_t>(addend));
      for (std::uint32_t i = 0; i < len; ++i) {
        wantAll[at + i] = static_cast<std::uint8_t>((((draws[i] & 0xFFFFFF) * count) >> 24) + low + addend);
        if (((base + i) & mask) == 0) wantMasked[at + i] = wantAll[at + i];
      }
      EXPECT_TRUE(all == wantAll && masked == wantMasked) << "mask " << mask;
    }
  }
}

}  // namespace
}  // namespace engine
