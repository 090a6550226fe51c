#include "window_fixture.h"

namespace {

using OutputNameWindowTest = WindowTest;

// A box is locked (read-only on the button face colour) or open (writable on the window background); anything
// else is mixed.
enum Lock { open, locked, mixed };

struct Boxes {
  std::string create;  // the output name
  Lock txtCreate, txtPath;
  bool operator==(const Boxes&) const = default;
  friend void PrintTo(const Boxes& b, std::ostream* out) { *out << b.create << " " << b.txtCreate << b.txtPath; }
};

Lock LockOf(const QLineEdit* box) {
  const QColor meant = QApplication::palette().color(box->isReadOnly() ? QPalette::Button : QPalette::Base);
  return box->palette().color(QPalette::Base) != meant ? mixed : box->isReadOnly() ? locked : open;
}

Boxes Now(const ui::frm& w) { return {w.txtCreate->text().toStdString(), LockOf(w.txtCreate), LockOf(w.txtPath)}; }

// Types at the end of the box, or over its whole text.
void Type(QLineEdit* box, const char* keys, bool over = false) {
  box->setFocus();
  over ? box->selectAll() : box->end(false);
  QTest::keyClicks(box, keys);
}

TEST_F(OutputNameWindowTest, AutoAndChangeDirectoryDeriveTheNameAndLockBoxes) {
  Write(Field::chdir, engine::kUnchecked);
  Write(Field::rom, "/nes/mario.nes");
  // A grey Auto derives nothing.
  EXPECT_EQ(Now(*window), (Boxes{.create = "create", .txtCreate = locked, .txtPath = locked}));
  Write(Field::autocreate, engine::kChecked);
  EXPECT_EQ(Now(*window), (Boxes{.create = "/nes/CORRUPT.nes", .txtCreate = locked, .txtPath = locked}));
  EXPECT_EQ(window->txtCreate->cursorPosition(), 0);  // a long name shows its start
  QTest::mouseClick(window->optAutoCreate, Qt::LeftButton);
  Write(Field::rom, "/snes/zelda.smc");
  EXPECT_EQ(Now(*window), (Boxes{.create = "/nes/CORRUPT.nes", .txtCreate = open, .txtPath = locked}));
  Type(window->txtCreate, "mine.bin", true);
  QTest::mouseClick(window->optAutoCreate, Qt::LeftButton);
  EXPECT_EQ(Now(*window), (Boxes{.create = "/snes/CORRUPT.smc", .txtCreate = locked, .txtPath = locked}));
  Type(window->txtROM, "x");  // every keystroke in the ROM box derives again
  EXPECT_EQ(window->txtCreate->text(), "/snes/CORRUPT.smcx");
  // Checking "Change directory to:" opens the path box; the name follows at the next change only.
  Write(Field::path, "/nes/");
  Write(Field::rom, "/nes/mario.nes");
  QTest::mouseClick(window->optChdir, Qt::LeftButton);
  EXPECT_EQ(Now(*window), (Boxes{.create = "/nes/CORRUPT.nes", .txtCreate = locked, .txtPath = open}));  // not yet
  Type(window->txtPath, "\b/");                                                                          // every keystroke in the path derives again
  EXPECT_EQ(window->txtCreate->text(), "CORRUPT.nes");
  QTest::mouseClick(window->optChdir, Qt::LeftButton);
  EXPECT_EQ(Now(*window), (Boxes{.create = "CORRUPT.nes", .txtCreate = locked, .txtPath = locked}));
  Write(Field::chdir, engine::kGrey);  // opens the path box, yet counts as unchecked: the name keeps the folder
  Write(Field::rom, "/nes/mario.fds");
  EXPECT_EQ(Now(*window), (Boxes{.create = "/nes/CORRUPT.fds", .txtCreate = locked, .txtPath = open}));
}

}  // namespace
