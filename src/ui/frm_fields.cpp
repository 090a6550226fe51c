// The stored fields as the controls hold them.
#include <QCheckBox>
#include <QLineEdit>
#include <QRadioButton>
#include <type_traits>

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

QWidget* frm::FieldControl(int index) const {
  // The control of each field, indexed as engine::kFields.
  QWidget* const controls[] = {
      optChdir,        // chdir
      txtPath,         // path
      txtEMU,          // emu
      txtROM,          // rom
      optAutoCreate,   // autocreate
      txtStart,        // start
      txtEnd,          // end
      txtInc,          // inc
      optAll,          // optall
      optNth,          // optnth
      txtNth,          // nth
      optMask,         // optmask
      txtMask,         // mask
      optRandomSeq,    // optrandomseq
      txtRange1,       // range1
      txtRange2,       // range2
      txtSequence,     // sequence
      txtShift,        // shift
      txtAdd,          // add
      optShift,        // optshift
      optCorrupt,      // optcorrupt
      optAdd,          // optadd
      optRandomBytes,  // optrandombytes
      optByteRange,    // optbyterange
      optSequence,     // optsequence
      optOverwrite,    // optoverwrite
  };
  static_assert(std::extent_v<decltype(controls)> == engine::kFieldCount);
  if (index < 0 || index >= engine::kFieldCount) return nullptr;
  return controls[index];
}

engine::FieldValue frm::ReadField(int index) const {
  QWidget* control = FieldControl(index);
  if (auto* box = qobject_cast<QLineEdit*>(control)) return box->text().toStdString();
  if (auto* check = qobject_cast<QCheckBox*>(control)) return CheckValue(check);
  if (auto* option = qobject_cast<QRadioButton*>(control)) return option->isChecked();
  return std::string();
}

void frm::WriteField(int index, const engine::FieldValue& value) {
  QWidget* control = FieldControl(index);
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
  for (int i = 0; i < engine::kFieldCount; ++i) engine::SetField(job, i, ReadField(i));
  job.create = txtCreate->text().toStdString();
  return job;
}

}  // namespace ui
