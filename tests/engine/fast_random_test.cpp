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
  draws[1] = (1u << 24) - 1;
  draws[2] = 0xFFFFFFFFu;  // out of promise: only the low 24 bits count
  std::vector<std::uint8_t> start(4000);
  for (std::size_t i = 0; i < start.size(); ++i) start[i] = static_cast<std::uint8_t>(i * 7 + 3);
  // Each row: offset, length, base, mask, count, low, addend.
  for (const auto& [at, len, base, mask, count, low, addend] : std::vector<std::array<std::uint32_t, 7>>{
           {0, 4000, 0, 13, 256, 0, 1}, {1, 3999, 1, 0, 16, 16, 255},
           {3, 37, 0xFFFFFFF0u, 0xFFFFFFFFu, 1, 65, 128}, {17, 2049, 4096, 0x1000, 200, 55, 2}}) {
    const auto agree = [&](auto&& run) {
      auto a = start, b = start;
      run(plain, a.data() + at);
      run(*wide, b.data() + at);
      EXPECT_EQ(a, b) << len;
    };
    const auto add = static_cast<std::uint8_t>(addend);
    agree([&](const kernels::KernelSet& k, std::uint8_t* p) { k.replaceAll(p, draws.data(), len, count, low); });
    agree([&](const kernels::KernelSet& k, std::uint8_t* p) {
      k.replaceMasked(p, draws.data(), len, base, mask, count, low);
    });
    agree([&](const kernels::KernelSet& k, std::uint8_t* p) { k.addAll(p, len, add); });
    agree([&](const kernels::KernelSet& k, std::uint8_t* p) { k.addMasked(p, len, base, mask, add); });
  }
}

}  // namespace
}  // namespace engine
