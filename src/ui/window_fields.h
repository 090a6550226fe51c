#pragma once

#include "settings/field_controls.h"
#include "ui/frm.h"

namespace ui {

// The window's controls as the settings see them.
class WindowFields : public settings::FieldControls {
 public:
  explicit WindowFields(frm& window) : window_(window) {}
  engine::FieldValue ReadField(engine::Field field) override { return window_.ReadField(field); }
  void WriteField(engine::Field field, const engine::FieldValue& value) override {
    window_.WriteField(field, value);
  }

 private:
  frm& window_;
};

}  // namespace ui
