#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "engine/host.h"
#include "engine/job_settings.h"

namespace engine {

enum class TransformResult { Done, Refused };

// The alteration a job asks for, with every number read and checked, applied
// to the range piece by piece in range order: each touched position takes
// the same value whether the range comes in one piece or in many.
class Alteration {
 public:
  // Reads and checks the job's numbers for a range of `size` bytes. A refusal
  // has shown its message, moved the focus and set the status line, and gives
  // nothing. Val2 failures and the shift's division by zero throw
  // HostFailure. The corrupt action reseeds host.random from the clock here
  // and draws from it in Apply.
  static std::optional<Alteration> Prepare(const JobSettings& job, std::uint64_t size, Host& host);
  // Whether Prepare would give an alteration, asked without a word to the
  // user, the clock or host.random.
  static bool Acceptable(const JobSettings& job, std::uint64_t size, Host& host);

  // Alters the next piece of the range. Only the shift allocates (the bytes
  // it wraps around), and may throw std::bad_alloc; it takes the whole range
  // as one piece. A range in pieces is shifted through ApplyShifted.
  void Apply(std::span<std::uint8_t> piece);

  // The shift moves bytes across the whole range. Piece by piece, each piece
  // of the range takes its shifted bytes from the range's original bytes
  // that start at ShiftedFrom(its position), as many as it has, wrapping from
  // the range's end to its start.
  bool Shifts() const { return shift_ != 0; }
  std::uint64_t ShiftedFrom(std::uint64_t at) const;
  // Shifts the next piece, holding its original bytes, from `shifted`: the
  // original bytes from ShiftedFrom(the piece's position) on.
  void ApplyShifted(std::span<std::uint8_t> piece, std::span<const std::uint8_t> shifted);

 private:
  enum class Mode { All, Nth, Mask };
  Mode mode_ = Mode::All;
  std::size_t n_ = 1;
  std::uint32_t mask_ = 0;

  bool corrupt_ = false;
  RandomSource* random_ = nullptr;
  std::uint32_t count_ = 0;
  std::uint32_t low_ = 0;
  bool sequence_ = false;
  bool randomPick_ = false;
  std::vector<std::uint8_t> values_;
  std::size_t sequenceAt_ = 0;

  std::uint8_t addend_ = 0;
  std::int64_t shift_ = 0;  // k: positive toward the start, negative toward the end

  std::uint64_t position_ = 0;  // of the next piece within the range
  std::uint64_t size_ = 0;      // of the range

  bool Touched(std::uint64_t i) const;
  template <class F>
  void ForEachTouched(std::uint64_t base, std::size_t len, F&& f) const;
  void Corrupt(std::uint8_t* out, std::size_t len, std::uint64_t base);
  void Add(std::uint8_t* buf, std::size_t len, std::uint64_t base) const;
  void Shift(std::uint8_t* b, std::size_t size) const;
};

// Selects the bytes of the range buffer and alters them in place as the job
// says: Prepare, then Apply to the whole buffer. Val2 failures and the
// shift's division by zero throw HostFailure; the shift may throw std::bad_alloc.
TransformResult SelectAndTransform(const JobSettings& job, std::span<std::uint8_t> buffer,
                                   Host& host);

}  // namespace engine
