#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace engine {

// Reads a number typed by the user: "$" hexadecimal, "%" binary, "'" a
// character code, or the host's decimal reading. Text holding no number is 0.
// Throws HostFailure(Overflow) or HostFailure(InvalidArgument).
std::int32_t Val2(std::string_view text);

// 1-based position of the last occurrence of `pattern` in `text`, 0 if none.
std::int32_t InStr2(std::string_view text, std::string_view pattern);

// Upper-case hexadecimal digits without prefix or leading zeros; a negative
// value as the eight digits of its two's complement.
std::string HexForm(std::int32_t value);
// The same for 64-bit lengths (file lengths of 2 GiB and more).
std::string HexForm64(std::int64_t value);

}  // namespace engine
