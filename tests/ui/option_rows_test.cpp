#include <QButtonGroup>

#include "window_fixture.h"

namespace {

using OptionRowsTest = WindowTest;

// A press of the left or the right button released over the control (a click) or outside it (no click).
enum class Gesture { click, rightClick, pressOutside, rightPressOutside };

// Each gesture on a control, from two starts, the first or the last option of every group chosen: the options it
// chooses replace the chosen one of their own group, the other groups keep theirs; the focus, on txtStart before
// it, ends on `focus`.
TEST_F(OptionRowsTest, EachGestureChoosesItsRowClearsOnlyItsOwnGroupAndMovesTheFocusAsMeant) {
  ShowActive();
  using enum Gesture;
  const struct {
    const char* on;
    Gesture by;
    QStringList chooses;
    QString focus;
  } cases[] = {
      {.on = "txtNth", .by = pressOutside, .chooses = {"optNth"}, .focus = "txtNth"},
      {.on = "lblThByte", .by = click, .chooses = {"optNth"}, .focus = "optNth"},
      {.on = "lblThByte", .by = rightClick, .chooses = {}, .focus = "txtStart"},
      {.on = "lblThByte", .by = pressOutside, .chooses = {}, .focus = "txtStart"},
      {.on = "txtMask", .by = pressOutside, .chooses = {"optMask"}, .focus = "txtMask"},
      {.on = "txtShift", .by = pressOutside, .chooses = {"optShift"}, .focus = "txtShift"},
      {.on = "lblBytes", .by = click, .chooses = {"optShift"}, .focus = "optShift"},
      {.on = "txtAdd", .by = rightPressOutside, .chooses = {"optAdd"}, .focus = "txtAdd"},
      {.on = "lblToByte", .by = click, .chooses = {"optAdd"}, .focus = "optAdd"},
      {.on = "optRandomBytes", .by = click, .chooses = {"optCorrupt", "optRandomBytes"}, .focus = "optRandomBytes"},
      {.on = "optByteRange", .by = pressOutside, .chooses = {"optCorrupt"}, .focus = "optByteRange"},
      {.on = "txtRange2", .by = pressOutside, .chooses = {"optCorrupt", "optByteRange"}, .focus = "txtRange2"},
      {.on = "txtTo", .by = click, .chooses = {"optCorrupt", "optByteRange"}, .focus = "txtStart"},
      {.on = "txtSequence", .by = pressOutside, .chooses = {}, .focus = "txtStart"},  // disabled
  };
  const std::vector<QRadioButton*> starts[] = {{window->optAll, window->optShift, window->optRandomBytes},
                                               {window->optMask, window->optAdd, window->optSequence}};
  for (const auto& c : cases) {
    for (const auto& start : starts) {
      std::map<QButtonGroup*, QString> expected;  // the chosen option of each group after the gesture
      for (QRadioButton* option : start) option->setChecked(true);
      for (QRadioButton* option : start) expected[option->group()] = option->objectName();
      for (const QString& name : c.chooses) expected[window->findChild<QRadioButton*>(name)->group()] = name;
      window->txtStart->setFocus();
      QWidget* w = Find(c.on);
      const bool right = c.by == rightClick || c.by == rightPressOutside;
      const Qt::MouseButton button = right ? Qt::RightButton : Qt::LeftButton;
      QTest::mousePress(w, button);
      QTest::mouseRelease(w, button, {}, c.by == click || c.by == rightClick ? w->rect().center() : QPoint(-40, -40));
      QStringList chosen;
      for (const auto& [group, name] : expected) chosen << name;
      chosen.sort();
      EXPECT_EQ(Chosen(), chosen) << c.on << " from " << start[0]->objectName().toStdString();
      EXPECT_EQ(QApplication::focusWidget()->objectName(), c.focus) << c.on;
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
  const struct {
    QWidget* focus;
    Qt::Key key;
    int goPresses = 0, autoPresses = 0;
  } cases[] = {
      {.focus = window->txtStart, .key = Qt::Key_Return, .goPresses = 1},     {.focus = window->txtNth, .key = Qt::Key_Enter, .goPresses = 1},
      {.focus = window->optOverwrite, .key = Qt::Key_Return, .goPresses = 1}, {.focus = window->optByteRange, .key = Qt::Key_A},
      {.focus = window->cmdAuto, .key = Qt::Key_Space, .autoPresses = 1},     {.focus = window->cmdAutoEnd, .key = Qt::Key_Enter},
      {.focus = window->txtEnd, .key = Qt::Key_Return, .autoPresses = 1},     {.focus = window->optNth, .key = Qt::Key_Return, .autoPresses = 1},
  };
  for (const auto& c : cases) {
    go = autoRun = 0;
    c.focus->setFocus(Qt::OtherFocusReason);
    QTest::keyClick(c.focus, c.key);
    EXPECT_EQ(go, c.goPresses) << c.focus->objectName().toStdString();
    EXPECT_EQ(autoRun, c.autoPresses) << c.focus->objectName().toStdString();
    EXPECT_EQ(Chosen(), QStringList({"optAll", "optCorrupt", "optRandomBytes"})) << c.focus->objectName().toStdString();
  }
  EXPECT_TRUE(window->cmdAuto->isDefault());
  EXPECT_FALSE(window->cmdGo->isDefault());
}

// "+", "-" and "Auto End" on the start, end and step boxes; the arithmetic itself is the stepping's own.
TEST_F(OptionRowsTest, AutoSteppingButtonsMoveTheFlaggedFields) {
  struct Boxes {
    QString start, end, step;
  };
  const struct {
    Boxes before;
    const char* button;
    Boxes after;
  } cases[] = {
      {.before = {"$1010", "$2010", "$1000"}, .button = "cmdPlus(1)", .after = {"$2010", "$2010", "$1000"}},
      {.before = {"$1010", "$2010", "$1000"}, .button = "cmdMinus(2)", .after = {"$1010", "$1010", "$1000"}},
      // An unflagged field is not read; an unreadable step moves nothing, silently.
      {.before = {"1", "'", "$8"}, .button = "cmdMinus(1)", .after = {"$FFFFFFF9", "'", "$8"}},
      {.before = {"10", "20", "'"}, .button = "cmdPlus(3)", .after = {"10", "20", "'"}},
      {.before = {"$1010", "x", "$1000"}, .button = "cmdAutoEnd", .after = {"$1010", "$200F", "$1000"}},
      {.before = {"'", "$5", "$10"}, .button = "cmdAutoEnd", .after = {"'", "$5", "$10"}},
  };
  for (const auto& c : cases) {
    window->txtStart->setText(c.before.start);
    window->txtEnd->setText(c.before.end);
    window->txtInc->setText(c.before.step);
    QTest::mouseClick(Find(c.button), Qt::LeftButton);
    EXPECT_EQ(window->txtStart->text(), c.after.start) << c.button;
    EXPECT_EQ(window->txtEnd->text(), c.after.end) << c.button;
    EXPECT_EQ(window->txtInc->text(), c.after.step) << c.button;
  }
  EXPECT_TRUE(dialogs.messages.empty());
}

}  // namespace
