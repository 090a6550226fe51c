#include "engine/transform.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <optional>
#include <string>
#include <vector>

#include "engine/failure.h"
#include "engine/number.h"
#include "engine/sequence.h"
#include "engine/status.h"
#include "engine/transform_kernels.h"
#include "engine/wrap32.h"

namespace engine {
namespace {

constexpr std::uint32_t kDrawMask = (1u << kRandomBits) - 1;

enum class Mode { All, Nth, Mask };

struct Selection {
  Mode mode = Mode::All;
  std::size_t n = 1;
  std::uint32_t mask = 0;

  bool Touched(std::size_t i) const {
    switch (mode) {
      case Mode::All: return true;
      case Mode::Nth: return i % n == 0;
      case Mode::Mask: return (static_cast<std::uint32_t>(i) & mask) == 0;
    }
    return false;
  }
};

// What a corrupt action writes into a touched byte.
struct Replacement {
  std::uint32_t count = 0;
  std::uint32_t low = 0;
  bool sequence = false;
  bool randomPick = false;
  std::vector<std::uint8_t> values;
};

TransformResult Refuse(Host& host, const std::string& message, std::optional<FocusTarget> focus,
                       const char* status) {
  host.ui.ShowMessage(message);
  if (focus) host.ui.SetFocus(*focus);
  host.ui.SetStatus(status);
  return TransformResult::Refused;
}

// Calls f(i) for every touched position base + i of the chunk [base, base + len),
// in increasing order. nextNth carries the next every-n-th position across chunks.
template <class F>
void ForEachTouched(const Selection& sel, std::size_t base, std::size_t len, std::size_t& nextNth,
                    F&& f) {
  switch (sel.mode) {
    case Mode::All:
      for (std::size_t i = 0; i < len; ++i) f(i);
      break;
    case Mode::Nth: {
      // Locals, so that the byte stores in f need not reload them.
      const std::size_t n = sel.n;
      std::size_t next = nextNth;
      for (; next < base + len; next += n) f(next - base);
      nextNth = next;
      break;
    }
    case Mode::Mask:
      for (std::size_t i = 0; i < len; ++i)
        if (sel.Touched(base + i)) f(i);
      break;
  }
}

// One draw per position, touched or not, in chunks that stay in the L1 cache.
void Corrupt(const Selection& sel, std::span<std::uint8_t> buffer, RandomSource& random,
             const Replacement& rep) {
  constexpr std::size_t kChunk = 4096;
  alignas(64) std::uint32_t draws[kChunk];
  const kernels::KernelSet& k = kernels::BestKernels();
  const bool useSequence = rep.sequence && !rep.values.empty();
  const std::uint64_t listSize = rep.values.size();
  std::size_t nextNth = 0;
  std::size_t sequenceAt = 0;
  for (std::size_t base = 0; base < buffer.size(); base += kChunk) {
    const std::size_t len = std::min(kChunk, buffer.size() - base);
    random.Draw(std::span<std::uint32_t>(draws, len));
    std::uint8_t* out = buffer.data() + base;
    if (useSequence) {
      ForEachTouched(sel, base, len, nextNth, [&](std::size_t i) {
        if (rep.randomPick) {
          out[i] = rep.values[((draws[i] & kDrawMask) * listSize) >> kRandomBits];
        } else {
          out[i] = rep.values[sequenceAt];
          if (++sequenceAt == rep.values.size()) sequenceAt = 0;
        }
      });
    } else if (sel.mode == Mode::All) {
      k.replaceAll(out, draws, len, rep.count, rep.low);
    } else if (sel.mode == Mode::Mask) {
      k.replaceMasked(out, draws, len, static_cast<std::uint32_t>(base), sel.mask, rep.count,
                      rep.low);
    } else {
      const std::uint32_t count = rep.count;
      const std::uint32_t low = rep.low;
      const std::uint32_t* d = draws;
      ForEachTouched(sel, base, len, nextNth, [out, d, count, low](std::size_t i) {
        out[i] = static_cast<std::uint8_t>((((d[i] & kDrawMask) * count) >> kRandomBits) + low);
      });
    }
  }
}

void Add(const Selection& sel, std::span<std::uint8_t> buffer, std::uint8_t addend) {
  const kernels::KernelSet& k = kernels::BestKernels();
  switch (sel.mode) {
    case Mode::All:
      k.addAll(buffer.data(), buffer.size(), addend);
      break;
    case Mode::Mask:
      k.addMasked(buffer.data(), buffer.size(), 0, sel.mask, addend);
      break;
    case Mode::Nth:
      for (std::size_t i = 0; i < buffer.size(); i += sel.n)
        buffer[i] = static_cast<std::uint8_t>(buffer[i] + addend);
      break;
  }
}

// Rotates the whole buffer `c` places toward its start, with a second buffer
// of the smaller of the two parts.
void RotateAll(std::uint8_t* b, std::size_t size, std::size_t c) {
  if (c <= size - c) {
    std::vector<std::uint8_t> saved(b, b + c);
    std::memmove(b, b + c, size - c);
    std::memcpy(b + size - c, saved.data(), c);
  } else {
    const std::size_t d = size - c;
    std::vector<std::uint8_t> saved(b + c, b + size);
    std::memmove(b + d, b, c);
    std::memcpy(b, saved.data(), d);
  }
}

// Touched bytes take the byte `c` places later; the first c bytes wrap to the end.
void ShiftTowardStart(const Selection& sel, std::uint8_t* b, std::size_t size, std::size_t c) {
  std::vector<std::uint8_t> saved(b, b + c);
  const std::size_t lastMain = size - 1 - c;
  if (sel.mode == Mode::Nth) {
    for (std::size_t i = 0; i <= lastMain; i += sel.n) b[i] = b[i + c];
  } else {
    for (std::size_t i = 0; i <= lastMain; ++i)
      if (sel.Touched(i)) b[i] = b[i + c];
  }
  std::memcpy(b + size - c, saved.data(), c);
}

// Touched bytes take the byte `c` places earlier, from the end down; the last
// c bytes wrap to the start.
void ShiftTowardEnd(const Selection& sel, std::uint8_t* b, std::size_t size, std::size_t c) {
  std::vector<std::uint8_t> saved(b + size - c, b + size);
  const std::size_t lastIndex = size - 1;
  if (sel.mode == Mode::Nth) {
    for (std::size_t j = lastIndex / sel.n * sel.n; j >= c; j -= sel.n) {
      b[j] = b[j - c];
      if (j < sel.n) break;
    }
  } else {
    for (std::size_t j = lastIndex; j >= c; --j) {
      if (sel.Touched(j)) b[j] = b[j - c];
      if (j == c) break;
    }
  }
  std::memcpy(b, saved.data(), c);
}

TransformResult Shift(const JobSettings& job, const Selection& sel,
                      std::span<std::uint8_t> buffer, Host& host) {
  const std::int32_t s = Val2(job.shift);
  const std::int64_t lastIndex = static_cast<std::int64_t>(buffer.size()) - 1;
  if (lastIndex == 0) throw HostFailure(FailureKind::DivisionByZero);
  const std::int64_t k = s % lastIndex;  // truncated toward zero: |k| < lastIndex
  if (k == 0)
    return Refuse(host, "You're not doing anything, shifting by 0!", FocusTarget::shift,
                  kStatusError);
  const std::size_t c = static_cast<std::size_t>(k > 0 ? k : -k);
  if (sel.mode == Mode::All)
    RotateAll(buffer.data(), buffer.size(), k > 0 ? c : buffer.size() - c);
  else if (k > 0)
    ShiftTowardStart(sel, buffer.data(), buffer.size(), c);
  else
    ShiftTowardEnd(sel, buffer.data(), buffer.size(), c);
  return TransformResult::Done;
}

TransformResult Transform(const JobSettings& job, std::span<std::uint8_t> buffer, Host& host) {
  const std::int64_t lastIndex = static_cast<std::int64_t>(buffer.size()) - 1;

  Selection sel;
  if (job.optall) sel.mode = Mode::All;
  if (job.optnth) {
    sel.mode = Mode::Nth;
    const std::int32_t n = WrapAbs(Val2(job.nth));
    if (n < 1)
      return Refuse(host, "Put is at least SOMETHING for 'Every ?th byte'!", FocusTarget::nth,
                    kStatusError);
    if (n > lastIndex)
      return Refuse(host,
                    "Frequency of corruption is less than length!  Rom Corruption Pointless!",
                    FocusTarget::nth, kStatusError);
    sel.n = static_cast<std::size_t>(n);
  }
  if (job.optmask) {
    sel.mode = Mode::Mask;
    sel.mask = static_cast<std::uint32_t>(Val2(job.mask));
  }

  if (job.optcorrupt) {
    host.random.Reseed(host.clock.SecondsSinceMidnight());
    Replacement rep;
    if (job.optrandombytes) {
      rep.count = 256;
      rep.low = 0;
    }
    if (job.optbyterange) {
      const std::int32_t low = Val2(job.range1);
      const std::int32_t high = Val2(job.range2);
      if (low < 0 || high < low || high > 255)
        return Refuse(host, "Bad Random Range! (" + HexForm(low) + "-" + HexForm(high) + ")",
                      FocusTarget::range1, kStatusError);
      rep.count = static_cast<std::uint32_t>(high - low + 1);
      rep.low = static_cast<std::uint32_t>(low);
    }
    if (job.optsequence && !job.optrandombytes && !job.optbyterange) {
      rep.sequence = true;
      rep.randomPick = job.optrandomseq == kChecked;
      rep.values = ParseSequence(job.sequence);
    }
    Corrupt(sel, buffer, host.random, rep);
  }

  if (job.optadd) {
    const auto addend = static_cast<std::uint8_t>(Val2(job.add) & 0xFF);
    if (addend == 0) return Refuse(host, "You're not adding anything!", std::nullopt, kStatusReady);
    Add(sel, buffer, addend);
  }

  if (job.optshift) return Shift(job, sel, buffer, host);
  return TransformResult::Done;
}

}  // namespace

TransformResult SelectAndTransform(const JobSettings& job, std::span<std::uint8_t> buffer,
                                   Host& host) {
  try {
    return Transform(job, buffer, host);
  } catch (const std::bad_alloc&) {
    throw HostFailure(FailureKind::OutOfMemory);
  }
}

}  // namespace engine
