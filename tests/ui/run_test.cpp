#include "support/temp_dir.h"
#include "window_fixture.h"

namespace {

std::vector<unsigned char> Counting(std::size_t size) {
  std::vector<unsigned char> bytes(size);
  for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<unsigned char>(i * 7 + 3);
  return bytes;
}

// A job in a temporary working directory: ROM "rom.bin" of 64 bytes, the
// output name derived as "CORRUPT.bin", add 1 to every byte of $10-$1F.
class RunTest : public WindowTest {
 protected:
  RunTest() {
    rom = Counting(64);
    dir.Write("rom.bin", rom);
    LoadFirstRunDefaults();
    Write("path", dir.path().string() + "/");
    Write("emu", std::string("emu --fast"));
    Write("rom", std::string("rom.bin"));
    Write("start", std::string("$10"));
    Write("end", std::string("$1F"));
    Write("optadd", true);
    Write("add", std::string("1"));
  }

  std::vector<unsigned char> Output() { return TempDir::Read(dir / "CORRUPT.bin"); }
  std::string Status() { return window->lblStatus->text().toStdString(); }

  TempDir dir;
  std::vector<unsigned char> rom;
};

TEST_F(RunTest, GoAltersTheRangeOfAFreshCopyAndStartsTheEmulator) {
  ASSERT_EQ(window->txtCreate->text(), "CORRUPT.bin");
  dir.Write("CORRUPT.bin", std::vector<unsigned char>(100, 0xEE));  // replaced by the copy
  window->lblStatus->setText("before");
  QTest::mouseClick(window->cmdGo, Qt::LeftButton);

  std::vector<unsigned char> expected = rom;
  for (int i = 0x10; i <= 0x1F; ++i) expected[i] = static_cast<unsigned char>(expected[i] + 1);
  EXPECT_EQ(Output(), expected);
  EXPECT_EQ(TempDir::Read(dir / "rom.bin"), rom);
  EXPECT_TRUE(dialogs.messages.empty());
  EXPECT_EQ(Status(), "Status: Ready!");
  EXPECT_EQ(launcher.started, (std::vector<std::string>{"emu --fast CORRUPT.bin"}));
}

TEST_F(RunTest, RunsAddUpWithoutOverwrite) {
  QTest::mouseClick(window->cmdGo, Qt::LeftButton);
  Write("optoverwrite", engine::kUnchecked);
  QTest::mouseClick(window->cmdGo, Qt::LeftButton);
  std::vector<unsigned char> expected = rom;
  for (int i = 0x10; i <= 0x1F; ++i) expected[i] = static_cast<unsigned char>(expected[i] + 2);
  EXPECT_EQ(Output(), expected);
}

TEST_F(RunTest, RefusalsAndFailuresReachTheUser) {
  struct Case {
    const char* name;
    std::vector<std::pair<const char*, engine::FieldValue>> writes;
    std::string message;
    std::string status;     // "" keeps the status as it was
    const char* focusName;  // control that must hold the focus, or ""
  };
  const Case cases[] = {
      {"start above end", {{"start", std::string("$2000")}, {"end", std::string("$1000")}},
       "You gave a baaaaad range to corrupt! (2000-1000)", "", ""},
      {"end beyond the file", {{"end", std::string("$40")}},
       "The specified end reaches beyond the end of the file!\r\n40 vs 40", "", ""},
      {"spacing zero", {{"optnth", true}, {"nth", std::string("0")}},
       "Put is at least SOMETHING for 'Every ?th byte'!", "Status: Error!", "txtNth"},
      {"bad byte range",
       {{"optcorrupt", true}, {"optbyterange", true}, {"range1", std::string("$10")},
        {"range2", std::string("$100")}},
       "Bad Random Range! (10-100)", "Status: Error!", "txtRange1"},
      {"shift by zero", {{"optshift", true}, {"shift", std::string("$F")}},
       "You're not doing anything, shifting by 0!", "Status: Error!", "txtShift"},
      {"nothing to add", {{"add", std::string("0")}}, "You're not adding anything!",
       "Status: Ready!", ""},
      {"missing ROM", {{"rom", std::string("nothing.bin")}},
       "Can't copy the original file to the corrupt name for some reason!", "", ""},
      {"missing directory", {{"path", std::string("/no/such/dir/")}},
       "Path/Drive errors!  Re-check your directory!", "Status: Error!", ""},
      {"lone quote in start", {{"start", std::string("'")}},
       "There were problems accessing files!", "Status: Error!", ""},
  };
  ShowActive();
  for (const Case& c : cases) {
    LoadFirstRunDefaults();
    Write("path", dir.path().string() + "/");
    Write("rom", std::string("rom.bin"));
    Write("start", std::string("$10"));
    Write("end", std::string("$1F"));
    Write("optadd", true);
    Write("add", std::string("1"));
    for (const auto& [key, value] : c.writes) Write(key, value);
    std::filesystem::remove(dir / "CORRUPT.bin");
    dialogs.messages.clear();
    launcher.started.clear();
    window->lblStatus->setText("before");
    window->txtStart->setFocus();

    window->cmdGo_Click();

    ASSERT_EQ(dialogs.messages.size(), 1u) << c.name;
    EXPECT_EQ(dialogs.messages[0], c.message) << c.name;
    EXPECT_EQ(Status(), c.status.empty() ? "before" : c.status) << c.name;
    const char* focus = *c.focusName ? c.focusName : "txtStart";
    EXPECT_EQ(window->focusWidget()->objectName().toStdString(), focus) << c.name;
    EXPECT_TRUE(launcher.started.empty()) << c.name;
    EXPECT_EQ(TempDir::Read(dir / "rom.bin"), rom) << c.name;
  }
}

TEST_F(RunTest, ShiftOverOneByteEndsWithTheFailureText) {
  Write("optshift", true);
  Write("end", std::string("$10"));
  window->cmdGo_Click();
  ASSERT_EQ(dialogs.messages.size(), 1u);
  EXPECT_EQ(dialogs.messages[0].rfind("Error! ", 0), 0u) << dialogs.messages[0];
  EXPECT_GT(dialogs.messages[0].size(), std::string("Error! ").size());
  EXPECT_EQ(Status(), "Status: Error!");
  EXPECT_EQ(Output(), rom);  // the fresh copy, unaltered
}

TEST_F(RunTest, EmulatorThatCannotStartAfterTheWrite) {
  launcher.fail = true;
  window->cmdGo_Click();
  EXPECT_EQ(dialogs.messages, (std::vector<std::string>{"There were problems accessing files!"}));
  EXPECT_EQ(Status(), "Status: Error!");
  EXPECT_EQ(Output()[0x10], static_cast<unsigned char>(rom[0x10] + 1));
}

TEST_F(RunTest, CreateNowCopiesAndReports) {
  Write("optoverwrite", engine::kUnchecked);
  dir.Write("CORRUPT.bin", std::vector<unsigned char>(3, 1));
  window->lblStatus->setText("before");
  QTest::mouseClick(window->cmdCreateNow, Qt::LeftButton);
  EXPECT_EQ(dialogs.messages, (std::vector<std::string>{"CORRUPT.bin created successfully!"}));
  EXPECT_EQ(Output(), rom);
  EXPECT_EQ(Status(), "before");
  EXPECT_TRUE(launcher.started.empty());

  dialogs.messages.clear();
  Write("rom", std::string("absent.bin"));
  window->cmdCreateNow_Click();
  ASSERT_EQ(dialogs.messages.size(), 1u);
  EXPECT_EQ(dialogs.messages[0].rfind("Error!  New file NOT created!\r\n", 0), 0u)
      << dialogs.messages[0];
  EXPECT_GT(dialogs.messages[0].size(), std::string("Error!  New file NOT created!\r\n").size());
  EXPECT_EQ(Output(), rom);  // the earlier copy is left as it was
  EXPECT_EQ(Status(), "before");
}

TEST_F(RunTest, ReadJobTakesTheOutputNameAsTyped) {
  Write("autocreate", engine::kUnchecked);
  window->txtCreate->setText("typed name.bin");
  EXPECT_EQ(window->ReadJob().create, "typed name.bin");
  window->cmdCreateNow_Click();
  EXPECT_EQ(TempDir::Read(dir / "typed name.bin"), rom);
}

}  // namespace
