#pragma once

#include "engine/job_settings.h"

namespace settings {

// The window's controls, one per stored field. Called on the window's thread only.
class FieldControls {
 public:
  virtual ~FieldControls() = default;
  virtual engine::FieldValue ReadField(engine::Field field) = 0;
  // Writes the control at once, so that its reactions run before the next write.
  virtual void WriteField(engine::Field field, const engine::FieldValue& value) = 0;
};

}  // namespace settings
