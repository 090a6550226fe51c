#include "window_fixture.h"

namespace {

using OutputNameWindowTest = WindowTest;

// The output name, then whether each of txtCreate and txtPath is locked (read-only on the button
// face colour) or open (writable on the window background).
std::string State(const ui::frm& w) {
  std::string state = w.txtCreate->text().toStdString();
  for (const QLineEdit* box : {w.txtCreate, w.txtPath}) {
    const QColor meant = QApplication::palette().color(box->isReadOnly() ? QPalette::Button : QPalette::Base);
    state += box->palette().color(QPalette::Base) != meant ? " mixed" : box->isReadOnly() ? " locked" : " open";
  }
  return state;
}

// Types at the end of the box, or over its whole text.
void Type(QLineEdit* box, const char* keys, bool over = false) {
  box->setFocus();
  over ? box->selectAll() : box->end(false);
  QTest::keyClicks(box, keys);
}

TEST_F(OutputNameWindowTest, AutoAndChangeDirectoryDeriveTheNameAndLockBoxesAndTypingStopsAtTheLimit) {
  Write(Field::chdir, engine::kUnchecked);
  Write(Field::rom, "/nes/mario.nes");
  EXPECT_EQ(State(*window), "create locked locked");  // grey Auto derives nothing
  Write(Field::autocreate, engine::kChecked);
  EXPECT_EQ(State(*window), "/nes/CORRUPT.nes locked locked");
  EXPECT_EQ(window->txtCreate->cursorPosition(), 0);  // a long name shows its start
  QTest::mouseClick(window->optAutoCreate, Qt::LeftButton);
  Write(Field::rom, "/snes/zelda.smc");
  EXPECT_EQ(State(*window), "/nes/CORRUPT.nes open locked");
  Type(window->txtCreate, "mine.bin", true);
  QTest::mouseClick(window->optAutoCreate, Qt::LeftButton);
  EXPECT_EQ(State(*window), "/snes/CORRUPT.smc locked locked");
  Type(window->txtROM, "x");  // every keystroke in the ROM box derives again
  EXPECT_EQ(window->txtCreate->text(), "/snes/CORRUPT.smcx");
  // Checking "Change directory to:" opens the path box; the name follows at the next change only.
  Write(Field::path, "/nes/");
  Write(Field::rom, "/nes/mario.nes");
  QTest::mouseClick(window->optChdir, Qt::LeftButton);
  EXPECT_EQ(State(*window), "/nes/CORRUPT.nes locked open");  // not derived again yet
  Type(window->txtPath, "\b/");                               // every keystroke in the path derives again
  EXPECT_EQ(window->txtCreate->text(), "CORRUPT.nes");
  QTest::mouseClick(window->optChdir, Qt::LeftButton);
  EXPECT_EQ(State(*window), "CORRUPT.nes locked locked");
  Write(Field::chdir, engine::kGrey);  // opens the path box, yet counts as unchecked: the name keeps the folder
  Write(Field::rom, "/nes/mario.fds");
  EXPECT_EQ(State(*window), "/nes/CORRUPT.fds locked open");

  // 16 typed characters fit txtStart, the 17th does not; a longer text written by code stays whole,
  // and once edited takes nothing beyond what it holds.
  Type(window->txtStart, "0123456789ABCDEFG", true);
  EXPECT_EQ(window->txtStart->text(), "0123456789ABCDEF");
  Write(Field::start, "0123456789ABCDEFGHIJ");
  Type(window->txtStart, "\bxy");
  EXPECT_EQ(window->txtStart->text(), "0123456789ABCDEFGHI");
}

}  // namespace
