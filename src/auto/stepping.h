#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// Moving the range by the step: the arithmetic behind the "+", "-" and
// "Auto End" buttons. All sums wrap around in 32 bits; Val2 failures throw
// engine::HostFailure.
namespace automode {

// "$" followed by the upper-case hexadecimal digits ("$0" for zero, eight
// digits of the two's complement for a negative value).
std::string DollarHex(std::int32_t value);

// The step of txtInc; negated (in 32 bits) when moving down.
std::int32_t ReadStep(std::string_view incText, bool down);

// The text of a range field moved by `step`.
std::string MoveBy(std::string_view fieldText, std::int32_t step);

// The end that makes the range exactly one step long: start + step - 1.
std::string OneStepEnd(std::string_view incText, std::string_view startText);

}  // namespace automode
