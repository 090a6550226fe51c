#pragma once

#include <QtGlobal>

#include "engine/failure.h"

namespace ui {

// Runs the body of a handler that has no failure branch. A failure ends the
// body where it stands, keeping whatever it already wrote, instead of ending
// the program from inside a Qt slot; it leaves a line in the debug log.
template <typename Call>
void RunIgnoringFailure(const char* what, Call&& call) noexcept {
  try {
    call();
  } catch (...) {
    qDebug("%s failed: %s", what, engine::DescribeCurrentFailure().c_str());
  }
}

}  // namespace ui
