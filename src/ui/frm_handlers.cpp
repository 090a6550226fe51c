// The small handlers that tie the controls together: output name, locks,
// and the rows that behave as one control.
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>

#include "auto/output_name.h"
#include "ui/dialogs.h"
#include "ui/frm.h"
#include "ui/whole_text.h"

namespace ui {

// Setting an option on clears the others of its group (its frame); a click
// handler of the option follows through its toggled signal when it was not on yet.
void frm::Choose(QRadioButton* option) { option->setChecked(true); }

// Clears only this option. A checked button of an exclusive group ignores
// setChecked(false), so exclusivity is lifted for the moment.
void frm::Clear(QRadioButton* option) {
  if (!option->isChecked()) return;
  QButtonGroup* group = option->group();
  if (group) group->setExclusive(false);
  option->setAutoExclusive(false);
  option->setChecked(false);
  option->setAutoExclusive(true);
  if (group) group->setExclusive(true);
}

void frm::SetLocked(QLineEdit* box, bool locked) {
  box->setReadOnly(locked);
  QPalette palette = box->palette();
  palette.setColor(QPalette::Base,
                   QApplication::palette().color(locked ? QPalette::Button : QPalette::Base));
  box->setPalette(palette);
}

void frm::txtROM_Change() {
  if (CheckValue(optAutoCreate) != engine::kChecked) return;
  const std::string name = automode::DeriveOutputName(txtROM->text().toStdString(),
                                                      CheckValue(optChdir) == engine::kChecked,
                                                      txtPath->text().toStdString());
  SetWholeText(txtCreate, name);
}

void frm::optAutoCreate_Click() {
  if (CheckValue(optAutoCreate) == engine::kUnchecked) SetLocked(txtCreate, false);
  if (CheckValue(optAutoCreate) == engine::kChecked) {
    txtROM_Change();
    SetLocked(txtCreate, true);
  }
}

void frm::txtPath_Change() { txtROM_Change(); }

void frm::optChdir_Click() { SetLocked(txtPath, CheckValue(optChdir) == engine::kUnchecked); }

void frm::txtNth_MouseDown(int, int, int, int) { Choose(optNth); }
void frm::txtMask_MouseDown(int, int, int, int) { Choose(optMask); }
void frm::txtShift_MouseDown(int, int, int, int) { Choose(optShift); }
void frm::txtAdd_MouseDown(int, int, int, int) { Choose(optAdd); }
void frm::optRandomBytes_MouseDown(int, int, int, int) { Choose(optCorrupt); }
void frm::optByteRange_MouseDown(int, int, int, int) { Choose(optCorrupt); }
void frm::optSequence_MouseDown(int, int, int, int) { Choose(optCorrupt); }

void frm::txtRange1_MouseDown(int, int, int, int) {
  Choose(optByteRange);
  optByteRange_MouseDown(0, 0, 0, 0);
}

void frm::txtRange2_MouseDown(int, int, int, int) { txtRange1_MouseDown(0, 0, 0, 0); }

void frm::txtTo_Click() { txtRange1_MouseDown(0, 0, 0, 0); }

void frm::txtSequence_MouseDown(int, int, int, int) {
  Choose(optSequence);
  optSequence_MouseDown(0, 0, 0, 0);
}

void frm::optRandomSeq_Click() {
  Choose(optSequence);
  optSequence_MouseDown(0, 0, 0, 0);
}

void frm::lblThByte_Click() {
  Choose(optNth);
  optNth->setFocus(Qt::MouseFocusReason);
}

void frm::lblBytes_Click() {
  Choose(optShift);
  optShift->setFocus(Qt::MouseFocusReason);
}

void frm::lblToByte_Click() {
  Choose(optAdd);
  optAdd->setFocus(Qt::MouseFocusReason);
}

// Choosing "Add" enables or disables nothing: every control stays as it is.
void frm::optAdd_Click() {}

void frm::lblHelp_Click(int Index) {
  if (Index < 0 || Index >= static_cast<int>(lblHelp.size())) return;
  services_.dialogs->ShowMessage(this, lblHelp[static_cast<std::size_t>(Index)]->toolTip());
}

}  // namespace ui
