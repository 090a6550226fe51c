#include <QButtonGroup>

#include "window_fixture.h"

namespace {

using OptionRowsTest = WindowTest;

// The chosen option of each group as a digit, by the ids its group gave them in order (-2, -3, -4):
// which (All Nth Mask), action (Shift Corrupt Add) and replacement (RandomBytes ByteRange Sequence).
std::string Current(ui::frm& w) {
  std::string chosen;
  for (QRadioButton* first : {w.optAll, w.optShift, w.optRandomBytes})
    chosen += std::to_string(-2 - first->group()->checkedId());
  return chosen;
}

// Control, gesture ('c' click, 'p' press released outside the control, no click; upper case with
// the right button), the options after it from 000 and from 222, the focus after it from txtStart.
TEST_F(OptionRowsTest, EachGestureChoosesItsRowClearsOnlyItsOwnGroupAndMovesTheFocusAsMeant) {
  ShowActive();
  const char* const cases[] = {
      "txtNth p 100 122 txtNth",
      "lblThByte c 100 122 optNth",
      "lblThByte C 000 222 txtStart",
      "lblThByte p 000 222 txtStart",
      "txtMask p 200 222 txtMask",
      "txtShift p 000 202 txtShift",
      "lblBytes c 000 202 optShift",
      "txtAdd P 020 222 txtAdd",
      "lblToByte c 020 222 optAdd",
      "optRandomBytes c 010 210 optRandomBytes",
      "optByteRange p 010 212 optByteRange",
      "txtRange2 p 011 211 txtRange2",
      "txtTo c 011 211 txtStart",
      "txtSequence p 000 222 txtStart",  // disabled
  };
  const std::array<QRadioButton*, 3> starts[] = {{window->optAll, window->optShift, window->optRandomBytes},
                                                 {window->optMask, window->optAdd, window->optSequence}};
  for (const char* row : cases) {
    const QStringList c = QString(row).split(' ');
    for (int start = 0; start < 2; ++start) {
      for (QRadioButton* option : starts[start]) option->setChecked(true);
      window->txtStart->setFocus();
      QWidget* w = Find(c[0].toLatin1().constData());
      const Qt::MouseButton button = c[1][0].isUpper() ? Qt::RightButton : Qt::LeftButton;
      QTest::mousePress(w, button);
      QTest::mouseRelease(w, button, {}, c[1].toLower() == "c" ? w->rect().center() : QPoint(-40, -40));
      EXPECT_EQ(Current(*window), c[2 + start].toStdString()) << row << " from " << start;
      EXPECT_EQ(QApplication::focusWidget()->objectName(), c[4]) << row;
    }
  }
}

// Focus, key, then the presses of GO and of "Auto >>" it makes; no key chooses an option. After the
// first "Auto >>" Enter presses "Auto >>", and its default look comes back once the focus leaves it.
TEST_F(OptionRowsTest, EnterPressesTheDefaultFromEveryControlButCommandButtons) {
  ShowActive();
  Apply(engine::FirstRunDefaults());
  int go = 0, autoRun = 0;
  QObject::connect(window->cmdGo, &QPushButton::clicked, [&] { ++go; });
  QObject::connect(window->cmdAuto, &QPushButton::clicked, [&] { ++autoRun; });
  const std::tuple<QWidget*, Qt::Key, int, int> cases[] = {
      {window->txtStart, Qt::Key_Return, 1, 0},     {window->txtNth, Qt::Key_Enter, 1, 0},
      {window->optOverwrite, Qt::Key_Return, 1, 0}, {window->optByteRange, Qt::Key_A, 0, 0},
      {window->cmdAuto, Qt::Key_Space, 0, 1},       {window->cmdAutoEnd, Qt::Key_Enter, 0, 0},
      {window->txtEnd, Qt::Key_Return, 0, 1},       {window->optNth, Qt::Key_Return, 0, 1}};
  for (const auto& [focus, key, goPresses, autoPresses] : cases) {
    go = autoRun = 0;
    focus->setFocus(Qt::OtherFocusReason);
    QTest::keyClick(focus, key);
    EXPECT_EQ(std::tuple(go, autoRun, Current(*window)), std::tuple(goPresses, autoPresses, "010"))
        << focus->objectName().toStdString();
  }
  EXPECT_EQ(std::pair(window->cmdAuto->isDefault(), window->cmdGo->isDefault()), std::pair(true, false));
}

// "+", "-" and "Auto End" on the start, end and step boxes; the arithmetic itself is the stepping's own.
TEST_F(OptionRowsTest, AutoSteppingButtonsMoveTheFlaggedFields) {
  const char* const cases[] = {// start end step, button, after
                               "$1010 $2010 $1000 cmdPlus(1) $2010 $2010 $1000",
                               "$1010 $2010 $1000 cmdMinus(2) $1010 $1010 $1000",
                               "1 ' $8 cmdMinus(1) $FFFFFFF9 ' $8",  // an unflagged field is not read
                               "10 20 ' cmdPlus(3) 10 20 '",         // an unreadable step moves nothing, silently
                               "$1010 x $1000 cmdAutoEnd $1010 $200F $1000",
                               "' $5 $10 cmdAutoEnd ' $5 $10"};
  QLineEdit* boxes[] = {window->txtStart, window->txtEnd, window->txtInc};
  for (const char* row : cases) {
    const QStringList c = QString(row).split(' ');
    for (int i = 0; i < 3; ++i) boxes[i]->setText(c[i]);
    QTest::mouseClick(Find(c[3].toLatin1().constData()), Qt::LeftButton);
    EXPECT_EQ(QStringList({boxes[0]->text(), boxes[1]->text(), boxes[2]->text()}).join(' '), c.mid(4).join(' ')) << row;
  }
  EXPECT_TRUE(dialogs.messages.empty());
}

}  // namespace
