// Val2, InStr2 and the hex form on arbitrary bytes: Val2 may raise a
// HostFailure of its two kinds, nothing else may escape or misbehave.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "engine/failure.h"
#include "engine/number.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  try {
    const std::int32_t value = engine::Val2(text);
    const std::string hex = engine::HexForm(value);
    if (hex.empty() || hex.size() > 8 || engine::Val2("$" + hex) != value) std::abort();
  } catch (const engine::HostFailure& failure) {
    if (failure.kind() != engine::FailureKind::Overflow && failure.kind() != engine::FailureKind::InvalidArgument)
      std::abort();
  }
  const std::size_t split = size == 0 ? 0 : data[0] % (size + 1);
  const std::string_view pattern = text.substr(0, split), haystack = text.substr(split);
  const std::int32_t position = engine::InStr2(haystack, pattern);
  if (position < 0 || static_cast<std::size_t>(position) > haystack.size()) std::abort();
  if (position > 0 && haystack.substr(static_cast<std::size_t>(position) - 1, pattern.size()) != pattern) std::abort();
  return 0;
}
