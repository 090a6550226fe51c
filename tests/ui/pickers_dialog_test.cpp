#include <gtest/gtest.h>

#include <QApplication>
#include <QFileDialog>
#include <QTimer>
#include <filesystem>

#include "support/temp_dir.h"
#include "ui/dialogs.h"

namespace {

// The real dialog, driven once it is open: the entry given by the index is
// preselected, and a pick reports the full and the bare name.
TEST(QtOpenDialogTest, OpensOnTheGivenEntryAndReportsTheFullAndBareName) {
  TempDir dir;
  dir.Write("mario.nes", {1, 2, 3});
  ui::QtDialogs cmd;
  cmd.filterIndex = 2;
  QStringList filters;
  QString selected, suffix;
  QTimer::singleShot(0, [&] {
    auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
    if (!dialog) {
      ADD_FAILURE() << "no file dialog came up";
      if (QWidget* other = QApplication::activeModalWidget()) other->close();
      return;
    }
    filters = dialog->nameFilters();
    selected = dialog->selectedNameFilter();
    suffix = dialog->defaultSuffix();  // added to a typed name without one
    dialog->selectFile(QString::fromStdString(dir / "mario.nes"));
    static_cast<QDialog*>(dialog)->accept();  // as the Open button does
  });
  ASSERT_TRUE(cmd.ShowOpen(nullptr));
  ASSERT_EQ(filters.size(), 3);
  EXPECT_TRUE(selected.startsWith("ROM Files")) << selected.toStdString();
  EXPECT_TRUE(filters[1].startsWith("ROM Files (*.nes *.NES *.fds *.FDS")) << filters[1].toStdString();
  EXPECT_EQ(suffix, "NES");
#ifndef _WIN32
  EXPECT_EQ(filters[2], "All Files (*)");  // "*.*" would hide the many programs here without an extension
#endif
  EXPECT_EQ(std::filesystem::canonical(cmd.fileName.toStdString()),
            std::filesystem::canonical(dir.path() / "mario.nes"));
  EXPECT_EQ(cmd.fileTitle, "mario.nes");
}

}  // namespace
