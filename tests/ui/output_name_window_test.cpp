#include "window_fixture.h"

namespace {

using OutputNameWindowTest = WindowTest;

// A locked box is read-only on the button face colour; an open one writable
// on the window background.
std::string Lock(const QLineEdit* box) {
  const QColor base = box->palette().color(QPalette::Base);
  if (box->isReadOnly() && base == QApplication::palette().color(QPalette::Button)) return "locked";
  if (!box->isReadOnly() && base == QApplication::palette().color(QPalette::Base)) return "open";
  return "mixed";
}

TEST_F(OutputNameWindowTest, SwitchingAutoOffAndOn) {
  Write("chdir", engine::kUnchecked);
  Write("rom", "/nes/mario.nes");
  EXPECT_EQ(window->txtCreate->text(), "create");  // grey Auto derives nothing
  Write("autocreate", engine::kChecked);
  EXPECT_EQ(window->txtCreate->text(), "/nes/CORRUPT.nes");
  EXPECT_EQ(Lock(window->txtCreate), "locked");

  QTest::mouseClick(window->optAutoCreate, Qt::LeftButton);
  EXPECT_EQ(ui::frm::CheckValue(window->optAutoCreate), engine::kUnchecked);
  EXPECT_EQ(window->txtCreate->text(), "/nes/CORRUPT.nes");
  EXPECT_EQ(Lock(window->txtCreate), "open");
  Write("rom", "/snes/zelda.smc");
  EXPECT_EQ(window->txtCreate->text(), "/nes/CORRUPT.nes");
  window->txtCreate->setFocus();
  window->txtCreate->selectAll();
  QTest::keyClicks(window->txtCreate, "mine.bin");
  EXPECT_EQ(window->txtCreate->text(), "mine.bin");

  QTest::mouseClick(window->optAutoCreate, Qt::LeftButton);
  EXPECT_EQ(window->txtCreate->text(), "/snes/CORRUPT.smc");
  EXPECT_EQ(Lock(window->txtCreate), "locked");
  // Every keystroke in the ROM box derives again.
  window->txtROM->setFocus();
  window->txtROM->end(false);
  QTest::keyClicks(window->txtROM, "x");
  EXPECT_EQ(window->txtCreate->text(), "/snes/CORRUPT.smcx");
}

TEST_F(OutputNameWindowTest, ChdirLocksThePathAndTakesEffectOnlyAtTheNextChange) {
  Write("path", "/nes/");
  Write("rom", "/nes/mario.nes");
  Write("chdir", engine::kUnchecked);
  EXPECT_EQ(Lock(window->txtPath), "locked");
  Write("autocreate", engine::kChecked);
  EXPECT_EQ(window->txtCreate->text(), "/nes/CORRUPT.nes");

  QTest::mouseClick(window->optChdir, Qt::LeftButton);
  EXPECT_EQ(ui::frm::CheckValue(window->optChdir), engine::kChecked);
  EXPECT_EQ(Lock(window->txtPath), "open");
  EXPECT_EQ(window->txtCreate->text(), "/nes/CORRUPT.nes");  // not yet

  // Every keystroke in the path derives again.
  window->txtPath->setFocus();
  window->txtPath->end(false);
  QTest::keyClick(window->txtPath, Qt::Key_Backspace);
  EXPECT_EQ(window->txtCreate->text(), "/nes/CORRUPT.nes");
  QTest::keyClicks(window->txtPath, "/");
  EXPECT_EQ(window->txtCreate->text(), "CORRUPT.nes");

  QTest::mouseClick(window->optChdir, Qt::LeftButton);
  EXPECT_EQ(Lock(window->txtPath), "locked");
  EXPECT_EQ(window->txtCreate->text(), "CORRUPT.nes");
  Write("rom", "/nes/mario.fds");
  EXPECT_EQ(window->txtCreate->text(), "/nes/CORRUPT.fds");
}

}  // namespace
