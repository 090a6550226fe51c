#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QTimer>
#include <filesystem>
#include <functional>

#include "support/temp_dir.h"
#include "ui/dialogs.h"

namespace {

namespace fs = std::filesystem;

TEST(OpenFilterTest, EveryEntryMatchesBothLetterCases) {
  const QStringList filters = ui::NameFilters(QString::fromLatin1(ui::kOpenFilter));
  ASSERT_EQ(filters.size(), 3);
  EXPECT_EQ(filters[0], "Executable Files (*.exe *.EXE *.com *.COM *.bat *.BAT)");
  EXPECT_EQ(filters[1],
            "ROM Files (*.nes *.NES *.fds *.FDS *.fam *.FAM *.ffe *.FFE *.nez *.NEZ *.smc *.SMC "
            "*.sfc *.SFC *.swc *.SWC *.fig *.FIG *.058 *.001 *.bin *.BIN *.smd *.SMD *.gg *.GG "
            "*.sms *.SMS *.gb *.GB *.gbc *.GBC *.tap *.TAP *.tzx *.TZX *.z80 *.Z80 *.rom *.ROM "
            "*.v64 *.V64 *.z64 *.Z64 *.iso *.ISO *.dka *.DKA *.dkb *.DKB *.dkc *.DKC *.dkd *.DKD "
            "*.dsk *.DSK *.po *.PO *.do *.DO *.st? *.ST?)");
#ifdef _WIN32
  EXPECT_EQ(filters[2], "All Files (*.*)");
#else
  // "*.*" would hide every file without an extension, as most programs here are.
  EXPECT_EQ(filters[2], "All Files (*)");
#endif
  EXPECT_EQ(QString::fromLatin1(ui::kOpenFilter).size(), 246);
}

// Shows the real dialog and hands it to `drive` once it is open.
class QtOpenDialogTest : public ::testing::Test {
 protected:
  QtOpenDialogTest() { fs::current_path(dir.path()); }
  ~QtOpenDialogTest() override { fs::current_path(saved_); }

  bool Show(const std::function<void(QFileDialog&)>& drive) {
    QTimer::singleShot(0, [drive] {
      auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
      if (dialog) {
        drive(*dialog);
      } else if (QWidget* other = QApplication::activeModalWidget()) {
        ADD_FAILURE() << "no file dialog came up";
        other->close();
      }
    });
    return cmd.ShowOpen(nullptr);
  }

  fs::path saved_ = fs::current_path();
  TempDir dir;
  ui::QtDialogs cmd;
};

TEST_F(QtOpenDialogTest, OpensOnTheGivenEntryAndReportsTheFullAndBareName) {
  dir.Write("mario.nes", {1, 2, 3});
  QStringList filters;
  QString selected, suffix, shownName, directory;
  cmd.fileName = "";
  cmd.filterIndex = 2;
  const bool chosen = Show([&](QFileDialog& dialog) {
    filters = dialog.nameFilters();
    selected = dialog.selectedNameFilter();
    suffix = dialog.defaultSuffix();
    directory = dialog.directory().absolutePath();
    dialog.selectFile("mario.nes");
    static_cast<QDialog&>(dialog).accept();  // as the Open button does
  });
  ASSERT_TRUE(chosen);
  EXPECT_EQ(filters, ui::NameFilters(QString::fromLatin1(ui::kOpenFilter)));
  EXPECT_TRUE(selected.startsWith("ROM Files")) << selected.toStdString();
  EXPECT_EQ(suffix, "NES");
  EXPECT_EQ(fs::canonical(directory.toStdString()), fs::canonical(dir.path()));
  EXPECT_EQ(fs::canonical(cmd.fileName.toStdString()), fs::canonical(dir.path() / "mario.nes"));
  EXPECT_EQ(cmd.fileTitle, "mario.nes");
  EXPECT_EQ(cmd.filterIndex, 2);
  EXPECT_EQ(cmd.fileName.right(10), QDir::toNativeSeparators("/mario.nes"));
}

TEST_F(QtOpenDialogTest, ATypedNameWithoutExtensionGetsTheDefaultOne) {
  cmd.filterIndex = 3;
  QString selected;
  ASSERT_TRUE(Show([&](QFileDialog& dialog) {
    selected = dialog.selectedNameFilter();
    dialog.selectFile("typed");
    static_cast<QDialog&>(dialog).accept();  // as the Open button does
  }));
  EXPECT_TRUE(selected.startsWith("All Files")) << selected.toStdString();
  EXPECT_EQ(cmd.fileTitle, "typed.NES");
  EXPECT_EQ(cmd.filterIndex, 3);
}

TEST_F(QtOpenDialogTest, ACancelLeavesTheNamesAsTheyWere) {
  cmd.fileName = "before";
  cmd.fileTitle = "bare before";
  EXPECT_FALSE(Show([](QFileDialog& dialog) { dialog.reject(); }));
  EXPECT_EQ(cmd.fileName, "before");
  EXPECT_EQ(cmd.fileTitle, "bare before");
}

}  // namespace
