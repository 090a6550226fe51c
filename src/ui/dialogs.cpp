#include "ui/dialogs.h"

#include <QMessageBox>

namespace ui {

void QtDialogs::ShowMessage(QWidget* parent, const QString& text) {
  QString shown = text;
  shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  QMessageBox box(QMessageBox::NoIcon, QString::fromLatin1(kApplicationTitle), shown,
                  QMessageBox::Ok, parent);
  // File names may hold "<" or "&"; never read them as markup.
  box.setTextFormat(Qt::PlainText);
  box.exec();
}

}  // namespace ui
