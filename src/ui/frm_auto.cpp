// Auto mode: moving the range by the step, "Auto End" and "Auto >>".
#include <QLineEdit>
#include <QPushButton>
#include <cstdint>
#include <exception>
#include <string>

#include "auto/stepping.h"
#include "ui/frm.h"

namespace ui {

namespace {

std::string Text(const QLineEdit* box) { return box->text().toStdString(); }

void SetText(QLineEdit* box, const std::string& text) {
  box->setText(QString::fromStdString(text));
  box->setCursorPosition(0);
}

// Index is read as flags: 1 moves the start, 2 the end. Each field is written
// back as soon as it is moved. These buttons report nothing, so a number that
// cannot be read (a lone "'") ends the step silently, keeping what was written.
void StepRange(frm& window, int Index, bool down) {
  try {
    const std::int32_t step = automode::ReadStep(Text(window.txtInc), down);
    if (Index & 1) SetText(window.txtStart, automode::MoveBy(Text(window.txtStart), step));
    if (Index & 2) SetText(window.txtEnd, automode::MoveBy(Text(window.txtEnd), step));
  } catch (const std::exception&) {
  }
}

}  // namespace

void frm::cmdPlus_Click(int Index) { StepRange(*this, Index, false); }

void frm::cmdMinus_Click(int Index) { StepRange(*this, Index, true); }

// The range moves on whatever the run's outcome, so a refused block is
// skipped rather than blocking the walk through the file.
void frm::cmdAuto_Click() {
  cmdGo_Click();
  SetDefaultButton(cmdAuto);
  cmdPlus_Click(3);
}

void frm::cmdAutoEnd_Click() {
  try {
    SetText(txtEnd, automode::OneStepEnd(Text(txtInc), Text(txtStart)));
  } catch (const std::exception&) {
  }
}

}  // namespace ui
