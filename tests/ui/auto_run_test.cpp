#include <QSignalSpy>
#include <chrono>
#include <fstream>
#include <thread>

#include "support/temp_dir.h"
#include "window_fixture.h"

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<unsigned char>;
using Lines = std::vector<std::string>;

Bytes Counting(std::size_t size) {
  Bytes bytes(size);
  for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<unsigned char>(i * 5 + 1);
  return bytes;
}

// Adds `amount` to the bytes first to last, the end included.
void AddTo(Bytes& bytes, int first, int last, int amount) {
  for (auto i = static_cast<std::size_t>(first); i <= static_cast<std::size_t>(last); ++i)
    bytes[i] = static_cast<unsigned char>(bytes[i] + amount);
}

// A job in a temporary working directory: ROM "rom.bin" of 64 bytes and an
// output "CORRUPT.bin" already made from it and not made again, so that the
// runs' changes add up; add 1 to every byte; start $8, step $10.
class AutoJobTest : public WindowTest {
 protected:
  void PrepareJob() {
    rom = Counting(64);
    dir.Write("rom.bin", rom);
    dir.Write("CORRUPT.bin", rom);
    LoadFirstRunDefaults();
    Write("path", dir.path().string() + "/");
    Write("emu", std::string("emu"));
    Write("rom", std::string("rom.bin"));
    Write("optoverwrite", engine::kUnchecked);
    Write("optall", true);
    Write("optadd", true);
    Write("add", std::string("1"));
    Write("start", std::string("$8"));
    Write("end", std::string("$17"));
    Write("inc", std::string("$10"));
  }

  Bytes Output() { return TempDir::Read(dir / "CORRUPT.bin"); }
  std::string Start() { return window->txtStart->text().toStdString(); }
  std::string End() { return window->txtEnd->text().toStdString(); }
  std::string Status() { return window->lblStatus->text().toStdString(); }

  TempDir dir;
  Bytes rom;
};

// The same job with the real launcher and a real emulator: a script that
// appends its arguments to a record file.
class AutoWalkTest : public AutoJobTest {
 protected:
  AutoWalkTest() {
    ui::Services services = FakeServices();
    services.launcher = nullptr;  // the real one
    window = std::make_unique<ui::frm>(services);
    PrepareJob();
    const fs::path script = dir.path() / "emu";
    std::ofstream(script) << "#!/bin/sh\nprintf '%s\\n' \"$*\" >> '" << (dir / "record.txt") << "'\n";
    fs::permissions(script, fs::perms::owner_all);
  }

