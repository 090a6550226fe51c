#pragma once

#include <cstddef>
#include <cstdint>

// The inner loops of the byte transforms and of FastRandom. Each set is the
// same source compiled for a different instruction set, so every set gives
// bit-identical results; BestKernels() picks the widest one the processor runs.
namespace engine::kernels {

inline constexpr int kLanes = 16;
// Draws are 24-bit numerators of a number in [0, 1).
inline constexpr int kDrawBits = 24;

// A draw scaled to [0, count): floor(draw * count / 2^24), the draw taken as
// 24 bits. The product must fit `Count`: 32 bits hold it for count <= 256.
template <typename Count>
constexpr Count ScaleDraw(std::uint32_t draw, Count count) {
  return (static_cast<Count>(draw & ((1u << kDrawBits) - 1)) * count) >> kDrawBits;
}
// xoshiro128+ state of the 16 lanes, word-major: word w of lane l is at [w * kLanes + l].
inline constexpr int kStateWords = 4 * kLanes;

struct KernelSet {
  const char* name;
  // Advances every lane `rounds` times; round r writes out[r * kLanes + lane],
  // each the top 24 bits of that lane's output.
  void (*generate)(std::uint32_t* state, std::uint32_t* out, std::size_t rounds);
  // out[i] = low 8 bits of (low + floor(draw * count / 2^24)), draws taken as 24 bits.
  void (*replaceAll)(std::uint8_t* out, const std::uint32_t* draws, std::size_t len,
                     std::uint32_t count, std::uint32_t low);
  // The same, only where ((base + i) AND mask) is 0; other bytes are kept.
  void (*replaceMasked)(std::uint8_t* out, const std::uint32_t* draws, std::size_t len,
                        std::uint32_t base, std::uint32_t mask, std::uint32_t count,
                        std::uint32_t low);
  void (*addAll)(std::uint8_t* buf, std::size_t len, std::uint8_t addend);
  void (*addMasked)(std::uint8_t* buf, std::size_t len, std::uint32_t base, std::uint32_t mask,
                    std::uint8_t addend);
};

const KernelSet& PortableKernels();
// nullptr when the processor (or the build's architecture) lacks AVX2.
const KernelSet* Avx2Kernels();
const KernelSet& BestKernels();

// Fills the kStateWords words of lane state from a seed; equal seeds give equal states.
void SeedLanes(float seed, std::uint32_t* state);

}  // namespace engine::kernels
