#include "ui/dialogs.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
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

bool Dialogs::ShowOpen(QWidget*) { return false; }

std::optional<Dialogs::PatchChoice> Dialogs::ShowSavePatch(QWidget*, const QString&) {
  return std::nullopt;
}

std::optional<QString> Dialogs::ShowOpenPatch(QWidget*, const QString&) { return std::nullopt; }

QStringList NameFilters(const QString& filter) {
  const QStringList parts = filter.split(QLatin1Char('|'));
  QStringList filters;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    QStringList patterns;
    for (const QString& pattern : parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
#ifndef _WIN32
      if (pattern == QLatin1String("*.*")) {
        patterns << QStringLiteral("*");
        continue;
      }
#endif
      for (const QString& cased : {pattern.toLower(), pattern.toUpper()}) {
        if (!patterns.contains(cased)) patterns << cased;
      }
    }
    filters << parts[i] + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) +
                   QStringLiteral(")");
  }
  return filters;
}

// No title, no initial directory (the dialog starts in the current one) and
// no flags: any name may be typed, as the program only reads the names back.
bool QtDialogs::ShowOpen(QWidget* parent) {
  QFileDialog dialog(parent);
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  dialog.setFileMode(QFileDialog::AnyFile);
  dialog.setOption(QFileDialog::HideNameFilterDetails);
  const QStringList filters = NameFilters(QString::fromLatin1(kOpenFilter));
  dialog.setNameFilters(filters);
  if (filterIndex >= 1 && filterIndex <= filters.size()) {
    dialog.selectNameFilter(filters[filterIndex - 1]);
  }
  dialog.setDefaultSuffix(QString::fromLatin1(kDefaultExtension));
  if (!fileName.isEmpty()) dialog.selectFile(fileName);
  if (dialog.exec() != QDialog::Accepted) return false;
  const QStringList chosen = dialog.selectedFiles();
  if (chosen.isEmpty()) return false;
  fileName = QDir::toNativeSeparators(chosen.first());
  fileTitle = QFileInfo(chosen.first()).fileName();
  // The dialog reports the entry without the patterns it hides.
  const QString entry = dialog.selectedNameFilter();
  for (qsizetype i = 0; i < filters.size(); ++i) {
    if (filters[i] == entry || filters[i].startsWith(entry + QStringLiteral(" ("))) {
      filterIndex = static_cast<int>(i) + 1;
    }
  }
  return true;
}

// A name typed without an extension takes the one of the entry in use.
std::optional<Dialogs::PatchChoice> QtDialogs::ShowSavePatch(QWidget* parent,
                                                             const QString& proposed) {
  QFileDialog dialog(parent, QStringLiteral("Export"));
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  const QString ips = QString::fromLatin1(kIpsPatches), bps = QString::fromLatin1(kBpsPatches);
  dialog.setNameFilters({ips, bps});
  const bool proposedBps = proposed.endsWith(QStringLiteral(".bps"), Qt::CaseInsensitive);
  dialog.selectNameFilter(proposedBps ? bps : ips);
  dialog.setDefaultSuffix(proposedBps ? QStringLiteral("bps") : QStringLiteral("ips"));
  QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, [&](const QString& entry) {
    dialog.setDefaultSuffix(entry == bps ? QStringLiteral("bps") : QStringLiteral("ips"));
  });
  dialog.selectFile(proposed);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  return PatchChoice{QDir::toNativeSeparators(dialog.selectedFiles().first()),
                     dialog.selectedNameFilter() == bps};
}

std::optional<QString> QtDialogs::ShowOpenPatch(QWidget* parent, const QString& folder) {
  QFileDialog dialog(parent, QStringLiteral("Import"), folder);
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  dialog.setFileMode(QFileDialog::ExistingFile);
  dialog.setNameFilters({QStringLiteral("Patches (*.ips *.bps *.IPS *.BPS)"),
                         QString::fromLatin1(kIpsPatches), QString::fromLatin1(kBpsPatches),
                         QStringLiteral("All Files (*)")});
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  return QDir::toNativeSeparators(dialog.selectedFiles().first());
}

}  // namespace ui
