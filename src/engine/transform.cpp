#include "engine/transform.h"

#include <algorithm>
#include <cstring>
#include <exception>
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

static_assert(kernels::kDrawBits == kRandomBits);

std::nullopt_t Refuse(Host& host, const std::string& message, std::optional<FocusTarget> focus,
                      const char* status) {
  host.ui.ShowMessage(message);
  if (focus) host.ui.SetFocus(*focus);
  host.ui.SetStatus(status);
  return std::nullopt;
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

// Takes what Prepare would tell the user and draws nothing.
struct Silent : UserInterface, Clock, RandomSource {
  void ShowMessage(const std::string&) override {}
  void SetStatus(const std::string&) override {}
  void SetFocus(FocusTarget) override {}
  float SecondsSinceMidnight() override { return 0; }
  void Reseed(float) override {}
  void Draw(std::span<std::uint32_t>) override {}
};

}  // namespace

bool Alteration::Acceptable(const JobSettings& job, std::uint64_t size, Host& host) {
  Silent silent;
  Host quiet{silent, host.files, host.launcher, silent, silent, {}};
  try {
    return Prepare(job, size, quiet).has_value();
  } catch (const std::exception&) {
    return false;
  }
}

std::optional<Alteration> Alteration::Prepare(const JobSettings& job, std::uint64_t size,
                                              Host& host) {
  const std::int64_t lastIndex = static_cast<std::int64_t>(size) - 1;
  Alteration a;
  a.size_ = size;
  if (job.optall) a.mode_ = Mode::All;
  if (job.optnth) {
    a.mode_ = Mode::Nth;
    const std::int32_t n = WrapAbs(Val2(job.nth));
    if (n < 1)
      return Refuse(host, "Put is at least SOMETHING for 'Every ?th byte'!", FocusTarget::nth,
                    kStatusError);
    if (n > lastIndex)
      return Refuse(host, "Frequency of corruption is less than length!  Rom Corruption Pointless!",
                    FocusTarget::nth, kStatusError);
    a.n_ = static_cast<std::size_t>(n);
  }
  if (job.optmask) {
    a.mode_ = Mode::Mask;
    a.mask_ = static_cast<std::uint32_t>(Val2(job.mask));
  }

  if (job.optcorrupt) {
    host.random.Reseed(host.clock.SecondsSinceMidnight());
    a.corrupt_ = true;
    a.random_ = &host.random;
    if (job.optrandombytes) {
      a.count_ = 256;
      a.low_ = 0;
    }
    if (job.optbyterange) {
      const std::int32_t low = Val2(job.range1);
      const std::int32_t high = Val2(job.range2);
      if (low < 0 || high < low || high > 255)
        return Refuse(host, "Bad Random Range! (" + HexForm(low) + "-" + HexForm(high) + ")",
                      FocusTarget::range1, kStatusError);
      a.count_ = static_cast<std::uint32_t>(high - low + 1);
      a.low_ = static_cast<std::uint32_t>(low);
    }
    if (job.optsequence && !job.optrandombytes && !job.optbyterange) {
      a.values_ = ParseSequence(job.sequence);
      a.sequence_ = !a.values_.empty();
      a.randomPick_ = job.optrandomseq == kChecked;
    }
  }

  if (job.optadd) {
    a.addend_ = static_cast<std::uint8_t>(Val2(job.add) & 0xFF);
    if (a.addend_ == 0)
      return Refuse(host, "You're not adding anything!", std::nullopt, kStatusReady);
  }

  if (job.optshift) {
    const std::int32_t s = Val2(job.shift);
    if (lastIndex == 0) throw HostFailure(FailureKind::DivisionByZero);
    a.shift_ = s % lastIndex;  // truncated toward zero: |k| < lastIndex
    if (a.shift_ == 0)
      return Refuse(host, "You're not doing anything, shifting by 0!", FocusTarget::shift,
                    kStatusError);
  }
  return a;
}

bool Alteration::Touched(std::uint64_t i) const {
  switch (mode_) {
    case Mode::All: return true;
    case Mode::Nth: return i % n_ == 0;
    case Mode::Mask: return (static_cast<std::uint32_t>(i) & mask_) == 0;
  }
  return false;
}

// Calls f(i) for every touched position base + i of the piece [base, base + len),
// in increasing order.
template <class F>
void Alteration::ForEachTouched(std::uint64_t base, std::size_t len, F&& f) const {
  switch (mode_) {
    case Mode::All:
      for (std::size_t i = 0; i < len; ++i) f(i);
      break;
    case Mode::Nth: {
      // Locals, so that the byte stores in f need not reload them.
      const std::uint64_t n = n_;
      const std::uint64_t end = base + len;
      for (std::uint64_t at = (base + n - 1) / n * n; at < end; at += n)
        f(static_cast<std::size_t>(at - base));
      break;
    }
    case Mode::Mask:
      for (std::size_t i = 0; i < len; ++i)
        if (Touched(base + i)) f(i);
      break;
  }
}

