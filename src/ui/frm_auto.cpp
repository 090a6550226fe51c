// Auto mode: stepping the range and the auto run.
// TEMPORARY: empty until auto mode is wired in.
#include "ui/frm.h"

namespace ui {

void frm::cmdPlus_Click(int) {}

void frm::cmdMinus_Click(int) {}

void frm::cmdAuto_Click() {}

void frm::cmdAutoEnd_Click() {}

}  // namespace ui
