#include <cctype>

#include "window_fixture.h"

namespace {

using OptionRowsTest = WindowTest;

// The chosen option of each group, by name ("" when none is on).
struct Choice {
  std::string which, action, replacement;
  bool operator==(const Choice&) const = default;
  friend std::ostream& operator<<(std::ostream& out, const Choice& c) {
    return out << "{" << c.which << ", " << c.action << ", " << c.replacement << "}";
  }
};

std::string On(std::initializer_list<QRadioButton*> group) {
  for (QRadioButton* option : group)
    if (option->isChecked()) return option->objectName().toStdString();
  return "";
}

Choice Current(ui::frm& w) {
  return {On({w.optAll, w.optNth, w.optMask}), On({w.optShift, w.optCorrupt, w.optAdd}),
          On({w.optRandomBytes, w.optByteRange, w.optSequence})};
}

void Click(QWidget* w, Qt::MouseButton button = Qt::LeftButton) { QTest::mouseClick(w, button); }

// A press released outside the control: no click.
void PressOnly(QWidget* w, Qt::MouseButton button = Qt::LeftButton) {
  QTest::mousePress(w, button);
  QTest::mouseRelease(w, button, {}, QPoint(-40, -40));
}

TEST_F(OptionRowsTest, EachGestureChoosesItsRowAndClearsOnlyItsOwnGroup) {
  struct Gesture {
    const char* control;
    char how;         // 'c' click, 'C' right click, 'p' press released outside, 'P' right press
    Choice expected;  // "=" keeps the group as it was
  };
  const Gesture gestures[] = {
      {"txtNth", 'p', {"optNth", "=", "="}},      {"txtNth", 'P', {"optNth", "=", "="}},
      {"lblThByte", 'c', {"optNth", "=", "="}},   {"lblThByte", 'C', {"=", "=", "="}},
      {"lblThByte", 'p', {"=", "=", "="}},        {"txtMask", 'p', {"optMask", "=", "="}},
      {"txtShift", 'p', {"=", "optShift", "="}},  {"lblBytes", 'c', {"=", "optShift", "="}},
      {"txtAdd", 'P', {"=", "optAdd", "="}},      {"lblToByte", 'c', {"=", "optAdd", "="}},
      {"optRandomBytes", 'c', {"=", "optCorrupt", "optRandomBytes"}},
      {"optRandomBytes", 'P', {"=", "optCorrupt", "="}},
      {"optByteRange", 'p', {"=", "optCorrupt", "="}},
      {"txtRange2", 'p', {"=", "optCorrupt", "optByteRange"}},
      {"txtTo", 'c', {"=", "optCorrupt", "optByteRange"}},
      {"optAll", 'c', {"optAll", "=", "="}},      {"optAdd", 'c', {"=", "optAdd", "="}},
      {"txtSequence", 'p', {"=", "=", "="}},      // disabled
  };
  const Choice starts[] = {{"optAll", "optShift", "optRandomBytes"},
                           {"optMask", "optAdd", "optSequence"},
                           {"optNth", "optCorrupt", "optByteRange"}};
  for (const Gesture& g : gestures) {
    for (const Choice& start : starts) {
      for (const std::string& name : {start.which, start.action, start.replacement})
        Write(QString::fromStdString(name).toLower().toStdString().c_str(), true);
      ASSERT_EQ(Current(*window), start);
      QWidget* control = Find(g.control);
      const Qt::MouseButton button = isupper(g.how) ? Qt::RightButton : Qt::LeftButton;
      (tolower(g.how) == 'c' ? Click : PressOnly)(control, button);
      auto keep = [](const std::string& want, const std::string& was) { return want == "=" ? was : want; };
      const Choice want{keep(g.expected.which, start.which), keep(g.expected.action, start.action),
                        keep(g.expected.replacement, start.replacement)};
      EXPECT_EQ(Current(*window), want) << g.how << " on " << g.control << " from " << start;
      EXPECT_EQ(ui::frm::CheckValue(window->optRandomSeq), engine::kGrey) << g.control;
    }
  }
  EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(OptionRowsTest, FocusMovesOnlyWhereTheGestureSays) {
  ShowActive();
  struct Case {
    QWidget* target;
    QWidget* focusAfter;  // null: stays in txtStart
  };
  for (const Case& c : {Case{window->lblThByte, window->optNth}, Case{window->lblBytes, window->optShift},
                        Case{window->lblToByte, window->optAdd}, Case{window->txtTo, nullptr},
                        Case{window->txtShift, window->txtShift}}) {
    window->txtStart->setFocus();
    Click(c.target);
    EXPECT_EQ(QApplication::focusWidget(), c.focusAfter ? c.focusAfter : window->txtStart)
        << c.target->objectName().toStdString();
  }
  EXPECT_TRUE(window->optShift->isChecked());  // chosen by the press in txtShift

  // Tabbing into a row's text box and typing there chooses nothing.
  Write("optall", true);
  window->optNth->setFocus(Qt::OtherFocusReason);
  QTest::keyClick(window->optNth, Qt::Key_Tab);
  ASSERT_EQ(QApplication::focusWidget(), window->txtNth);
  QTest::keyClicks(window->txtNth, "7");
  EXPECT_TRUE(window->txtNth->text().contains('7'));
  EXPECT_EQ(Current(*window).which, "optAll");
}

TEST_F(OptionRowsTest, EnterPressesTheDefaultFromEveryControlButCommandButtons) {
  ShowActive();
  LoadFirstRunDefaults();
  int go = 0, autoRun = 0, createNow = 0;
  QObject::connect(window->cmdGo, &QPushButton::clicked, [&] { ++go; });
  QObject::connect(window->cmdAuto, &QPushButton::clicked, [&] { ++autoRun; });
  QObject::connect(window->cmdCreateNow, &QPushButton::clicked, [&] { ++createNow; });
  struct Case {
    QWidget* focus;
    Qt::Key key;
    int goPresses;
  };
  const Case cases[] = {
      {window->txtStart, Qt::Key_Return, 1},     {window->txtNth, Qt::Key_Enter, 1},
      {window->optOverwrite, Qt::Key_Return, 1}, {window->optByteRange, Qt::Key_Return, 1},
      {window->cmdCreateNow, Qt::Key_Return, 0}, {window->cmdAutoEnd, Qt::Key_Enter, 0},
      {window->txtStart, Qt::Key_A, 0},
  };
  for (const Case& c : cases) {
    go = 0;
    c.focus->setFocus(Qt::OtherFocusReason);
    ASSERT_EQ(QApplication::focusWidget(), c.focus) << c.focus->objectName().toStdString();
    QTest::keyClick(c.focus, c.key);
    EXPECT_EQ(go, c.goPresses) << c.focus->objectName().toStdString();
    EXPECT_EQ(ui::frm::CheckValue(window->optOverwrite), engine::kChecked);  // Enter toggles nothing
  }
  EXPECT_EQ(createNow, 1);  // a focused command button takes Enter itself
  // The default look comes back once the focus leaves the command buttons.
  window->cmdGo->setFocus(Qt::TabFocusReason);
  window->cmdCreateNow->setFocus(Qt::TabFocusReason);
  window->txtStart->setFocus(Qt::TabFocusReason);
  EXPECT_TRUE(window->cmdGo->isDefault());
  EXPECT_FALSE(window->cmdCreateNow->isDefault());

  // After the first "Auto >>", whatever its outcome, Enter presses "Auto >>".
  Click(window->cmdAuto);
  EXPECT_TRUE(window->cmdAuto->isDefault());
  EXPECT_FALSE(window->cmdGo->isDefault());
  go = autoRun = 0;
  for (QWidget* focus : {(QWidget*)window->txtEnd, (QWidget*)window->optNth}) {
    focus->setFocus(Qt::OtherFocusReason);
    QTest::keyClick(focus, Qt::Key_Return);
  }
  EXPECT_EQ(go, 0);
  EXPECT_EQ(autoRun, 2);
}

}  // namespace
