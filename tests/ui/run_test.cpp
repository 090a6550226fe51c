#include <QProgressBar>
#include <QWindow>
#include <chrono>
#include <thread>

#include "platform/detached_launcher.h"
#include "support/temp_dir.h"
#include "window_fixture.h"

namespace {

using Bytes = std::vector<unsigned char>;
using Lines = std::vector<std::string>;

Bytes Plus(Bytes bytes, int first, int last) {
  for (int i = first; i <= last; ++i) ++bytes[std::size_t(i)];
  return bytes;
}

// A job in a temporary working directory: ROM "rom.bin" of 64 bytes, the output name derived as
// "CORRUPT.bin", add 1 to every byte of $10-$1F.
class RunTest : public WindowTest {
 protected:
  RunTest() { PrepareJob(); }
  void PrepareJob() {
    for (int i = 0; i < 64; ++i) rom[std::size_t(i)] = static_cast<unsigned char>(i * 7 + 3);
    dir.Write("rom.bin", rom);
    Apply(engine::FirstRunDefaults());
    Write(Field::path, dir.path().string() + "/");
    Write(Field::emu, "emu --fast");
    Write(Field::rom, "rom.bin");
    Write(Field::start, "$10");
    Write(Field::end, "$1F");
    Write(Field::inc, "$10");
    Write(Field::optadd, true);
  }
  void Press(QPushButton* button) { QTest::mouseClick(button, Qt::LeftButton); }
  Bytes Output() { return TempDir::Read(dir / "CORRUPT.bin"); }
  // The range as the start and end boxes show it, "$10-$1F".
  std::string Range() { return (window->txtStart->text() + "-" + window->txtEnd->text()).toStdString(); }
  std::string Status() { return window->lblStatus->text().toStdString(); }
  std::string RangeAndStatus() { return Range() + " " + Status(); }

  TempDir dir;
  Bytes rom = Bytes(64);
};

// A grey check field counts as unchecked in a run: Overwrite makes no fresh copy, Change directory
// to: stays in the working directory, Auto leaves the typed output name.
TEST_F(RunTest, GoAltersTheRangeOfAFreshCopyAndStartsTheEmulator) {
  dir.Write("CORRUPT.bin", Bytes(100, 0xEE));  // replaced by the copy
  Press(window->cmdGo);
  EXPECT_EQ(Output(), Plus(rom, 0x10, 0x1F));
  EXPECT_EQ(launcher.started, (Lines{"emu --fast CORRUPT.bin"}));
  EXPECT_EQ(Range(), "$10-$1F");
  EXPECT_EQ(Status(), "Status: Ready!");
  EXPECT_TRUE(dialogs.messages.empty());
  Write(Field::optoverwrite, engine::kGrey);
  Press(window->cmdGo);
  EXPECT_EQ(Output(), Plus(Plus(rom, 0x10, 0x1F), 0x10, 0x1F));
  Write(Field::optoverwrite, engine::kChecked);
  Write(Field::autocreate, engine::kGrey);
  window->txtCreate->setText("typed.bin");
  std::filesystem::current_path(dir.path());
  Write(Field::chdir, engine::kGrey);
  Write(Field::path, "/nowhere/");
  Press(window->cmdGo);
  EXPECT_EQ(TempDir::Read(dir / "typed.bin"), Plus(rom, 0x10, 0x1F));
  EXPECT_EQ(launcher.started.back(), "emu --fast typed.bin");
  EXPECT_EQ(Range(), "$10-$1F");
  EXPECT_EQ(Status(), "Status: Ready!");
}

// Each refusal puts the focus into the box at fault and leaves the fresh copy unaltered; a run
// refused for its range still moves the range on. A program that cannot be started fails after the
// range was written: here the real launcher refuses the output itself, an empty emulator box.
TEST_F(RunTest, RefusalsAndFailuresReachTheUserAndLeaveTheCopyAsTheRunLeftIt) {
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
    EXPECT_EQ(Range(), "$10-$1F");
    EXPECT_EQ(Status(), "Status: Error!");
    EXPECT_EQ(QApplication::focusWidget(), c.focus) << engine::Spec(c.field).key;
    EXPECT_EQ(Output(), rom);
  }
  Write(Field::optall, true);
  Write(Field::start, "$38");
  Write(Field::end, "$47");
  Press(window->cmdAuto);
  EXPECT_EQ(Range(), "$48-$57");
  EXPECT_EQ(Status(), "Status: Error!");
  PrepareJob();
  Write(Field::emu, "");
  std::filesystem::permissions(dir / "rom.bin", std::filesystem::perms(0755));
  Press(window->cmdGo);
  EXPECT_EQ(Range(), "$10-$1F");
  EXPECT_EQ(Status(), "Status: Error!");
  EXPECT_EQ(Output(), Plus(rom, 0x10, 0x1F));
  EXPECT_EQ(std::filesystem::status(dir / "CORRUPT.bin").permissions(), std::filesystem::perms(0644));  // no program
  EXPECT_EQ(dialogs.messages, (Lines{"Put is at least SOMETHING for 'Every ?th byte'!", "Bad Random Range! (0-100)",
                                     "You're not doing anything, shifting by 0!",
                                     "The specified end reaches beyond the end of the file!\r\n40 vs 47",
                                     "There were problems accessing files!"}));
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
  EXPECT_EQ(dialogs.messages,
            (Lines{"typed name.bin created successfully!",
                   "Error!  New file NOT created!\r\nFile not found: \"rom.bin\\0x\" (the name holds a NUL byte)"}));
  EXPECT_EQ(TempDir::Read(dir / "typed name.bin"), rom);
  EXPECT_FALSE(std::filesystem::exists(dir / "new.bin"));
  EXPECT_EQ(Status(), "before");
  EXPECT_TRUE(launcher.started.empty());
}

