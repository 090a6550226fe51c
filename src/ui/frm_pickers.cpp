// The file pickers beside the path, emulator and ROM boxes.
// TEMPORARY: empty until the pickers are wired in.
#include "ui/frm.h"

namespace ui {

void frm::cmdOpen1_Click() {}

void frm::cmdOpen2_Click() {}

void frm::cmdOpen3_Click() {}

void frm::SetPath() {}

void frm::SetEmu() {}

void frm::SetRom() {}

}  // namespace ui
