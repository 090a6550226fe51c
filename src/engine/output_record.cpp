#include "engine/output_record.h"

#include <algorithm>

namespace engine {

void RangeSet::Add(std::uint64_t first, std::uint64_t last) {
  std::vector<Range> merged;
  merged.reserve(ranges_.size() + 1);
  auto it = ranges_.begin();
  for (; it != ranges_.end() && it->second + 1 < first; ++it) merged.push_back(*it);
  for (; it != ranges_.end() && it->first <= last + 1; ++it) {
    first = std::min(first, it->first);
    last = std::max(last, it->second);
  }
  merged.emplace_back(first, last);
  merged.insert(merged.end(), it, ranges_.end());
  ranges_ = std::move(merged);
}

std::uint64_t RangeSet::Bytes() const {
  std::uint64_t bytes = 0;
  for (const auto& [first, last] : ranges_) bytes += last - first + 1;
  return bytes;
}

}  // namespace engine
