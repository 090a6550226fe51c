#include <gtest/gtest.h>

#include <array>
#include <cstdint>
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

TEST(FastRandom, SameSeedSameSequenceWhateverTheDrawSizes) {
  FastRandom a;
  a.Reseed(12345.5f);
  const auto whole = Draws(a, 5000);

  FastRandom b;
  b.Reseed(999.0f);
  Draws(b, 7);
  b.Reseed(12345.5f);  // a reseed forgets the draws of the unfinished round
  std::vector<std::uint32_t> pieces;
  std::size_t sizes[] = {1, 15, 16, 17, 0, 3, 33, 64, 4000};
  for (std::size_t size : sizes) {
    const auto part = Draws(b, size);
    pieces.insert(pieces.end(), part.begin(), part.end());
  }
  pieces.resize(whole.size() < pieces.size() ? whole.size() : pieces.size());
  ASSERT_EQ(pieces.size(), 4149u);
  EXPECT_TRUE(std::equal(pieces.begin(), pieces.end(), whole.begin()));

  FastRandom c;
  c.Reseed(12346.5f);
  EXPECT_NE(Draws(c, 64), std::vector<std::uint32_t>(whole.begin(), whole.begin() + 64));
}

TEST(FastRandom, DrawsAre24BitAndSpreadEvenly) {
  FastRandom random;
  random.Reseed(0.25f);
  const auto draws = Draws(random, 1 << 20);
  std::array<int, 256> buckets{};
  for (std::uint32_t d : draws) {
    ASSERT_LT(d, 1u << kRandomBits);
    ++buckets[(d * 256ull) >> kRandomBits];
  }
  const int expected = (1 << 20) / 256;
  for (int b = 0; b < 256; ++b) {
    EXPECT_GT(buckets[b], expected * 9 / 10) << b;
    EXPECT_LT(buckets[b], expected * 11 / 10) << b;
  }
}

// Draw j comes from lane j mod 16: each lane alone is plain xoshiro128+.
TEST(FastRandom, DrawsInterleaveTheLanes) {
  std::uint32_t state[kernels::kStateWords];
  kernels::SeedLanes(77.0f, state);
  FastRandom random;
  random.Reseed(77.0f);
  const auto draws = Draws(random, 16 * 50);
  for (int lane = 0; lane < 16; ++lane) {
    std::uint32_t s[4] = {state[lane], state[16 + lane], state[32 + lane], state[48 + lane]};
    for (int round = 0; round < 50; ++round) {
      ASSERT_EQ(draws[round * 16 + lane], (s[0] + s[3]) >> 8) << lane << " " << round;
      const std::uint32_t t = s[1] << 9;
      s[2] ^= s[0];
      s[3] ^= s[1];
      s[1] ^= s[2];
      s[0] ^= s[3];
      s[2] ^= t;
      s[3] = (s[3] << 11) | (s[3] >> 21);
    }
  }
}

// The vector kernels must give exactly what the portable ones give.
TEST(TransformKernels, VectorAndPortablePathsAgree) {
  const kernels::KernelSet* wide = kernels::Avx2Kernels();
  if (wide == nullptr) GTEST_SKIP() << "no AVX2 on this processor";
  const kernels::KernelSet& plain = kernels::PortableKernels();
  EXPECT_EQ(&kernels::BestKernels(), wide);

  std::uint32_t s1[kernels::kStateWords], s2[kernels::kStateWords];
  kernels::SeedLanes(4242.0f, s1);
  kernels::SeedLanes(4242.0f, s2);
  std::vector<std::uint32_t> d1(16 * 300), d2(16 * 300);
  for (std::size_t rounds : {1u, 7u, 292u}) {
    plain.generate(s1, d1.data(), rounds);
    wide->generate(s2, d2.data(), rounds);
    ASSERT_EQ(d1, d2);
  }
  std::vector<std::uint32_t> draws(d1.begin(), d1.begin() + 4000);
  draws[0] = 0;
  draws[1] = (1u << 24) - 1;
  draws[2] = 0xFFFFFFFFu;  // out of promise: only the low 24 bits count

  std::vector<std::uint8_t> start(4000);
  for (std::size_t i = 0; i < start.size(); ++i) start[i] = static_cast<std::uint8_t>(i * 7 + 3);
  struct Params {
    std::size_t offset, len;
    std::uint32_t base, mask, count, low;
    std::uint8_t addend;
  };
  const Params params[] = {
      {0, 4000, 0, 13, 256, 0, 1},        {1, 3999, 1, 0, 16, 16, 255},
      {3, 37, 0xFFFFFFF0u, 0xFFFFFFFFu, 1, 65, 128}, {5, 0, 0, 0, 256, 0, 7},
      {17, 2049, 4096, 0x1000, 200, 55, 2},   {0, 31, 2, 2, 300, 0, 9},
  };
  for (const auto& p : params) {
    SCOPED_TRACE(p.len);
    auto a = start, b = start;
    plain.replaceAll(a.data() + p.offset, draws.data(), p.len, p.count, p.low);
    wide->replaceAll(b.data() + p.offset, draws.data(), p.len, p.count, p.low);
    EXPECT_EQ(a, b);
    a = b = start;
    plain.replaceMasked(a.data() + p.offset, draws.data(), p.len, p.base, p.mask, p.count, p.low);
    wide->replaceMasked(b.data() + p.offset, draws.data(), p.len, p.base, p.mask, p.count, p.low);
    EXPECT_EQ(a, b);
    a = b = start;
    plain.addAll(a.data() + p.offset, p.len, p.addend);
    wide->addAll(b.data() + p.offset, p.len, p.addend);
    EXPECT_EQ(a, b);
    a = b = start;
    plain.addMasked(a.data() + p.offset, p.len, p.base, p.mask, p.addend);
    wide->addMasked(b.data() + p.offset, p.len, p.base, p.mask, p.addend);
    EXPECT_EQ(a, b);
  }
}

}  // namespace
}  // namespace engine
