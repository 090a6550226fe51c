#include "window_fixture.h"

namespace {

using OptionRowsTest = WindowTest;

// The chosen option of each group, by name ("" when none is on): "which action replacement".
std::string Current(ui::frm& w) {
  std::string chosen;
  for (auto group : {std::array{w.optAll, w.optNth, w.optMask}, std::array{w.optShift, w.optCorrupt, w.optAdd},
                     std::array{w.optRandomBytes, w.optByteRange, w.optSequence}}) {
    std::string on;
    for (QRadioButton* option : group)
      if (option->isChecked()) on = option->objectName().toStdString();
    chosen.append(chosen.empty() ? "" : " ").append(on);
  }
  return chosen;
}

// 'c' click, 'p' press released outside the control (no click); upper case with the right button.
void Gesture(QWidget* w, char how) {
  const Qt::MouseButton button = isupper(how) ? Qt::RightButton : Qt::LeftButton;
  if (tolower(how) == 'c') return QTest::mouseClick(w, button);
  QTest::mousePress(w, button);
  QTest::mouseRelease(w, button, {}, QPoint(-40, -40));
}

TEST_F(OptionRowsTest, EachGestureChoosesItsRowAndClearsOnlyItsOwnGroup) {
  struct Case {
    const char* control;
    char how;
    const char* fromFirst;   // after the gesture from optAll optShift optRandomBytes
    const char* fromSecond;  // ... from optMask optAdd optSequence
  };
  const Case cases[] = {
      {"txtNth", 'p', "optNth optShift optRandomBytes", "optNth optAdd optSequence"},
      {"lblThByte", 'c', "optNth optShift optRandomBytes", "optNth optAdd optSequence"},
      {"lblThByte", 'C', "optAll optShift optRandomBytes", "optMask optAdd optSequence"},
      {"lblThByte", 'p', "optAll optShift optRandomBytes", "optMask optAdd optSequence"},
      {"txtMask", 'p', "optMask optShift optRandomBytes", "optMask optAdd optSequence"},
      {"txtShift", 'p', "optAll optShift optRandomBytes", "optMask optShift optSequence"},
      {"lblBytes", 'c', "optAll optShift optRandomBytes", "optMask optShift optSequence"},
      {"txtAdd", 'P', "optAll optAdd optRandomBytes", "optMask optAdd optSequence"},
      {"lblToByte", 'c', "optAll optAdd optRandomBytes", "optMask optAdd optSequence"},
      {"optRandomBytes", 'c', "optAll optCorrupt optRandomBytes", "optMask optCorrupt optRandomBytes"},
      {"optRandomBytes", 'P', "optAll optCorrupt optRandomBytes", "optMask optCorrupt optSequence"},
      {"optByteRange", 'p', "optAll optCorrupt optRandomBytes", "optMask optCorrupt optSequence"},
      {"txtRange2", 'p', "optAll optCorrupt optByteRange", "optMask optCorrupt optByteRange"},
      {"txtTo", 'c', "optAll optCorrupt optByteRange", "optMask optCorrupt optByteRange"},
      {"optAll", 'c', "optAll optShift optRandomBytes", "optAll optAdd optSequence"},
      {"txtSequence", 'p', "optAll optShift optRandomBytes", "optMask optAdd optSequence"},  // disabled
  };
  for (const Case& c : cases) {
    for (const char* start : {"optAll optShift optRandomBytes", "optMask optAdd optSequence"}) {
      for (QString name : QString(start).toLower().split(' ')) Write(name.toLatin1().constData(), true);
      ASSERT_EQ(Current(*window), start);
      Gesture(Find(c.control), c.how);
      EXPECT_EQ(Current(*window), start[3] == 'A' ? c.fromFirst : c.fromSecond) << c.how << " on " << c.control;
      EXPECT_EQ(ui::frm::CheckValue(window->optRandomSeq), engine::kGrey) << c.control;
    }
  }
  EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(OptionRowsTest, FocusMovesOnlyWhereTheGestureSaysAndTabbingInChoosesNothing) {
  ShowActive();
  const std::pair<QWidget*, QWidget*> cases[] = {// clicked, focus after (null: stays in txtStart)
                                                 {window->lblThByte, window->optNth},
                                                 {window->lblBytes, window->optShift},
                                                 {window->lblToByte, window->optAdd},
                                                 {window->txtTo, nullptr},
                                                 {window->txtShift, window->txtShift}};
  for (const auto& [target, focusAfter] : cases) {
    window->txtStart->setFocus();
    QTest::mouseClick(target, Qt::LeftButton);
    EXPECT_EQ(QApplication::focusWidget(), focusAfter ? focusAfter : window->txtStart)
        << target->objectName().toStdString();
  }
  Write("optall", true);
  window->optNth->setFocus(Qt::OtherFocusReason);
  QTest::keyClick(window->optNth, Qt::Key_Tab);
  ASSERT_EQ(QApplication::focusWidget(), window->txtNth);
  QTest::keyClicks(window->txtNth, "7");
  EXPECT_TRUE(window->txtNth->text().contains('7'));
  EXPECT_EQ(Current(*window), "optAll optShift optByteRange");
}

TEST_F(OptionRowsTest, EnterPressesTheDefaultFromEveryControlButCommandButtons) {
  ShowActive();
  Apply(engine::FirstRunDefaults());
  int go = 0, autoRun = 0;
  QObject::connect(window->cmdGo, &QPushButton::clicked, [&] { ++go; });
  QObject::connect(window->cmdAuto, &QPushButton::clicked, [&] { ++autoRun; });
  // Focus, key, then the presses of GO and of "Auto >>" it makes; after the
  // first "Auto >>" Enter presses "Auto >>".
  const std::tuple<QWidget*, Qt::Key, int, int> cases[] = {
      {window->txtStart, Qt::Key_Return, 1, 0},     {window->txtNth, Qt::Key_Enter, 1, 0},
      {window->optOverwrite, Qt::Key_Return, 1, 0}, {window->optByteRange, Qt::Key_Return, 1, 0},
      {window->cmdCreateNow, Qt::Key_Return, 0, 0}, {window->cmdAutoEnd, Qt::Key_Enter, 0, 0},
      {window->txtStart, Qt::Key_A, 0, 0},          {window->cmdAuto, Qt::Key_Space, 0, 1},
      {window->txtEnd, Qt::Key_Return, 0, 1},       {window->optNth, Qt::Key_Return, 0, 1}};
  for (const auto& [focus, key, goPresses, autoPresses] : cases) {
    go = autoRun = 0;
    focus->setFocus(Qt::OtherFocusReason);
    ASSERT_EQ(QApplication::focusWidget(), focus) << focus->objectName().toStdString();
    QTest::keyClick(focus, key);
    EXPECT_EQ(std::pair(go, autoRun), std::pair(goPresses, autoPresses)) << focus->objectName().toStdString();
    EXPECT_EQ(ui::frm::CheckValue(window->optOverwrite), engine::kChecked);  // Enter toggles nothing
    if (focus == window->cmdAutoEnd) {  // the default look comes back once the focus leaves the command buttons
      window->txtStart->setFocus(Qt::TabFocusReason);
      EXPECT_TRUE(window->cmdGo->isDefault());
      EXPECT_FALSE(window->cmdCreateNow->isDefault());
    }
  }
  EXPECT_TRUE(window->cmdAuto->isDefault());
  EXPECT_FALSE(window->cmdGo->isDefault());
}

// "+", "-" (by index) and "Auto End" ('E') on the start, end and step boxes;
// the arithmetic itself is the stepping's own.
TEST_F(OptionRowsTest, AutoSteppingButtonsMoveTheFlaggedFields) {
  const std::tuple<std::string, char, int, std::string> cases[] = {
      // start end step, button, index, after
      {"$1010 $2010 $1000", '+', 3, "$2010 $3010 $1000"},
      {"$1010 $2010 $1000", '-', 3, "$10 $1010 $1000"},
      {"$1010 $2010 $1000", '+', 1, "$2010 $2010 $1000"},
      {"$1010 $2010 $1000", '-', 2, "$1010 $1010 $1000"},
      {"1 ' $8", '-', 1, "$FFFFFFF9 ' $8"},  // an unflagged field is not read
      {"10 20 '", '+', 3, "10 20 '"},        // an unreadable step moves nothing, silently
      {"$1010 x $1000", 'E', 0, "$1010 $200F $1000"},
      {"' $5 $10", 'E', 0, "' $5 $10"},
  };
  QLineEdit* boxes[] = {window->txtStart, window->txtEnd, window->txtInc};
  for (const auto& [before, button, index, after] : cases) {
    const QStringList texts = QString::fromStdString(before).split(' ');
    for (int i = 0; i < 3; ++i) boxes[i]->setText(texts[i]);
    QTest::mouseClick(button == 'E'   ? window->cmdAutoEnd
                      : button == '+' ? window->cmdPlus[index]
                                      : window->cmdMinus[index],
                      Qt::LeftButton);
    const QString shown = boxes[0]->text() + " " + boxes[1]->text() + " " + boxes[2]->text();
    EXPECT_EQ(shown.toStdString(), after) << before << " " << button << index;
  }
  EXPECT_TRUE(dialogs.messages.empty());
}

}  // namespace