// While the run works (here: in its first read, on the worker thread, held long enough for the
// progress bar to show) no press of GO or Enter and no typing reaches the window; the close box
// waits until the Auto step has ended with everything written, the bar gone.
TEST_F(RunTest, MidRunInputReachesNothingAndTheCloseBoxWaitsForTheRun) {
  FaultyFileSystem faulty;
  services.files = &faulty;
  // A run of GO alone, and the nested runs of an Auto step, which moves the range on.
  for (const auto& [button, range] : {std::pair{&ui::frm::cmdGo, "$10-$1F"}, {&ui::frm::cmdAuto, "$20-$2F"}}) {
    Rebuild();
    PrepareJob();
    ShowActive();
    int pokes = 0;
    bool barShown = false;
    faulty.before["ReadAt"] = [&](const std::string&) {
      if (pokes++) return;
      std::this_thread::sleep_for(std::chrono::milliseconds(800));
      QMetaObject::invokeMethod(
          window.get(),
          [&] {
            barShown = window->prgRun->isVisible();
            Press(window->cmdGo);
            window->cmdGo_Click();  // as a reaction reached by no input would call it
            QTest::keyClick(window->txtStart, Qt::Key_Return);
            QTest::keyClick(window->txtStart, Qt::Key_Delete);  // would leave the start 10
            window->windowHandle()->close();
          },
          Qt::BlockingQueuedConnection);
    };
    launcher.started.clear();
    Press(window.get()->*button);
    EXPECT_TRUE(barShown);
    EXPECT_EQ(Output(), Plus(rom, 0x10, 0x1F));
    EXPECT_EQ(RangeAndStatus() + " started " + std::to_string(launcher.started.size()) + ", shown " +
                  std::to_string(window->isVisible()) + ", bar " + std::to_string(window->prgRun->isVisible()),
              std::string(range) + " Status: Ready! started 1, shown 1, bar 0");
    QCoreApplication::processEvents();
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(store.values["Defaults/start"], std::string(range, 3));
  }
}

}  // namespace