// One draw per position, touched or not, in pieces that stay in the L1 cache.
void Alteration::Corrupt(std::uint8_t* buffer, std::size_t size, std::uint64_t start) {
  constexpr std::size_t kChunk = 4096;
  alignas(64) std::uint32_t draws[kChunk];
  const kernels::KernelSet& k = kernels::BestKernels();
  const std::uint64_t listSize = values_.size();
  for (std::size_t offset = 0; offset < size; offset += kChunk) {
    const std::size_t len = std::min(kChunk, size - offset);
    const std::uint64_t base = start + offset;
    random_->Draw(std::span<std::uint32_t>(draws, len));
    std::uint8_t* out = buffer + offset;
    if (sequence_) {
      ForEachTouched(base, len, [&](std::size_t i) {
        if (randomPick_) {
          out[i] = values_[kernels::ScaleDraw(draws[i], listSize)];
        } else {
          out[i] = values_[sequenceAt_];
          if (++sequenceAt_ == values_.size()) sequenceAt_ = 0;
        }
      });
    } else if (mode_ == Mode::All) {
      k.replaceAll(out, draws, len, count_, low_);
    } else if (mode_ == Mode::Mask) {
      k.replaceMasked(out, draws, len, static_cast<std::uint32_t>(base), mask_, count_, low_);
    } else {
      const std::uint32_t count = count_;
      const std::uint32_t low = low_;
      const std::uint32_t* d = draws;
      ForEachTouched(base, len, [out, d, count, low](std::size_t i) {
        out[i] = static_cast<std::uint8_t>(kernels::ScaleDraw(d[i], count) + low);
      });
    }
  }
}

void Alteration::Add(std::uint8_t* buf, std::size_t len, std::uint64_t base) const {
  const kernels::KernelSet& k = kernels::BestKernels();
  const std::uint8_t addend = addend_;
  switch (mode_) {
    case Mode::All: k.addAll(buf, len, addend); break;
    case Mode::Mask: k.addMasked(buf, len, static_cast<std::uint32_t>(base), mask_, addend); break;
    case Mode::Nth:
      ForEachTouched(base, len, [buf, addend](std::size_t i) {
        buf[i] = static_cast<std::uint8_t>(buf[i] + addend);
      });
      break;
  }
}

// k > 0: touched bytes take the byte k places later and the first k bytes
// wrap to the end. k < 0: touched bytes take the byte |k| places earlier,
// from the end down, and the last |k| bytes wrap to the start. Every byte read
// is one the shift has not written yet.
void Alteration::Shift(std::uint8_t* b, std::size_t size) const {
  const std::size_t c = static_cast<std::size_t>(shift_ > 0 ? shift_ : -shift_);
  if (mode_ == Mode::All) return RotateAll(b, size, shift_ > 0 ? c : size - c);
  const std::size_t lastIndex = size - 1;
  if (shift_ > 0) {
    std::vector<std::uint8_t> saved(b, b + c);
    const std::size_t lastMain = lastIndex - c;
    if (mode_ == Mode::Nth) {
      for (std::size_t i = 0; i <= lastMain; i += n_) b[i] = b[i + c];
    } else {
      for (std::size_t i = 0; i <= lastMain; ++i)
        if (Touched(i)) b[i] = b[i + c];
    }
    std::memcpy(b + size - c, saved.data(), c);
  } else {
    std::vector<std::uint8_t> saved(b + size - c, b + size);
    if (mode_ == Mode::Nth) {
      for (std::size_t j = lastIndex / n_ * n_; j >= c; j -= n_) {
        b[j] = b[j - c];
        if (j < n_) break;
      }
    } else {
      for (std::size_t j = lastIndex; j >= c; --j) {
        if (Touched(j)) b[j] = b[j - c];
        if (j == c) break;
      }
    }
    std::memcpy(b, saved.data(), c);
  }
}

void Alteration::Apply(std::span<std::uint8_t> piece) {
  if (corrupt_) Corrupt(piece.data(), piece.size(), position_);
  if (addend_ != 0) Add(piece.data(), piece.size(), position_);
  if (shift_ != 0) Shift(piece.data(), piece.size());
  position_ += piece.size();
}

std::uint64_t Alteration::ShiftedFrom(std::uint64_t at) const {
  const auto k =
      static_cast<std::uint64_t>(shift_ > 0 ? shift_ : static_cast<std::int64_t>(size_) + shift_);
  return (at + k) % size_;
}

// What Shift does, a piece at a time: a touched byte at i takes the original
// byte at (i + k) mod size, and so do the bytes that wrap around, touched or not.
void Alteration::ApplyShifted(std::span<std::uint8_t> piece,
                              std::span<const std::uint8_t> shifted) {
  const std::uint64_t base = position_;
  const std::uint64_t c = static_cast<std::uint64_t>(shift_ > 0 ? shift_ : -shift_);
  // The positions [wrapFirst, wrapEnd) wrap around.
  const std::uint64_t wrapFirst = shift_ > 0 ? size_ - c : 0;
  const std::uint64_t wrapEnd = shift_ > 0 ? size_ : c;
  std::uint8_t* out = piece.data();
  const std::uint8_t* from = shifted.data();
  if (mode_ == Mode::All) {
    std::memcpy(out, from, piece.size());
  } else {
    ForEachTouched(base, piece.size(), [out, from](std::size_t i) { out[i] = from[i]; });
    const std::uint64_t first = std::max(base, wrapFirst);
    const std::uint64_t end = std::min(base + piece.size(), wrapEnd);
    if (first < end)
      std::memcpy(out + (first - base), from + (first - base),
                  static_cast<std::size_t>(end - first));
  }
  position_ += piece.size();
}

TransformResult SelectAndTransform(const JobSettings& job, std::span<std::uint8_t> buffer,
                                   Host& host) {
  std::optional<Alteration> alteration = Alteration::Prepare(job, buffer.size(), host);
  if (!alteration) return TransformResult::Refused;
  alteration->Apply(buffer);
  return TransformResult::Done;
}

}  // namespace engine
