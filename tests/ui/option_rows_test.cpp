#include "window_fixture.h"

namespace {

using OptionRowsTest = WindowTest;

// The chosen option of each group as a digit: which (All Nth Mask), action (Shift Corrupt Add) and
// replacement (RandomBytes ByteRange Sequence); "0-1" when none is on in the action group.
std::string Current(ui::frm& w) {
  std::string chosen;
  for (auto group : {std::array{w.optAll, w.optNth, w.optMask}, std::array{w.optShift, w.optCorrupt, w.optAdd},
                     std::array{w.optRandomBytes, w.optByteRange, w.optSequence}}) {
    int on = -1;
    for (int i = 0; i < 3; ++i)
      if (group[i]->isChecked()) on = i;
    chosen += std::to_string(on);
  }
  return chosen;
}

// Control, gesture ('c' click, 'p' press released outside the control, no click; upper case with the
// right button), the options after it from 000 and from 222, the focus after it from txtStart.
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
      "optRandomBytes P 010 212 optRandomBytes",
      "optByteRange p 010 212 optByteRange",
      "txtRange2 p 011 211 txtRange2",
      "txtTo c 011 211 txtStart",
      "optAll c 000 022 optAll",
      "txtSequence p 000 222 txtStart",  // disabled
  };
  const char* const opts[3][3] = {{"optall", "optnth", "optmask"},
                                  {"optshift", "optcorrupt", "optadd"},
                                  {"optrandombytes", "optbyterange", "optsequence"}};
  for (const char* row : cases) {
    const QStringList c = QString(row).split(' ');
    const char how = c[1][0].toLatin1();
    for (const char* start : {"000", "222"}) {
      for (int g = 0; g < 3; ++g) Write(opts[g][start[g] - '0'], true);
      window->txtStart->setFocus();
      QWidget* w = Find(c[0].toLatin1().constData());
      const Qt::MouseButton button = isupper(how) ? Qt::RightButton : Qt::LeftButton;
      if (tolower(how) == 'c') {
        QTest::mouseClick(w, button);
      } else {
        QTest::mousePress(w, button);
        QTest::mouseRelease(w, button, {}, QPoint(-40, -40));
      }
      EXPECT_EQ(Current(*window), c[start[0] == '0' ? 2 : 3].toStdString()) << row << " from " << start;
      EXPECT_EQ(QApplication::focusWidget()->objectName(), c[4]) << row;
      EXPECT_EQ(ui::frm::CheckValue(window->optRandomSeq), engine::kGrey) << row;
    }
  }
  EXPECT_TRUE(dialogs.messages.empty());
  // Tabbing into a row's box and typing there chooses nothing.
  Write("optall", true);
  window->optNth->setFocus(Qt::OtherFocusReason);
  QTest::keyClick(window->optNth, Qt::Key_Tab);
  ASSERT_EQ(QApplication::focusWidget(), window->txtNth);
  QTest::keyClicks(window->txtNth, "7");
  EXPECT_TRUE(window->txtNth->text().contains('7'));
  EXPECT_EQ(Current(*window), "022");
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
  const char* const cases[] = {// start end step, button and index ('E': Auto End), after
                               "$1010 $2010 $1000 +3 $2010 $3010 $1000",
                               "$1010 $2010 $1000 -3 $10 $1010 $1000",
                               "$1010 $2010 $1000 +1 $2010 $2010 $1000",
                               "$1010 $2010 $1000 -2 $1010 $1010 $1000",
                               "1 ' $8 -1 $FFFFFFF9 ' $8",  // an unflagged field is not read
                               "10 20 ' +3 10 20 '",        // an unreadable step moves nothing, silently
                               "$1010 x $1000 E0 $1010 $200F $1000",
                               "' $5 $10 E0 ' $5 $10"};
  QLineEdit* boxes[] = {window->txtStart, window->txtEnd, window->txtInc};
  for (const char* row : cases) {
    const QStringList c = QString(row).split(' ');
    for (int i = 0; i < 3; ++i) boxes[i]->setText(c[i]);
    const auto index = static_cast<std::size_t>(c[3][1].digitValue());
    QTest::mouseClick(c[3][0] == 'E'   ? window->cmdAutoEnd
                      : c[3][0] == '+' ? window->cmdPlus[index]
                                       : window->cmdMinus[index],
                      Qt::LeftButton);
    EXPECT_EQ(QStringList({boxes[0]->text(), boxes[1]->text(), boxes[2]->text()}).join(' '), c.mid(4).join(' ')) << row;
  }
  EXPECT_TRUE(dialogs.messages.empty());
}

}  // namespace
