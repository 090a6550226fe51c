#include "ui/whole_text.h"

#include <QLineEdit>
#include <QString>
#include <QVariant>
#include <algorithm>

namespace ui {

namespace {

constexpr const char* kTypingLimit = "glitchforgeTypingLimit";

void ShrinkToText(QLineEdit* box) {
  const int wanted =
      std::max(box->property(kTypingLimit).toInt(), static_cast<int>(box->text().size()));
  if (box->maxLength() <= wanted) return;
  // Changing the maximum puts the cursor at the end; keep it where the user is.
  const int cursor = box->cursorPosition();
  box->setMaxLength(wanted);
  box->setCursorPosition(cursor);
}

}  // namespace

void SetWholeText(QLineEdit* box, const QString& text) {
  if (text.size() > box->maxLength()) {
    if (!box->property(kTypingLimit).isValid()) {
      box->setProperty(kTypingLimit, box->maxLength());
      QObject::connect(box, &QLineEdit::textEdited, box, [box] { ShrinkToText(box); });
    }
    box->setMaxLength(static_cast<int>(text.size()));
  }
  box->setText(text);
  box->setCursorPosition(0);
}

void SetWholeText(QLineEdit* box, const std::string& text) {
  SetWholeText(box, QString::fromStdString(text));
}

}  // namespace ui
