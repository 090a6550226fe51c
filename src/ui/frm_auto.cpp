// Auto mode: moving the range by the step, "Auto End" and "Auto >>".
#include <QLineEdit>
#include <QPushButton>
#include <cstdint>
#include <string>

#include "auto/stepping.h"
#include "ui/frm.h"
#include "ui/ignore_failure.h"
#include "ui/whole_text.h"

namespace ui {

namespace {

std::string Text(const QLineEdit* box) { return box->text().toStdString(); }

// Index is read as flags: 1 moves the start, 2 the end. Each field is written
// back as soon as it is moved. These buttons report nothing, so a number that
// cannot be read (a lone "'") ends the step silently, keeping what was written.
void StepRange(frm& window, int Index, bool down) {
  RunIgnoringFailure("Stepping the range", [&] {
    const std::int32_t step = automode::ReadStep(Text(window.txtInc), down);
    if (Index & 1) SetWholeText(window.txtStart, automode::MoveBy(Text(window.txtStart), step));
    if (Index & 2) SetWholeText(window.txtEnd, automode::MoveBy(Text(window.txtEnd), step));
  });
}

}  // namespace

void frm::cmdPlus_Click(int Index) { StepRange(*this, Index, false); }

void frm::cmdMinus_Click(int Index) { StepRange(*this, Index, true); }

// The range moves on whatever the run's outcome, so a refused block is
// skipped rather than blocking the walk through the file.
void frm::cmdAuto_Click() {
  AsOneRun([this] {
    cmdGo_Click();
    SetDefaultButton(cmdAuto);
    cmdPlus_Click(3);
  });
}

void frm::cmdAutoEnd_Click() {
  RunIgnoringFailure("Auto End", [this] {
    SetWholeText(txtEnd, automode::OneStepEnd(Text(txtInc), Text(txtStart)));
  });
}

}  // namespace ui