  // The emulators' records once `count` have arrived, waiting a bounded
  // while for the detached processes.
  Lines Records(std::size_t count) {
    Lines lines;
    for (int attempt = 0; attempt < 1500; ++attempt) {
      lines.clear();
      std::ifstream in(dir / "record.txt");
      for (std::string line; std::getline(in, line);) lines.push_back(line);
      if (lines.size() >= count) break;
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return lines;
  }
};

class AutoRunTest : public AutoJobTest {
 protected:
  AutoRunTest() { PrepareJob(); }
};

TEST_F(AutoWalkTest, EachPressAltersTheNextBlockAndStartsTheEmulator) {
  Write("end", std::string("x"));
  QTest::mouseClick(window->cmdAutoEnd, Qt::LeftButton);
  ASSERT_EQ(End(), "$17");

  Bytes expected = rom;
  const struct {
    int first, last;
    const char* start;
    const char* end;
  } presses[] = {{0x08, 0x17, "$18", "$27"}, {0x18, 0x27, "$28", "$37"}, {0x28, 0x37, "$38", "$47"}};
  for (const auto& press : presses) {
    QTest::mouseClick(window->cmdAuto, Qt::LeftButton);
    AddTo(expected, press.first, press.last, 1);
    EXPECT_EQ(Output(), expected) << "after the run on " << press.first << "-" << press.last;
    EXPECT_EQ(Start(), press.start);
    EXPECT_EQ(End(), press.end);
    EXPECT_EQ(Status(), "Status: Ready!");
  }
  EXPECT_TRUE(dialogs.messages.empty());
  EXPECT_EQ(Records(3), (Lines{"CORRUPT.bin", "CORRUPT.bin", "CORRUPT.bin"}));
  EXPECT_EQ(TempDir::Read(dir / "rom.bin"), rom);
}

TEST_F(AutoRunTest, EnterPressesGoUntilAutoHasBeenPressedAndAutoFromThenOn) {
  ShowActive();
  QSignalSpy go(window->cmdGo, &QPushButton::clicked);
  QSignalSpy autoRun(window->cmdAuto, &QPushButton::clicked);

  window->txtStart->setFocus();
  QTest::keyClick(window->txtStart, Qt::Key_Return);
  EXPECT_EQ(go.count(), 1);
  EXPECT_EQ(autoRun.count(), 0);
  EXPECT_EQ(Start(), "$8");  // GO leaves the range where it is
  EXPECT_TRUE(window->cmdGo->isDefault());

  QTest::mouseClick(window->cmdAuto, Qt::LeftButton);
  EXPECT_TRUE(window->cmdAuto->isDefault());
  EXPECT_FALSE(window->cmdGo->isDefault());
  EXPECT_EQ(window->DefaultButton(), window->cmdAuto);

  // From a text box and from a check box, Enter now presses "Auto >>".
  for (QWidget* focus : std::initializer_list<QWidget*>{window->txtStart, window->optOverwrite}) {
    focus->setFocus(Qt::OtherFocusReason);
    ASSERT_EQ(QApplication::focusWidget(), focus);
    QTest::keyClick(focus, Qt::Key_Return);
  }
  EXPECT_EQ(go.count(), 1);
  EXPECT_EQ(autoRun.count(), 3);
  EXPECT_EQ(Start(), "$38");
  EXPECT_EQ(End(), "$47");

  Bytes expected = rom;
  AddTo(expected, 0x08, 0x17, 2);  // GO and the first "Auto >>"
  AddTo(expected, 0x18, 0x37, 1);
  EXPECT_EQ(Output(), expected);
  EXPECT_EQ(launcher.started.size(), 4u);
  EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(AutoRunTest, ARunThatEndsWithAMessageStillMovesTheRange) {
  struct Case {
    const char* name;
    const char* start;
    const char* end;
    const char* inc;
    bool removeOutput;
    std::string message;
    std::string status;  // "" keeps the status as it was
    const char* startAfter;
    const char* endAfter;
  };
  const Case cases[] = {
      {"end beyond the file", "$38", "$47", "$10", false,
       "The specified end reaches beyond the end of the file!\r\n40 vs 47", "", "$48", "$57"},
      // "Auto End" with a zero step leaves the end one below the start: the
      // run refuses it, and the zero step keeps the range where it is.
      {"zero step", "$1010", "$100F", "", false, "You gave a baaaaad range to corrupt! (1010-100F)",
       "", "$1010", "$100F"},
      {"no output file", "$8", "$17", "$10", true, "There were problems accessing files!",
       "Status: Error!", "$18", "$27"},
      // The run fails on the start, and so does the step: nothing moves.
      {"lone quote start", "'", "$17", "$10", false, "There were problems accessing files!",
       "Status: Error!", "'", "$17"},
  };
  for (const Case& c : cases) {
    PrepareJob();
    if (c.removeOutput) fs::remove(dir / "CORRUPT.bin");
    Write("start", std::string(c.start));
    Write("end", std::string(c.end));
    Write("inc", std::string(c.inc));
    dialogs.messages.clear();
    launcher.started.clear();
    window->lblStatus->setText("before");

    QTest::mouseClick(window->cmdAuto, Qt::LeftButton);

    EXPECT_EQ(dialogs.messages, (std::vector<std::string>{c.message})) << c.name;
    EXPECT_EQ(Status(), c.status.empty() ? "before" : c.status) << c.name;
    EXPECT_EQ(Start(), c.startAfter) << c.name;
    EXPECT_EQ(End(), c.endAfter) << c.name;
    EXPECT_TRUE(window->cmdAuto->isDefault()) << c.name;
    EXPECT_TRUE(launcher.started.empty()) << c.name;
    if (!c.removeOutput) {
      EXPECT_EQ(Output(), rom) << c.name;
    }
  }
}

}  // namespace
