#include <QProgressBar>
#include <QWindow>
#include <chrono>
#include <fstream>
#include <thread>
#include <utility>

#include "platform/detached_launcher.h"
#include "support/temp_dir.h"
#include "window_fixture.h"

namespace {

using Bytes = std::vector<unsigned char>;
using Lines = std::vector<std::string>;

Bytes Plus(Bytes bytes, int first, int last) {
  for (int i = first; i <= last; ++i) ++bytes[i];
  return bytes;
}

// A job in a temporary working directory: ROM "rom.bin" of 64 bytes, the
// output name derived as "CORRUPT.bin", add 1 to every byte of $10-$1F.
class RunTest : public WindowTest {
 protected:
  RunTest() { PrepareJob(); }
  void PrepareJob() {
    rom.assign(64, 0);
    for (int i = 0; i < 64; ++i) rom[i] = static_cast<unsigned char>(i * 7 + 3);
    dir.Write("rom.bin", rom);
    Apply(engine::FirstRunDefaults());
    for (auto [key, text] : {std::pair{"path", (dir.path().string() + "/")},
                             {"emu", "emu --fast"},
                             {"rom", "rom.bin"},
                             {"start", "$10"},
                             {"end", "$1F"},
                             {"inc", "$10"}})
      Write(key, text);
    Write("optadd", true);
  }
  void Press(QPushButton* button) { QTest::mouseClick(button, Qt::LeftButton); }
  Bytes Output() { return TempDir::Read(dir / "CORRUPT.bin"); }
  std::string Status() { return window->lblStatus->text().toStdString(); }
  std::string Range() { return (window->txtStart->text() + "-" + window->txtEnd->text()).toStdString(); }

