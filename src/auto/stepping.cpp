#include "auto/stepping.h"

#include "engine/number.h"
#include "engine/wrap32.h"

namespace automode {

using engine::WrapAdd;

std::string DollarHex(std::int32_t value) {
  return std::string("$").append(engine::HexForm(value));
}

std::int32_t ReadStep(std::string_view incText, bool down) {
  const std::int32_t step = engine::Val2(incText);
  return down ? engine::WrapNegate(step) : step;
}

std::string MoveBy(std::string_view fieldText, std::int32_t step) {
  return DollarHex(WrapAdd(engine::Val2(fieldText), step));
}

std::string OneStepEnd(std::string_view incText, std::string_view startText) {
  const std::int32_t step = engine::Val2(incText);
  const std::int32_t start = engine::Val2(startText);
  return DollarHex(WrapAdd(WrapAdd(start, step), -1));
}

}  // namespace automode
