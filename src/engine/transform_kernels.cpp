#include "engine/transform_kernels.h"

#include <bit>
#include <cstring>

namespace engine::kernels {
namespace {

#define GF_ALWAYS_INLINE inline __attribute__((always_inline))

GF_ALWAYS_INLINE void GenerateBody(std::uint32_t* __restrict state, std::uint32_t* __restrict out,
                                   std::size_t rounds) {
  alignas(64) std::uint32_t s0[kLanes], s1[kLanes], s2[kLanes], s3[kLanes];
  std::memcpy(s0, state, sizeof s0);
  std::memcpy(s1, state + kLanes, sizeof s1);
  std::memcpy(s2, state + 2 * kLanes, sizeof s2);
  std::memcpy(s3, state + 3 * kLanes, sizeof s3);
  for (std::size_t r = 0; r < rounds; ++r) {
    std::uint32_t* o = out + r * kLanes;
    for (int l = 0; l < kLanes; ++l) {
      o[l] = (s0[l] + s3[l]) >> 8;
      const std::uint32_t t = s1[l] << 9;
      s2[l] ^= s0[l];
      s3[l] ^= s1[l];
      s1[l] ^= s2[l];
      s0[l] ^= s3[l];
      s2[l] ^= t;
      s3[l] = (s3[l] << 11) | (s3[l] >> 21);
    }
  }
  std::memcpy(state, s0, sizeof s0);
  std::memcpy(state + kLanes, s1, sizeof s1);
  std::memcpy(state + 2 * kLanes, s2, sizeof s2);
  std::memcpy(state + 3 * kLanes, s3, sizeof s3);
}

GF_ALWAYS_INLINE std::uint8_t Scale(std::uint32_t draw, std::uint32_t count, std::uint32_t low) {
  return static_cast<std::uint8_t>(ScaleDraw(draw, count) + low);
}

GF_ALWAYS_INLINE void ReplaceAllBody(std::uint8_t* __restrict out,
                                     const std::uint32_t* __restrict draws, std::size_t len,
                                     std::uint32_t count, std::uint32_t low) {
  if (count > 256) count = 256;  // keeps the product in 32 bits for any caller
  for (std::size_t i = 0; i < len; ++i) out[i] = Scale(draws[i], count, low);
}

GF_ALWAYS_INLINE void ReplaceMaskedBody(std::uint8_t* __restrict out,
                                        const std::uint32_t* __restrict draws, std::size_t len,
                                        std::uint32_t base, std::uint32_t mask, std::uint32_t count,
                                        std::uint32_t low) {
  if (count > 256) count = 256;
  for (std::size_t i = 0; i < len; ++i) {
    const std::uint32_t index = base + static_cast<std::uint32_t>(i);
    const std::uint8_t value = Scale(draws[i], count, low);
    out[i] = (index & mask) == 0 ? value : out[i];
  }
}

GF_ALWAYS_INLINE void AddAllBody(std::uint8_t* __restrict buf, std::size_t len,
                                 std::uint8_t addend) {
  for (std::size_t i = 0; i < len; ++i) buf[i] = static_cast<std::uint8_t>(buf[i] + addend);
}

GF_ALWAYS_INLINE void AddMaskedBody(std::uint8_t* __restrict buf, std::size_t len,
                                    std::uint32_t base, std::uint32_t mask, std::uint8_t addend) {
  for (std::size_t i = 0; i < len; ++i) {
    const std::uint32_t index = base + static_cast<std::uint32_t>(i);
    const std::uint8_t sum = static_cast<std::uint8_t>(buf[i] + addend);
    buf[i] = (index & mask) == 0 ? sum : buf[i];
  }
}

// Each instruction set gets its own copies of the bodies above.
#define GF_DEFINE_KERNELS(suffix, attributes)                                                      \
  attributes void Generate##suffix(std::uint32_t* state, std::uint32_t* out, std::size_t rounds) { \
    GenerateBody(state, out, rounds);                                                              \
  }                                                                                                \
  attributes void ReplaceAll##suffix(std::uint8_t* out, const std::uint32_t* draws,                \
                                     std::size_t len, std::uint32_t count, std::uint32_t low) {    \
    ReplaceAllBody(out, draws, len, count, low);                                                   \
  }                                                                                                \
  attributes void ReplaceMasked##suffix(std::uint8_t* out, const std::uint32_t* draws,             \
                                        std::size_t len, std::uint32_t base, std::uint32_t mask,   \
                                        std::uint32_t count, std::uint32_t low) {                  \
    ReplaceMaskedBody(out, draws, len, base, mask, count, low);                                    \
  }                                                                                                \
  attributes void AddAll##suffix(std::uint8_t* buf, std::size_t len, std::uint8_t addend) {        \
    AddAllBody(buf, len, addend);                                                                  \
  }                                                                                                \
  attributes void AddMasked##suffix(std::uint8_t* buf, std::size_t len, std::uint32_t base,        \
                                    std::uint32_t mask, std::uint8_t addend) {                     \
    AddMaskedBody(buf, len, base, mask, addend);                                                   \
  }                                                                                                \
  const KernelSet kKernels##suffix{                                                                \
      #suffix,        Generate##suffix, ReplaceAll##suffix, ReplaceMasked##suffix,                 \
      AddAll##suffix, AddMasked##suffix};

GF_DEFINE_KERNELS(Portable, )

#if defined(__x86_64__)
GF_DEFINE_KERNELS(Avx2, __attribute__((target("avx2"))))
#endif

std::uint64_t SplitMix64(std::uint64_t& x) {
  std::uint64_t z = (x += 0x9E3779B97F4A7C15ull);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
  return z ^ (z >> 31);
}

}  // namespace

const KernelSet& PortableKernels() { return kKernelsPortable; }

const KernelSet* Avx2Kernels() {
#if defined(__x86_64__)
  static const bool supported = [] {
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx2") != 0;
  }();
  return supported ? &kKernelsAvx2 : nullptr;
#else
  return nullptr;
#endif
}

const KernelSet& BestKernels() {
  static const KernelSet& best = Avx2Kernels() ? *Avx2Kernels() : PortableKernels();
  return best;
}

void SeedLanes(float seed, std::uint32_t* state) {
  std::uint64_t x = std::bit_cast<std::uint32_t>(seed);
  for (int i = 0; i < kStateWords; i += 2) {
    const std::uint64_t v = SplitMix64(x);
    state[i] = static_cast<std::uint32_t>(v);
    state[i + 1] = static_cast<std::uint32_t>(v >> 32);
  }
  // An all-zero lane would stay zero forever.
  for (int l = 0; l < kLanes; ++l) {
    if ((state[l] | state[kLanes + l] | state[2 * kLanes + l] | state[3 * kLanes + l]) == 0)
      state[l] = 1;
  }
}

}  // namespace engine::kernels
