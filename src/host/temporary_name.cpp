#include "host/temporary_name.h"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <random>

namespace host {

namespace {

constexpr std::string_view kPrefix = ".glitchforge-";
constexpr std::string_view kSuffix = ".tmp";
constexpr std::size_t kDigits = 16;

}  // namespace

std::string TemporaryName() {
  // Two programs that start at once still draw apart: the clock's count
  // goes into the seed besides the system's randomness.
  static std::mt19937_64 random(
      std::random_device{}() ^
      static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count()));
  char digits[kDigits + 1];
  std::snprintf(digits, sizeof digits, "%016llx", static_cast<unsigned long long>(random()));
  return std::string(kPrefix).append(digits).append(kSuffix);
}

bool IsTemporaryName(std::string_view name) {
  if (name.size() != kPrefix.size() + kDigits + kSuffix.size() || !name.starts_with(kPrefix) ||
      !name.ends_with(kSuffix))
    return false;
  const auto digits = name.substr(kPrefix.size(), kDigits);
  return std::all_of(digits.begin(), digits.end(),
                     [](char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'); });
}

}  // namespace host