  TempDir dir;
  Bytes rom;
};

TEST_F(RunTest, GoAltersTheRangeOfAFreshCopyAndStartsTheEmulator) {
  dir.Write("CORRUPT.bin", Bytes(100, 0xEE));  // replaced by the copy
  window->lblStatus->setText("before");
  Press(window->cmdGo);
  EXPECT_EQ(Output(), Plus(rom, 0x10, 0x1F));
  EXPECT_EQ(TempDir::Read(dir / "rom.bin"), rom);
  EXPECT_TRUE(dialogs.messages.empty());
  EXPECT_EQ(Status(), "Status: Ready!");
  EXPECT_EQ(launcher.started, (Lines{"emu --fast CORRUPT.bin"}));
  EXPECT_EQ(Range(), "$10-$1F");                              // GO leaves the range where it is
  window->optOverwrite->setCheckState(Qt::PartiallyChecked);  // grey is not checked: no fresh copy
  Press(window->cmdGo);
  EXPECT_EQ(Output(), Plus(Plus(rom, 0x10, 0x1F), 0x10, 0x1F));
}

// Each refusal puts the focus into the box at fault and leaves the fresh copy
// unaltered; a run refused for its range still moves the range on.
TEST_F(RunTest, RefusalsReachTheUserAndLeaveTheCopyUnaltered) {
  ShowActive();
  const std::tuple<const char*, const char*, const char*, const char*, QLineEdit*> cases[] = {
      {"optnth", "nth", "0", "Put is at least SOMETHING for 'Every ?th byte'!", window->txtNth},
      {"optbyterange", "range2", "$100", "Bad Random Range! (0-100)", window->txtRange1},
      {"optshift", "shift", "15", "You're not doing anything, shifting by 0!", window->txtShift},
  };
  for (const auto& [option, field, value, message, focus] : cases) {
    PrepareJob();
    Write("optcorrupt", std::string(option) == "optbyterange");
    Write(option, true);
    Write(field, value);
    dialogs.messages.clear();
    window->txtStart->setFocus();
    Press(window->cmdGo);
    EXPECT_EQ(dialogs.messages, (Lines{message}));
    EXPECT_EQ(Status(), "Status: Error!");
    EXPECT_EQ(QApplication::focusWidget(), focus) << field;
    EXPECT_EQ(Output(), rom);
  }
  Write("optall", true);
  Write("start", "$38");
  Write("end", "$47");
  Press(window->cmdAuto);
  EXPECT_EQ(dialogs.messages.back(), "The specified end reaches beyond the end of the file!\r\n40 vs 47");
  EXPECT_EQ(Range(), "$48-$57");
  EXPECT_TRUE(launcher.started.empty());
}

TEST_F(RunTest, CreateNowCopiesUnderTheTypedNameAndSaysSo) {
  Write("autocreate", engine::kUnchecked);
  Write("optoverwrite", engine::kUnchecked);
  window->txtCreate->setText("typed name.bin");
  dir.Write("typed name.bin", Bytes(3, 1));
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

// "Auto End", then three presses of "Auto >>" over an output that is not made
// again, with the real launcher and a script that records its arguments.
TEST_F(RunTest, EachAutoPressAltersTheNextBlockAndStartsTheEmulator) {
  platform::DetachedLauncher realLauncher;
  services.launcher = &realLauncher;
  Rebuild();
  PrepareJob();
  Write("emu", "emu");
  Write("end", "x");
  Write("optoverwrite", engine::kUnchecked);
  dir.Write("CORRUPT.bin", rom);
  std::ofstream(dir / "emu") << "#!/bin/sh\nprintf '%s\\n' \"$*\" >> '" << (dir / "record.txt") << "'\n";
  std::filesystem::permissions(dir / "emu", std::filesystem::perms::owner_all);
  Press(window->cmdAutoEnd);
  ASSERT_EQ(Range(), "$10-$1F");
  Bytes expected = rom;
  for (auto [first, after] : {std::pair{0x10, "$20-$2F"}, {0x20, "$30-$3F"}, {0x30, "$40-$4F"}}) {
    Press(window->cmdAuto);
    expected = Plus(expected, first, first + 15);
    EXPECT_EQ(Output(), expected) << "run on " << first;
    EXPECT_EQ(Range() + " " + Status(), std::string(after).append(" Status: Ready!"));
  }
  EXPECT_TRUE(dialogs.messages.empty());
  EXPECT_EQ(TempDir::Read(dir / "rom.bin"), rom);
  Lines records;
  for (int attempt = 0; attempt < 1500 && records.size() < 3; ++attempt) {  // detached: wait a while
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    std::ifstream in(dir / "record.txt");
    records.clear();
    for (std::string line; std::getline(in, line);) records.push_back(line);
  }
  EXPECT_EQ(records, (Lines{"CORRUPT.bin", "CORRUPT.bin", "CORRUPT.bin"}));

  // An empty emulator box would start the output itself, a shell script here:
  // a program that cannot be started, after the range was written. The copy of
  // an executable ROM is no program; an output that shows as one (as every file
  // on a FAT mount does) is refused all the same.
  Bytes script(64, ' ');
  const std::string text = "#!/bin/sh\ntouch ran\n#";
  std::copy(text.begin(), text.end(), script.begin());
  dir.Write("rom.bin", script);
  std::filesystem::permissions(dir / "rom.bin", std::filesystem::perms(0755));
  Write("start", "$20");
  Write("end", "$2F");
  Bytes altered = script;
  for (const char* emulator : {"", "\"\"", "%1", "./%1"}) {
    Write("emu", emulator);
    Write("optoverwrite", *emulator ? engine::kUnchecked : engine::kChecked);
    Press(window->cmdGo);
    EXPECT_EQ(dialogs.messages.back() + " " + Status(), "There were problems accessing files! Status: Error!")
        << emulator;
    altered = Plus(altered, 0x20, 0x2F);
    EXPECT_EQ(Output(), altered) << emulator;
    if (!*emulator) {
      EXPECT_EQ(std::filesystem::status(dir / "CORRUPT.bin").permissions(), std::filesystem::perms(0644));
      std::filesystem::permissions(dir / "CORRUPT.bin", std::filesystem::perms(0755));
    }
  }
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  EXPECT_FALSE(std::filesystem::exists(dir / "ran"));
}

// While the run works (here: in its first read, on the worker thread) no
// press of GO or Enter and no typing reaches the window; the close box waits
// until the Auto step has ended with everything written.
TEST_F(RunTest, MidRunInputReachesNothingAndTheCloseBoxWaitsForTheRun) {
  FaultyFileSystem faulty;
  services.files = &faulty;
  Rebuild();
  PrepareJob();
  ShowActive();
  bool poked = false;
  faulty.before["ReadAt"] = [&](const std::string&) {
    if (std::exchange(poked, true)) return;
    QMetaObject::invokeMethod(
        window.get(),
        [&] {
          Press(window->cmdGo);
          QTest::keyClick(window->txtStart, Qt::Key_Return);
          QTest::keyClick(window->txtStart, Qt::Key_Delete);  // would leave the start 10
          window->windowHandle()->close();
        },
        Qt::BlockingQueuedConnection);
  };
  Press(window->cmdAuto);
  ASSERT_TRUE(poked);
  EXPECT_EQ(Output(), Plus(rom, 0x10, 0x1F));
  EXPECT_EQ(launcher.started.size(), 1u);
  EXPECT_EQ(Range() + " " + Status(), "$20-$2F Status: Ready!");
  EXPECT_TRUE(window->isVisible());
  EXPECT_FALSE(window->prgRun->isVisible());
  QCoreApplication::processEvents();
  EXPECT_FALSE(window->isVisible());
  EXPECT_EQ(store.Read("Defaults", "start"), "$20");
}

}  // namespace
