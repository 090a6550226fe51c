#include "window_fixture.h"

namespace {

using OutputNameWindowTest = WindowTest;

QColor Base(const QLineEdit* box) { return box->palette().color(QPalette::Base); }
QColor ButtonFace() { return QApplication::palette().color(QPalette::Button); }
QColor WindowBackground() { return QApplication::palette().color(QPalette::Base); }

TEST_F(OutputNameWindowTest, DerivedFromTheRomWhileAutoIsChecked) {
  Write("chdir", engine::kUnchecked);
  Write("path", std::string("/home/ann/nes/"));
  Write("autocreate", engine::kChecked);
  struct Case {
    int chdir;
    const char* path;
    const char* rom;
    const char* expected;
  };
  const Case cases[] = {
      {0, "/home/ann/nes/", "/home/ann/nes/mario.nes", "/home/ann/nes/CORRUPT.nes"},
      {1, "/HOME/ann/NES/", "/home/ann/nes/mario.nes", "CORRUPT.nes"},
      {1, "/home/ann/nes", "/home/ann/nes/mario.nes", "/home/ann/nes/CORRUPT.nes"},
      {1, "/home/ann/nes/", "mario.us.nes", "CORRUPT.nes"},
      {0, "", "MARIO.NES", "CORRUPT.NES"},
      {0, "", "/roms/mario", "/roms/CORRUPT.ROM"},
      {0, "", "/my.roms/mario", "/my.roms/CORRUPT.ROM"},
      {0, "", ".nes", "CORRUPT.ROM"},
      {0, "", "/nes/.nes", "/nes/CORRUPT.nes"},
      {0, "", "mario.", "CORRUPT."},
      {0, "", "", "CORRUPT.ROM"},
      {0, "", R"(C:\nes\mario.nes)", "CORRUPT.nes"},
  };
  for (const Case& c : cases) {
    Write("chdir", c.chdir);
    Write("path", std::string(c.path));
    Write("rom", std::string(c.rom));
    EXPECT_EQ(window->txtCreate->text().toStdString(), c.expected) << c.rom << " in " << c.path;
  }
}

TEST_F(OutputNameWindowTest, TypingInTheRomBoxRederivesAtEveryKeystroke) {
  Write("chdir", engine::kUnchecked);
  Write("rom", std::string());
  Write("autocreate", engine::kChecked);
  QTest::keyClicks(window->txtROM, "/r/m.s");
  EXPECT_EQ(window->txtCreate->text(), "/r/CORRUPT.s");
  QTest::keyClick(window->txtROM, Qt::Key_Backspace);
  EXPECT_EQ(window->txtCreate->text(), "/r/CORRUPT.");
  QTest::keyClick(window->txtROM, Qt::Key_Backspace);
  EXPECT_EQ(window->txtCreate->text(), "/r/CORRUPT.ROM");
}

TEST_F(OutputNameWindowTest, SwitchingAutoOffAndOn) {
  Write("chdir", engine::kUnchecked);
  Write("rom", std::string("/nes/mario.nes"));
  EXPECT_EQ(window->txtCreate->text(), "create");  // grey Auto derives nothing
  Write("autocreate", engine::kChecked);
  EXPECT_EQ(window->txtCreate->text(), "/nes/CORRUPT.nes");
  EXPECT_TRUE(window->txtCreate->isReadOnly());
  EXPECT_EQ(Base(window->txtCreate), ButtonFace());

  QTest::mouseClick(window->optAutoCreate, Qt::LeftButton);
  EXPECT_EQ(ui::frm::CheckValue(window->optAutoCreate), engine::kUnchecked);
  EXPECT_EQ(window->txtCreate->text(), "/nes/CORRUPT.nes");
  EXPECT_FALSE(window->txtCreate->isReadOnly());
  EXPECT_EQ(Base(window->txtCreate), WindowBackground());

  Write("rom", std::string("/snes/zelda.smc"));
  EXPECT_EQ(window->txtCreate->text(), "/nes/CORRUPT.nes");
  window->txtCreate->setFocus();
  window->txtCreate->selectAll();
  QTest::keyClicks(window->txtCreate, "mine.bin");
  EXPECT_EQ(window->txtCreate->text(), "mine.bin");

  QTest::mouseClick(window->optAutoCreate, Qt::LeftButton);
  EXPECT_EQ(window->txtCreate->text(), "/snes/CORRUPT.smc");
  EXPECT_TRUE(window->txtCreate->isReadOnly());
  QTest::keyClicks(window->txtCreate, "x");
  EXPECT_EQ(window->txtCreate->text(), "/snes/CORRUPT.smc");
}

TEST_F(OutputNameWindowTest, ChdirLocksThePathAndTakesEffectOnlyAtTheNextChange) {
  Write("path", std::string("/nes/"));
  Write("rom", std::string("/nes/mario.nes"));
  Write("chdir", engine::kUnchecked);
  EXPECT_TRUE(window->txtPath->isReadOnly());
  EXPECT_EQ(Base(window->txtPath), ButtonFace());
  Write("autocreate", engine::kChecked);
  EXPECT_EQ(window->txtCreate->text(), "/nes/CORRUPT.nes");

  QTest::mouseClick(window->optChdir, Qt::LeftButton);
  EXPECT_EQ(ui::frm::CheckValue(window->optChdir), engine::kChecked);
  EXPECT_FALSE(window->txtPath->isReadOnly());
  EXPECT_EQ(Base(window->txtPath), WindowBackground());
  EXPECT_EQ(window->txtCreate->text(), "/nes/CORRUPT.nes");  // not yet

  // Every keystroke in the path re-derives.
  window->txtPath->setFocus();
  window->txtPath->end(false);
  QTest::keyClick(window->txtPath, Qt::Key_Backspace);
  EXPECT_EQ(window->txtCreate->text(), "/nes/CORRUPT.nes");
  QTest::keyClicks(window->txtPath, "/");
  EXPECT_EQ(window->txtCreate->text(), "CORRUPT.nes");

  QTest::mouseClick(window->optChdir, Qt::LeftButton);
  EXPECT_TRUE(window->txtPath->isReadOnly());
  EXPECT_EQ(window->txtCreate->text(), "CORRUPT.nes");
  Write("rom", std::string("/nes/mario.fds"));
  EXPECT_EQ(window->txtCreate->text(), "/nes/CORRUPT.fds");
}

TEST_F(OutputNameWindowTest, FirstRunDefaultsDeriveOnceAutoIsLoaded) {
  LoadFirstRunDefaults();
  EXPECT_EQ(window->txtCreate->text(), "CORRUPT.nes");
  EXPECT_TRUE(window->txtCreate->isReadOnly());
  EXPECT_FALSE(window->txtPath->isReadOnly());
}

TEST_F(OutputNameWindowTest, LoadingUncheckedStillSetsTheLocks) {
  // Each check box starts grey, so writing 0 is a change and its reaction runs.
  Write("chdir", engine::kUnchecked);
  Write("autocreate", engine::kUnchecked);
  EXPECT_TRUE(window->txtPath->isReadOnly());
  EXPECT_FALSE(window->txtCreate->isReadOnly());
  EXPECT_EQ(window->txtCreate->text(), "create");
}

TEST_F(OutputNameWindowTest, LongAndNonAsciiNamesDeriveWithoutHarm) {
  Write("chdir", engine::kUnchecked);
  Write("autocreate", engine::kChecked);
  Write("rom", std::string(5000, 'a'));
  EXPECT_EQ(window->txtCreate->text(), "CORRUPT.ROM");
  Write("rom", std::string("/d\xC3\xA9j\xC3\xA0/vu.nes"));
  EXPECT_EQ(window->txtCreate->text(), QString::fromUtf8("/d\xC3\xA9j\xC3\xA0/CORRUPT.nes"));
}

}  // namespace
