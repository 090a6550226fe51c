#include <QSignalSpy>
#include <functional>

#include "window_fixture.h"

namespace {

using OptionRowsTest = WindowTest;

// The chosen option of each group, by name ("" when none is on).
struct Choice {
  std::string which, action, replacement;
  bool operator==(const Choice&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Choice& c) {
  return out << "{" << c.which << ", " << c.action << ", " << c.replacement << "}";
}

std::string On(std::initializer_list<QRadioButton*> group) {
  std::string on;
  for (QRadioButton* option : group) {
    if (!option->isChecked()) continue;
    if (!on.empty()) on += '+';
    on += option->objectName().toStdString();
  }
  return on;
}

Choice Current(ui::frm& w) {
  return {On({w.optAll, w.optNth, w.optMask}), On({w.optShift, w.optCorrupt, w.optAdd}),
          On({w.optRandomBytes, w.optByteRange, w.optSequence})};
}

void Click(QWidget* w, Qt::MouseButton button = Qt::LeftButton) { QTest::mouseClick(w, button); }

void Press(QWidget* w, Qt::MouseButton button = Qt::LeftButton) {
  QTest::mousePress(w, button);
  QTest::mouseRelease(w, button);
}

TEST_F(OptionRowsTest, EachGestureChoosesItsRow) {
  struct Gesture {
    const char* name;
    std::function<void(ui::frm&)> act;
    Choice expected;  // "=" keeps the group as it was
  };
  const Gesture gestures[] = {
      {"press in txtNth", [](ui::frm& w) { Press(w.txtNth); }, {"optNth", "=", "="}},
      {"right press in txtNth", [](ui::frm& w) { Press(w.txtNth, Qt::RightButton); },
       {"optNth", "=", "="}},
      {"middle press in txtNth", [](ui::frm& w) { Press(w.txtNth, Qt::MiddleButton); },
       {"optNth", "=", "="}},
      {"click th Byte", [](ui::frm& w) { Click(w.lblThByte); }, {"optNth", "=", "="}},
      {"press in txtMask", [](ui::frm& w) { Press(w.txtMask); }, {"optMask", "=", "="}},
      {"press in txtShift", [](ui::frm& w) { Press(w.txtShift); }, {"=", "optShift", "="}},
      {"click bytes", [](ui::frm& w) { Click(w.lblBytes); }, {"=", "optShift", "="}},
      {"press in txtAdd", [](ui::frm& w) { Press(w.txtAdd); }, {"=", "optAdd", "="}},
      {"click To Byte", [](ui::frm& w) { Click(w.lblToByte); }, {"=", "optAdd", "="}},
      {"click optRandomBytes", [](ui::frm& w) { Click(w.optRandomBytes); },
       {"=", "optCorrupt", "optRandomBytes"}},
      {"right press on optRandomBytes", [](ui::frm& w) { Press(w.optRandomBytes, Qt::RightButton); },
       {"=", "optCorrupt", "="}},
      {"click optByteRange", [](ui::frm& w) { Click(w.optByteRange); },
       {"=", "optCorrupt", "optByteRange"}},
      {"press in txtRange1", [](ui::frm& w) { Press(w.txtRange1); },
       {"=", "optCorrupt", "optByteRange"}},
      {"press in txtRange2", [](ui::frm& w) { Press(w.txtRange2, Qt::RightButton); },
       {"=", "optCorrupt", "optByteRange"}},
      {"click to", [](ui::frm& w) { Click(w.txtTo); }, {"=", "optCorrupt", "optByteRange"}},
      {"click Change ALL bytes", [](ui::frm& w) { Click(w.optAll); }, {"optAll", "=", "="}},
      {"click Every", [](ui::frm& w) { Click(w.optNth); }, {"optNth", "=", "="}},
      {"click Bytes 0 after", [](ui::frm& w) { Click(w.optMask); }, {"optMask", "=", "="}},
      {"click Shift Right", [](ui::frm& w) { Click(w.optShift); }, {"=", "optShift", "="}},
      {"click Corrupt bytes with", [](ui::frm& w) { Click(w.optCorrupt); },
       {"=", "optCorrupt", "="}},
      {"click Add", [](ui::frm& w) { Click(w.optAdd); }, {"=", "optAdd", "="}},
      {"press in disabled txtSequence", [](ui::frm& w) { Press(w.txtSequence); }, {"=", "=", "="}},
      {"click disabled optSequence", [](ui::frm& w) { Click(w.optSequence); }, {"=", "=", "="}},
      {"click disabled optRandomSeq", [](ui::frm& w) { Click(w.optRandomSeq); }, {"=", "=", "="}},
      {"press on a label of no row", [](ui::frm& w) { Click(w.lblStart); }, {"=", "=", "="}},
      {"right click th Byte", [](ui::frm& w) { Click(w.lblThByte, Qt::RightButton); },
       {"=", "=", "="}},
  };
  const Choice starts[] = {{"optAll", "optShift", "optRandomBytes"},
                           {"optMask", "optAdd", "optSequence"},
                           {"optNth", "optCorrupt", "optByteRange"}};
  for (const Gesture& g : gestures) {
    for (const Choice& start : starts) {
      for (const std::string& name : {start.which, start.action, start.replacement}) {
        Write(QString::fromStdString(name).toLower().toStdString().c_str(), true);
      }
      ASSERT_EQ(Current(*window), start);
      const int checkBefore = ui::frm::CheckValue(window->optRandomSeq);
      g.act(*window);
      Choice want{g.expected.which == "=" ? start.which : g.expected.which,
                  g.expected.action == "=" ? start.action : g.expected.action,
                  g.expected.replacement == "=" ? start.replacement : g.expected.replacement};
      EXPECT_EQ(Current(*window), want) << g.name << " from " << start;
      EXPECT_EQ(ui::frm::CheckValue(window->optRandomSeq), checkBefore) << g.name;
    }
  }
  EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(OptionRowsTest, PressOnByteRangeReleasedOutsideChoosesOnlyTheAction) {
  Write("optshift", true);
  Write("optrandombytes", true);
  QTest::mousePress(window->optByteRange, Qt::LeftButton);
  QTest::mouseRelease(window->optByteRange, Qt::LeftButton, {}, QPoint(-40, -40));
  EXPECT_EQ(Current(*window), (Choice{"", "optCorrupt", "optRandomBytes"}));
}

TEST_F(OptionRowsTest, LabelPressReleasedOutsideIsNoClick) {
  Write("optall", true);
  QTest::mousePress(window->lblThByte, Qt::LeftButton);
  QTest::mouseRelease(window->lblThByte, Qt::LeftButton, {}, QPoint(-5, -5));
  EXPECT_EQ(On({window->optAll, window->optNth, window->optMask}), "optAll");
}

TEST_F(OptionRowsTest, LabelClicksMoveTheFocusOnlyWhereTheyShould) {
  ShowActive();
  struct Case {
    QLabel* label;
    QWidget* focusAfter;  // null: stays in txtStart
  };
  for (const Case& c : {Case{window->lblThByte, window->optNth}, Case{window->lblBytes, window->optShift},
                        Case{window->lblToByte, window->optAdd}, Case{window->txtTo, nullptr}}) {
    window->txtStart->setFocus();
    ASSERT_EQ(QApplication::focusWidget(), window->txtStart);
    Click(c.label);
    QWidget* want = c.focusAfter ? c.focusAfter : window->txtStart;
    EXPECT_EQ(QApplication::focusWidget(), want) << c.label->objectName().toStdString();
  }
}

TEST_F(OptionRowsTest, PressInATextBoxDoesNotMoveTheFocusToTheOption) {
  ShowActive();
  Press(window->txtShift);
  EXPECT_TRUE(window->optShift->isChecked());
  EXPECT_EQ(QApplication::focusWidget(), window->txtShift);
}

TEST_F(OptionRowsTest, TabbingIntoTheBoxAndTypingDoesNotChoose) {
  ShowActive();
  Write("optall", true);
  window->optNth->setFocus(Qt::OtherFocusReason);
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
  ASSERT_EQ(QApplication::focusWidget(), window->txtNth);
  QTest::keyClicks(window->txtNth, "7");
  EXPECT_TRUE(window->txtNth->text().contains('7'));
  EXPECT_TRUE(window->optAll->isChecked());
  EXPECT_FALSE(window->optNth->isChecked());
}

TEST_F(OptionRowsTest, ArrowKeysInTheReplacementGroupLeaveTheAction) {
  ShowActive();
  Write("optshift", true);
  Write("optrandombytes", true);
  window->optRandomBytes->setFocus(Qt::OtherFocusReason);
  QTest::keyClick(window->optRandomBytes, Qt::Key_Down);
  EXPECT_EQ(Current(*window).replacement, "optByteRange");
  EXPECT_EQ(Current(*window).action, "optShift");
}

TEST_F(OptionRowsTest, RandomSeqChangesChooseSequenceAndCorruptUntilLaterWritesReplaceThem) {
  Write("optshift", true);
  Write("optrandombytes", true);
  for (int value : {engine::kChecked, engine::kUnchecked, engine::kChecked}) {
    Write("optshift", true);
    Write("optrandombytes", true);
    Write("optrandomseq", value);
    EXPECT_EQ(Current(*window), (Choice{"", "optCorrupt", "optSequence"})) << value;
  }
  // Writing the same value again is no change.
  Write("optshift", true);
  Write("optrandomseq", engine::kChecked);
  EXPECT_EQ(Current(*window).action, "optShift");

  ui::frm fresh(FakeServices());
  QSignalSpy sequence(fresh.optSequence, &QRadioButton::toggled);
  const engine::JobSettings defaults = engine::FirstRunDefaults();
  for (int i = 0; i < engine::kFieldCount; ++i) fresh.WriteField(i, engine::GetField(defaults, i));
  ASSERT_GE(sequence.count(), 2);  // chosen during the load, cleared by a later write
  EXPECT_EQ(Current(fresh), (Choice{"optAll", "optCorrupt", "optRandomBytes"}));
}

TEST_F(OptionRowsTest, WritingOptionsChoosesOrClearsOnlyThatButton) {
  Write("optnth", true);
  Write("optmask", true);
  EXPECT_EQ(On({window->optAll, window->optNth, window->optMask}), "optMask");
  Write("optnth", false);  // not on: nothing changes
  EXPECT_EQ(On({window->optAll, window->optNth, window->optMask}), "optMask");
  Write("optmask", false);
  EXPECT_EQ(On({window->optAll, window->optNth, window->optMask}), "");
  // The group still excludes after a clear.
  Write("optall", true);
  Click(window->optNth);
  EXPECT_EQ(On({window->optAll, window->optNth, window->optMask}), "optNth");
  // Values of another kind than the field's are read as stored text would be.
  Write("optall", std::string("True"));
  EXPECT_TRUE(window->optAll->isChecked());
  Write("optall", std::string("garbage"));
  EXPECT_FALSE(window->optAll->isChecked());
  Write("chdir", std::string("1"));
  EXPECT_EQ(ui::frm::CheckValue(window->optChdir), engine::kChecked);
  Write("start", 17);
  EXPECT_EQ(window->txtStart->text(), "17");
}

TEST_F(OptionRowsTest, ReadFieldAndReadJobSeeTheControls) {
  LoadFirstRunDefaults();
  const engine::JobSettings defaults = engine::FirstRunDefaults();
  for (int i = 0; i < engine::kFieldCount; ++i) {
    EXPECT_EQ(window->ReadField(i), engine::GetField(defaults, i)) << engine::kFields[i].key;
  }
  EXPECT_EQ(window->ReadField(-1), engine::FieldValue(std::string()));
  EXPECT_EQ(window->ReadField(engine::kFieldCount), engine::FieldValue(std::string()));
  window->WriteField(99, std::string("ignored"));
  engine::JobSettings job = window->ReadJob();
  EXPECT_EQ(job.create, "CORRUPT.nes");
  EXPECT_EQ(job.rom, "mario.nes");
  EXPECT_EQ(job.optrandomseq, engine::kChecked);
}

TEST_F(OptionRowsTest, GreyEndsOnceACheckBoxIsWritten) {
  Write("optoverwrite", engine::kUnchecked);
  EXPECT_FALSE(window->optOverwrite->isTristate());
  Click(window->optOverwrite);
  EXPECT_EQ(ui::frm::CheckValue(window->optOverwrite), engine::kChecked);
  Click(window->optOverwrite);
  EXPECT_EQ(ui::frm::CheckValue(window->optOverwrite), engine::kUnchecked);
}

TEST_F(OptionRowsTest, EveryHelpLabelShowsAQuestionMark) {
  for (int i = 0; i < 3; ++i) window->lblHelp_Click(i);
  window->lblHelp_Click(3);
  window->lblHelp_Click(-1);
  EXPECT_EQ(dialogs.messages, (std::vector<std::string>{"?", "?", "?"}));
  window->show();
  for (QLabel* help : window->lblHelp) EXPECT_FALSE(help->isVisible());
}

}  // namespace
