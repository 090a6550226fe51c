#include <QMenu>
#include <QProgressBar>
#include <QWindow>
#include <functional>
#include <thread>
#include <utility>

#include "engine/fresh_copy.h"
#include "platform/detached_launcher.h"
#include "window_fixture.h"

namespace {

using Lines = std::vector<std::string>;

class RunTest : public JobWindowTest {
 protected:
  void Press(QPushButton* button) { QTest::mouseClick(button, Qt::LeftButton); }
  // The range as the start and end boxes show it, "$10-$1F".
  std::string Range() { return (window->txtStart->text() + "-" + window->txtEnd->text()).toStdString(); }
};

// GO alters the range of the output and starts the emulator on it; a grey "Overwrite Old File" counts as unchecked
// and makes no fresh copy.
TEST_F(RunTest, GoAltersTheRangeAndStartsTheEmulator) {
  dir.Write("CORRUPT.bin", Bytes(64, 0xEE));
  Write(Field::optoverwrite, engine::kGrey);
  Press(window->cmdGo);
  EXPECT_EQ(Output(), Plus(Bytes(64, 0xEE), 0x10, 0x1F));
  EXPECT_EQ(launcher.started, (Lines{"emu --fast CORRUPT.bin"}));
  EXPECT_EQ(Status(), "Status: Ready!");
  EXPECT_TRUE(dialogs.messages.empty());
}

// Each refusal puts the focus into the box at fault; an Auto step refused for its range still moves the range on. A
// program that cannot be started fails after the range was written: here the real launcher refuses the output itself,
// named by a lone "%1".
TEST_F(RunTest, RefusalsAndFailuresReachTheUser) {
  platform::DetachedLauncher realLauncher;
  services.launcher = &realLauncher;
  Rebuild();
  ShowActive();
  const struct {
    Field option, field;
    const char* value;
    QLineEdit* focus;
  } cases[] = {
      {.option = Field::optnth, .field = Field::nth, .value = "0", .focus = window->txtNth},
      {.option = Field::optbyterange, .field = Field::range2, .value = "$100", .focus = window->txtRange1},
      {.option = Field::optshift, .field = Field::shift, .value = "15", .focus = window->txtShift},
  };
  for (const auto& c : cases) {
    PrepareJob();
    Write(Field::optcorrupt, c.option == Field::optbyterange);
    Write(c.option, true);
    Write(c.field, c.value);
    window->txtStart->setFocus();
    Press(window->cmdGo);
    EXPECT_EQ(QApplication::focusWidget(), c.focus) << engine::RowOf(c.field).key;
  }
  Write(Field::optall, true);
  Write(Field::start, "$38");
  Write(Field::end, "$47");
  Press(window->cmdAuto);
  EXPECT_EQ(Range(), "$48-$57");
  PrepareJob();
  Write(Field::emu, "%1");
  Press(window->cmdGo);
  EXPECT_EQ(Output(), Plus(rom, 0x10, 0x1F));
  EXPECT_EQ(dialogs.messages, (Lines{"Put is at least SOMETHING for 'Every ?th byte'!", "Bad Random Range! (0-100)",
                                     "You're not doing anything, shifting by 0!", "The specified end reaches beyond the end of the file!\r\n40 vs 47",
                                     "There were problems accessing files!\r\n\"CORRUPT.bin\" is the output file, not a "
                                     "program"}));
}

TEST_F(RunTest, CreateNowCopiesUnderTheTypedNameAndSaysSo) {
  Write(Field::autocreate, engine::kUnchecked);
  Write(Field::optoverwrite, engine::kUnchecked);
  window->txtCreate->setText("typed name.bin");
  window->lblStatus->setText("before");
  Press(window->cmdCreateNow);
  // A name holding NUL (from a hand-edited store) names no file, not the file before the NUL.
  window->txtROM->setText(QString::fromUtf8("rom.bin\0x", 9));
  window->txtCreate->setText(QString::fromUtf8("new.bin\0x", 9));
  Press(window->cmdCreateNow);
  EXPECT_EQ(dialogs.messages, (Lines{"typed name.bin created successfully!",
                                     "Error!  New file NOT created!\r\nFile not found: \"rom.bin\\0x\" (the name holds a NUL byte)"}));
  EXPECT_EQ(TempDir::Read(dir / "typed name.bin"), rom);
  EXPECT_FALSE(std::filesystem::exists(dir / "new.bin"));
  EXPECT_EQ(Status(), "before");
  EXPECT_TRUE(launcher.started.empty());
}

// While the run works (here: in its first read, on the worker thread) the progress bar shows the bytes of this run
// alone, and no press of GO or Enter, no typing and no menu key reaches the window; the close box waits until the run
// has ended with everything written, the bar gone. Each press makes a full copy of the 64-byte ROM written moments
// ago, the 16-byte range read from the ROM and altered on its way: the 48 bytes around the range are done at its first
// read, 750 of 1000 on the bar by its next tick.
TEST_F(RunTest, MidRunInputReachesNothingAndTheCloseBoxWaitsForTheRun) {
  struct Row {
    void (ui::frm::*press)();
    const char* rangeAfter;
  };
  const Row rows[] = {
      {.press = &ui::frm::cmdGo_Click, .rangeAfter = "$10-$1F"},
      {.press = &ui::frm::cmdAuto_Click, .rangeAfter = "$20-$2F"},
  };
  for (const Row& row : rows) {
    ShowActive();
    bool firstRead = true, barShown = false, menuOpened = false;
    int barValue = -1;
    files.before["ReadOnlyAt"] = [&](const std::string&) {  // the range's first read
      if (!std::exchange(firstRead, false)) return;
      QMetaObject::invokeMethod(
          window.get(),
          [&] {
            barShown = QTest::qWaitFor([&] { return window->prgRun->value() > 0; }) && window->prgRun->isVisible();
            barValue = window->prgRun->value();
            Press(window->cmdGo);
            window->cmdGo_Click();  // as a reaction reached by no input would call it
            QTest::keyClick(window->txtStart, Qt::Key_Return);
            QTest::keyClick(window->txtStart, Qt::Key_Delete);  // would leave the start 10
            QTest::keyClick(window.get(), Qt::Key_F, Qt::AltModifier);
            menuOpened = QApplication::activePopupWidget() != nullptr;
            window->windowHandle()->close();
          },
          Qt::BlockingQueuedConnection);
    };
    launcher.started.clear();
    (window.get()->*row.press)();
    EXPECT_TRUE(barShown);
    EXPECT_EQ(barValue, 750);  // of 1000
    EXPECT_FALSE(menuOpened);
    EXPECT_EQ(Output(), Plus(rom, 0x10, 0x1F));
    EXPECT_EQ(Range(), row.rangeAfter);
    EXPECT_EQ(window->lblStatus->text(), "Status: Ready!");
    EXPECT_EQ(launcher.started.size(), 1u);
    EXPECT_TRUE(window->isVisible());
    EXPECT_FALSE(window->prgRun->isVisible());
    QCoreApplication::processEvents();
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(store.values["Defaults/start"], std::string(row.rangeAfter, 3));
  }
  // Outside a run the same menu key opens the File menu.
  ShowActive();
  QTest::keyClick(window.get(), Qt::Key_F, Qt::AltModifier);
  EXPECT_EQ(QApplication::activePopupWidget(), static_cast<QWidget*>(window->mnuFile));
  window->mnuFile->close();
}

// The Cancel button beside the progress bar and Esc stop a run at its next piece: nothing starts, and the status
// line and a message say what was left.
TEST_F(RunTest, CancelAndEscStopTheRunAtItsNextPiece) {
  ShowActive();
  const struct {
    const char* gesture;
    std::function<void()> cancel;
  } rows[] = {
      {.gesture = "a click on Cancel, through the window as a real click arrives",
       .cancel =
           [&] {
             QTest::mouseClick(window->windowHandle(), Qt::LeftButton, {},
                               window->cmdCancel->mapTo(window.get(), window->cmdCancel->rect().center()));
           }},
      {.gesture = "Esc in a box", .cancel = [&] { QTest::keyClick(window->txtStart, Qt::Key_Escape); }},
  };
  for (const auto& row : rows) {
    files.before["ReadOnlyAt"] = [&](const std::string&) { QMetaObject::invokeMethod(window.get(), row.cancel, Qt::BlockingQueuedConnection); };
    Press(window->cmdGo);
    EXPECT_EQ(Status(), "Status: Cancelled!") << row.gesture;
    EXPECT_EQ(dialogs.messages.back(), engine::kCancelledCopyMessage) << row.gesture;
    EXPECT_TRUE(launcher.started.empty()) << row.gesture;
  }
}

// A call into the window from another thread ends the program at once, naming the call, instead of touching widgets
// from two threads.
TEST_F(RunTest, WindowCallsFromTheWorkerThreadEndTheProgram) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_DEATH(std::thread([&] { window->SetStatus("from the worker"); }).join(), "SetStatus called off the window's thread");
  EXPECT_DEATH(std::thread([&] { window->ShowMessage("from the worker"); }).join(), "ShowMessage called off the window's thread");
}

}  // namespace
