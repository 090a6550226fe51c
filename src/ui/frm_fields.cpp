// The stored fields as the controls hold them.
#include <QAction>
#include <QCheckBox>
#include <QLineEdit>
#include <QRadioButton>

#include "ui/frm.h"
#include "ui/whole_text.h"

namespace ui {

namespace {

// Reads a value of whatever kind the caller passed as the kind a control needs.
std::string AsText(const engine::FieldValue& value) {
  if (const auto* text = std::get_if<std::string>(&value)) return *text;
  return engine::StoredText(value);
}

int AsCheck(const engine::FieldValue& value) {
  if (const auto* number = std::get_if<int>(&value)) return *number;
  if (const auto* on = std::get_if<bool>(&value))
    return *on ? engine::kChecked : engine::kUnchecked;
  return engine::ConvertCheck(std::get<std::string>(value)).value_or(engine::kUnchecked);
}

bool AsOption(const engine::FieldValue& value) {
  if (const auto* on = std::get_if<bool>(&value)) return *on;
  if (const auto* number = std::get_if<int>(&value)) return *number != 0;
  return engine::ConvertOption(std::get<std::string>(value)).value_or(false);
}

}  // namespace

// The control of each field. A field without a case here does not compile
// (-Wswitch with warnings as errors).
QWidget* frm::FieldControl(engine::Field field) const {
  using enum engine::Field;
  switch (field) {
    case chdir: return optChdir;
    case path: return txtPath;
    case emu: return txtEMU;
    case rom: return txtROM;
    case autocreate: return optAutoCreate;
    case start: return txtStart;
    case end: return txtEnd;
    case inc: return txtInc;
    case optall: return optAll;
    case optnth: return optNth;
    case nth: return txtNth;
    case optmask: return optMask;
    case mask: return txtMask;
    case optrandomseq: return optRandomSeq;
    case range1: return txtRange1;
    case range2: return txtRange2;
    case sequence: return txtSequence;
    case shift: return txtShift;
    case add: return txtAdd;
    case optshift: return optShift;
    case optcorrupt: return optCorrupt;
    case optadd: return optAdd;
    case optrandombytes: return optRandomBytes;
    case optbyterange: return optByteRange;
    case optsequence: return optSequence;
    case optoverwrite: return optOverwrite;
  }
  return nullptr;
}

engine::FieldValue frm::ReadField(engine::Field field) const {
  QWidget* control = FieldControl(field);
  if (auto* box = qobject_cast<QLineEdit*>(control)) return box->text().toStdString();
  if (auto* check = qobject_cast<QCheckBox*>(control)) return CheckValue(check);
  if (auto* option = qobject_cast<QRadioButton*>(control)) return option->isChecked();
  return std::string();
}

void frm::WriteField(engine::Field field, const engine::FieldValue& value) {
  QWidget* control = FieldControl(field);
  if (auto* box = qobject_cast<QLineEdit*>(control)) {
    SetWholeText(box, AsText(value));
  } else if (auto* check = qobject_cast<QCheckBox*>(control)) {
    const int state = AsCheck(value);
    check->setCheckState(state == engine::kChecked ? Qt::Checked
                         : state == engine::kGrey  ? Qt::PartiallyChecked
                                                   : Qt::Unchecked);
  } else if (auto* option = qobject_cast<QRadioButton*>(control)) {
    if (AsOption(value))
      Choose(option);
    else
      Clear(option);
  }
}

engine::JobSettings frm::ReadJob() const {
  engine::JobSettings job;
  for (const engine::Field field : engine::AllFields())
    engine::SetField(job, field, ReadField(field));
  job.create = txtCreate->text().toStdString();
  job.closePreviousEmulator = mnuCloseEmulator->isChecked();
  return job;
}

}  // namespace ui
