// The file pickers beside the path, emulator and ROM boxes.
#include <QCheckBox>
#include <QLineEdit>

#include "auto/output_name.h"
#include "engine/job_settings.h"
#include "ui/dialogs.h"
#include "ui/frm.h"
#include "ui/ignore_failure.h"
#include "ui/whole_text.h"

namespace ui {

namespace {

// Entries of the dialog's filter list, counted from 1.
constexpr int kExecutableFiles = 1;
constexpr int kRomFiles = 2;
constexpr int kAllFiles = 3;

// Shows the dialog with an empty name box and the given entry preselected;
// false when the user cancels.
bool ShowPicker(frm& window, int filterIndex) {
  Dialogs& cmd = window.dialogs();
  cmd.fileName = QString();
  cmd.filterIndex = filterIndex;
  return cmd.ShowOpen(&window);
}

// With "Change directory to:" checked the box gets the bare name and the
// directory goes to the path box; otherwise the box gets the full name.
void FillFileBox(frm& window, QLineEdit* box) {
  const Dialogs& cmd = window.dialogs();
  if (frm::CheckValue(window.optChdir) == engine::kChecked) {
    SetWholeText(box, cmd.fileTitle);
    window.SetPath();
  } else {
    SetWholeText(box, cmd.fileName);
  }
}

}  // namespace

void frm::cmdOpen1_Click() {
  RunIgnoringFailure("Picking the working directory", [this] {
    if (ShowPicker(*this, kAllFiles)) SetPath();
  });
}

void frm::cmdOpen2_Click() {
  RunIgnoringFailure("Picking the emulator", [this] {
    if (ShowPicker(*this, kExecutableFiles)) SetEmu();
  });
}

void frm::cmdOpen3_Click() {
  RunIgnoringFailure("Picking the ROM", [this] {
    if (ShowPicker(*this, kRomFiles)) SetRom();
  });
}

// The directory of the chosen file, with its closing separator. Only the
// host's own separator counts; a name without one leaves the box alone.
void frm::SetPath() {
  const QString& name = dialogs().fileName;
  const qsizetype separator = name.lastIndexOf(QChar(automode::kNativeSeparator));
  if (separator < 0) return;
  SetWholeText(txtPath, name.left(separator + 1));
}

void frm::SetEmu() { FillFileBox(*this, txtEMU); }

void frm::SetRom() { FillFileBox(*this, txtROM); }

}  // namespace ui
