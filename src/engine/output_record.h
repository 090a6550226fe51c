#pragma once

#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

#include "engine/host.h"

namespace engine {

// Byte ranges of a file, first to last inclusive, kept sorted; ranges that
// overlap or touch are merged.
class RangeSet {
 public:
  using Range = std::pair<std::uint64_t, std::uint64_t>;
  void Add(std::uint64_t first, std::uint64_t last);
  const std::vector<Range>& Ranges() const { return ranges_; }
  std::uint64_t Bytes() const;

 private:
  std::vector<Range> ranges_;
};

// What this program knows of the output file it wrote last: it was made a
// copy of the ROM, and since then only the `altered` ranges were written,
// with both files stamped as they were right after this program's last
// write, both stamps settled. While both stamps still match, the output
// differs from the ROM at most in those ranges; anything else (another
// program's write or touch, a run that failed half-way, a file replaced)
// leaves the record of no use.
class OutputRecord {
 public:
  bool Matches(const FileStamp& rom, const FileStamp& output) const {
    return known_ && known_->rom == rom && known_->output == output;
  }
  // The recorded output is this file, whatever its stamps say now.
  bool IsOutput(const FileStamp& file) const { return known_ && known_->output.SameFile(file); }
  // Only while something is known.
  const RangeSet& Altered() const { return known_->altered; }
  const FileStamp& Rom() const { return known_->rom; }

  void Keep(const FileStamp& rom, const FileStamp& output, RangeSet altered) {
    known_ = Known{rom, output, std::move(altered)};
  }
  void Forget() { known_.reset(); }

 private:
  struct Known {
    FileStamp rom;
    FileStamp output;
    RangeSet altered;
  };
  std::optional<Known> known_;
};

}  // namespace engine
