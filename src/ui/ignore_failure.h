#pragma once

#include <exception>

namespace ui {

// Runs the body of a handler that has no failure branch. A failure ends the
// body where it stands, keeping whatever it already wrote, instead of ending
// the program from inside a Qt slot.
template <typename Call>
void RunIgnoringFailure(Call&& call) noexcept {
  try {
    call();
  } catch (const std::exception&) {
  }
}

}  // namespace ui
