#include <gtest/gtest.h>

#include <cstdint>
#include <iterator>
#include <vector>

#include "engine/real_host.h"
#include "engine/transform_kernels.h"

namespace engine {
namespace {

std::vector<std::uint32_t> Draws(FastRandom& random, std::size_t count) {
  std::vector<std::uint32_t> out(count);
  random.Draw(out);
  return out;
}

TEST(FastRandom, SameSeedSame24BitSequenceWhateverTheDrawSizes) {
  FastRandom a, b;
  a.Reseed(12345.5f);
  const auto whole = Draws(a, 4149);
  b.Reseed(999.0f);
  Draws(b, 7);
  b.Reseed(12345.5f);  // a reseed forgets the draws of the unfinished round
  std::vector<std::uint32_t> pieces;
  for (std::size_t size : {1, 15, 16, 17, 0, 3, 33, 64, 4000}) {
    const auto part = Draws(b, size);
    pieces.insert(pieces.end(), part.begin(), part.end());
  }
  EXPECT_EQ(pieces, whole);
  for (std::uint32_t d : whole) ASSERT_LT(d, 1u << kRandomBits);
  b.Reseed(12346.5f);
  EXPECT_NE(Draws(b, 64), std::vector<std::uint32_t>(whole.begin(), whole.begin() + 64));
}

// Every kernel set the processor runs, checked against known answers and
// against the byte rules of transform_kernels.h written out position by position.
TEST(TransformKernels, EveryPathGivesTheExpectedBytes) {
  std::vector<const kernels::KernelSet*> sets = {&kernels::PortableKernels()};
  if (const kernels::KernelSet* wide = kernels::Avx2Kernels()) sets.push_back(wide);
  EXPECT_EQ(&kernels::BestKernels(), sets.back());
  std::vector<std::uint32_t> draws(4000);
  for (std::size_t i = 0; i < draws.size(); ++i) draws[i] = static_cast<std::uint32_t>(i * 2654435761u) >> 8;
  draws[1] = (1u << 24) - 1;
  draws[2] = 0xFFFFFFFFu;  // out of promise: only the low 24 bits count
  std::vector<std::uint8_t> start(4000);
  for (std::size_t i = 0; i < start.size(); ++i) start[i] = static_cast<std::uint8_t>(i * 7 + 3);
  const auto scaled = [&](std::size_t i, std::uint32_t count, std::uint32_t low) {
    return static_cast<std::uint8_t>((((draws[i] & 0xFFFFFF) * count) >> 24) + low);
  };
  for (const kernels::KernelSet* k : sets) {
    SCOPED_TRACE(k->name);
    // xoshiro128+ in every lane: lane l starts as {l + 1, golden * (l + 1), 0x12345678, 0xDEADBEEF ^ l}.
    std::uint32_t state[kernels::kStateWords];
    for (std::uint32_t l = 0; l < kernels::kLanes; ++l) {
      const std::uint32_t words[] = {l + 1, 0x9E3779B9u * (l + 1), 0x12345678u, 0xDEADBEEFu ^ l};
      for (int w = 0; w < 4; ++w) state[w * kernels::kLanes + l] = words[w];
    }
    std::uint32_t out[4 * kernels::kLanes];
    k->generate(state, out, 3);
    k->generate(state, out + 3 * kernels::kLanes, 1);  // the state carries on between calls
    EXPECT_EQ(
        (std::vector<std::uint32_t>{out[0], out[16], out[32], out[48], out[15], out[31], out[47], out[63]}),
        (std::vector<std::uint32_t>{0xDEADBE, 0x16D579, 0xE7917D, 0xED85B0, 0xDEADBE, 0x0F05A7, 0x60131A, 0x3FC7E2}));

    // Each row: offset, length, base, mask, count, low, addend. Masks with bits above
    // the vector width select whole runs of bytes, or none, across chunk edges.
    const std::uint32_t rows[] = {0,    4000, 0,      13,   256, 0,           1,           1,    3999, 1,    0,
                                  16,   16,   255,    3,    37,  0xFFFFFFF0u, 0xFFFFFFFFu, 1,    65,   128,  17,
                                  2049, 4096, 0x1000, 200,  55,  2,           0,           4000, 0,    0x40, 256,
                                  0,    3,    5,      3000, 100, 0x300,       7,           250,  9};
    for (const std::uint32_t* r = rows; r != std::end(rows); r += 7) {
      const std::uint32_t at = r[0], len = r[1], base = r[2], mask = r[3], count = r[4], low = r[5], addend = r[6];
      auto all = start, masked = start, added = start, addedMasked = start;
      k->replaceAll(all.data() + at, draws.data(), len, count, low);
      k->replaceMasked(masked.data() + at, draws.data(), len, base, mask, count, low);
      k->addAll(added.data() + at, len, static_cast<std::uint8_t>(addend));
      k->addMasked(addedMasked.data() + at, len, base, mask, static_cast<std::uint8_t>(addend));
      auto wantAll = start, wantMasked = start, wantAdded = start, wantAddedMasked = start;
      for (std::uint32_t i = 0; i < len; ++i) {
        const bool touched = ((base + i) & mask) == 0;
        wantAll[at + i] = scaled(i, count, low);
        if (touched) wantMasked[at + i] = scaled(i, count, low);
        wantAdded[at + i] = static_cast<std::uint8_t>(start[at + i] + addend);
        if (touched) wantAddedMasked[at + i] = wantAdded[at + i];
      }
      EXPECT_TRUE(all == wantAll && masked == wantMasked) << "replace, mask " << mask;
      EXPECT_TRUE(added == wantAdded && addedMasked == wantAddedMasked) << "add, mask " << mask;
    }
  }
}

}  // namespace
}  // namespace engine
