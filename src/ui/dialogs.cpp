#include "ui/dialogs.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QMessageBox>
#include <QSortFilterProxyModel>

namespace ui {

namespace {

// Entry 1 of the filter list: programs.
constexpr int kProgramsEntry = 1;

#ifndef _WIN32
// Programs on Linux and macOS have no extension of their own: while the
// programs entry is in use, the dialog lists folders and the files the user
// may execute, whatever their names.
class ExecutablesOnly : public QSortFilterProxyModel {
 public:
  void SetActive(bool active) {
    active_ = active;
    invalidateFilter();
  }

 protected:
  bool filterAcceptsRow(int row, const QModelIndex& parent) const override {
    const auto* files = qobject_cast<const QFileSystemModel*>(sourceModel());
    if (!active_ || !files) return true;
    const QFileInfo info = files->fileInfo(files->index(row, 0, parent));
    return info.isDir() || info.isExecutable();
  }

 private:
  bool active_ = false;
};
#endif

}  // namespace

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
      // Programs here have no extension; the dialog shows the executable files.
      if (pattern == QLatin1String("*.*") || i == 2 * (kProgramsEntry - 1)) {
        if (!patterns.contains(QStringLiteral("*"))) patterns << QStringLiteral("*");
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
  // A program's name gets no extension added; a ROM's or any file's does.
  const auto entryChosen = [&dialog, filters](const QString& entry) {
    const bool programs =
        !filters.isEmpty() &&
        (entry == filters.first() || filters.first().startsWith(entry + QStringLiteral(" (")));
#ifndef _WIN32
    static_cast<ExecutablesOnly*>(dialog.proxyModel())->SetActive(programs);
#endif
    dialog.setDefaultSuffix(programs ? QString() : QString::fromLatin1(kDefaultExtension));
  };
#ifndef _WIN32
  dialog.setProxyModel(new ExecutablesOnly);
#endif
  QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, entryChosen);
  if (filterIndex >= 1 && filterIndex <= filters.size()) {
    dialog.selectNameFilter(filters[filterIndex - 1]);
  }
  entryChosen(dialog.selectedNameFilter());
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
