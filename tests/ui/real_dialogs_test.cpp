#include <QAbstractProxyModel>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QMessageBox>
#include <QTimer>
#include <functional>

#include "support/temp_dir.h"
#include "window_fixture.h"

namespace {

// Runs `inspect` on the modal box that `show` opens, then lets `finish` close it.
template <typename Box>
void WhileModal(const std::function<void()>& show, const std::function<void(Box&)>& inspectAndClose) {
  bool seen = false;
  QTimer::singleShot(0, [&] {
    auto* box = qobject_cast<Box*>(QApplication::activeModalWidget());
    ASSERT_NE(box, nullptr);
    seen = true;
    inspectAndClose(*box);
  });
  show();
  EXPECT_TRUE(seen);
}

// File names may hold markup characters: the real box shows every character as typed, with "\r\n" as a line break,
// under the program's title, with OK alone and no icon.
TEST(RealMessageBox, ShowsPlainTextUnderTheTitleWithOkAlone) {
  ui::QtDialogs dialogs;
  WhileModal<QMessageBox>([&] { dialogs.ShowMessage(nullptr, "Error!  <b>a&b</b>.nes\r\nsecond line"); },
                          [](QMessageBox& box) {
                            EXPECT_EQ(box.textFormat(), Qt::PlainText);
                            EXPECT_EQ(box.text(), "Error!  <b>a&b</b>.nes\nsecond line");
                            EXPECT_EQ(box.windowTitle(), "ROM Glitchforge 6.0");
                            EXPECT_EQ(box.icon(), QMessageBox::NoIcon);
                            EXPECT_EQ(box.standardButtons(), QMessageBox::Ok);
                            box.accept();
                          });
}

// Each picker opens the real dialog on its own entry of the filter list, adding the extension "NES" to a typed name
// except to a program's (programs off Windows have none); a chosen file comes back with its full and bare names and
// the entry in use.
TEST(RealOpenDialog, OpensOnTheAskedEntryAndReportsTheChosenFile) {
  struct Row {
    int filterIndex;
    const char* shownEntry;
    const char* addedExtension;
  };
#ifdef _WIN32
  const char* programExtension = "NES";
#else
  const char* programExtension = "";
#endif
  const Row rows[] = {
      {.filterIndex = 1, .shownEntry = "Executable Files", .addedExtension = programExtension},
      {.filterIndex = 2, .shownEntry = "ROM Files", .addedExtension = "NES"},
      {.filterIndex = 3, .shownEntry = "All Files", .addedExtension = "NES"},
  };
  TempDir dir;
  const std::string chosen = dir.Write("zelda.nes", {1});
  for (const Row& row : rows) {
    ui::QtDialogs dialogs;
    dialogs.filterIndex = row.filterIndex;
    bool accepted = false;
    WhileModal<QFileDialog>([&] { accepted = dialogs.ShowOpen(nullptr); },
                            [&](QFileDialog& dialog) {
                              EXPECT_TRUE(dialog.selectedNameFilter().startsWith(row.shownEntry)) << row.shownEntry;
                              EXPECT_EQ(dialog.defaultSuffix().toStdString(), row.addedExtension) << row.shownEntry;
                              EXPECT_EQ(dialog.nameFilters(), ui::NameFilters(ui::kOpenFilter));
                              dialog.selectFile(QString::fromStdString(chosen));
                              static_cast<QDialog&>(dialog).accept();  // QFileDialog hides it
                            });
    EXPECT_TRUE(accepted);
    EXPECT_EQ(dialogs.fileName.toStdString(), chosen);
    EXPECT_EQ(dialogs.fileTitle, "zelda.nes");
    EXPECT_EQ(dialogs.filterIndex, row.filterIndex);
  }
}

#ifndef _WIN32
// Off Windows the programs entry lists folders and the files the user may execute, whatever their names; another
// entry lists the other files again.
TEST(RealOpenDialog, TheProgramsEntryListsWhatMayBeExecuted) {
  TempDir dir;
  dir.Write("fceux", {1});
  dir.Write("notes.txt", {1});
  std::filesystem::permissions(dir / "fceux", std::filesystem::perms(0755));
  std::filesystem::create_directory(dir / "games");
  ui::QtDialogs dialogs;
  dialogs.filterIndex = 1;
  dialogs.fileName = QString::fromStdString(dir / "");
  const auto listed = [&](QFileDialog& dialog) {
    auto* files = qobject_cast<QFileSystemModel*>(dialog.proxyModel()->sourceModel());
    const QModelIndex folder = files->index(QString::fromStdString(dir.path().string()));
    EXPECT_TRUE(QTest::qWaitFor([&] { return files->rowCount(folder) == 3; }));  // read beside the dialog
    QStringList names;
    const QModelIndex shown = dialog.proxyModel()->mapFromSource(folder);
    for (int row = 0; row < dialog.proxyModel()->rowCount(shown); ++row) names << dialog.proxyModel()->index(row, 0, shown).data().toString();
    names.sort();
    return names;
  };
  WhileModal<QFileDialog>([&] { dialogs.ShowOpen(nullptr); },
                          [&](QFileDialog& dialog) {
                            EXPECT_EQ(listed(dialog), QStringList({"fceux", "games"}));
                            emit dialog.filterSelected(dialog.nameFilters().last());
                            EXPECT_EQ(listed(dialog), QStringList({"fceux", "games", "notes.txt"}));
                            static_cast<QDialog&>(dialog).reject();
                          });
}
#endif

// The ROM entry offers each extension in both letter cases; "All Files" is "*", as "*.*" would hide the many
// programs here that have no extension.
TEST(RealOpenDialog, TheEntriesMatchNamesInEitherCaseAndWithoutExtension) {
  const QStringList filters = ui::NameFilters(ui::kOpenFilter);
  ASSERT_EQ(filters.size(), 3);
  EXPECT_TRUE(filters[1].startsWith("ROM Files (*.nes *.NES *.fds *.FDS"));
#ifndef _WIN32
  EXPECT_EQ(filters[2], "All Files (*)");
#endif
}

TEST(RealOpenDialog, ACancelChangesNothing) {
  ui::QtDialogs dialogs;
  dialogs.fileName = "before.nes";
  dialogs.filterIndex = 2;
  bool accepted = true;
  WhileModal<QFileDialog>([&] { accepted = dialogs.ShowOpen(nullptr); }, [](QFileDialog& dialog) { static_cast<QDialog&>(dialog).reject(); });
  EXPECT_FALSE(accepted);
  EXPECT_EQ(dialogs.fileName, "before.nes");
  EXPECT_EQ(dialogs.filterIndex, 2);
}

}  // namespace
