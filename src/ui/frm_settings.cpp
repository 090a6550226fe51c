// Start-up, shutdown and the preset menus.
// TEMPORARY: fills the window with the first-run defaults and stores nothing.
#include "ui/frm.h"

namespace ui {

void frm::Form_Load() {
  const engine::JobSettings defaults = engine::FirstRunDefaults();
  for (int i = 0; i < engine::kFieldCount; ++i) WriteField(i, engine::GetField(defaults, i));
  UpdateGlobalMenus();
}

void frm::Form_QueryUnload() {}

void frm::mnuExit_Click() { close(); }

void frm::mnuSG_Click(int) {}

void frm::mnuLG_Click(int) {}

void frm::UpdateGlobalMenus() {}

}  // namespace ui
