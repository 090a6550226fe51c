#include <QSignalSpy>

#include "window_fixture.h"

namespace {

using DefaultButtonTest = WindowTest;

TEST_F(DefaultButtonTest, EnterPressesTheDefaultFromEveryControlButCommandButtons) {
  ShowActive();
  LoadFirstRunDefaults();
  QSignalSpy go(window->cmdGo, &QPushButton::clicked);
  QSignalSpy createNow(window->cmdCreateNow, &QPushButton::clicked);
  struct Case {
    QWidget* focus;
    Qt::Key key;
    int goPresses;
  };
  const Case cases[] = {
      {window->txtStart, Qt::Key_Return, 1},
      {window->txtNth, Qt::Key_Enter, 1},
      {window->txtCreate, Qt::Key_Return, 1},  // locked, still presses the default
      {window->optOverwrite, Qt::Key_Return, 1},
      {window->optChdir, Qt::Key_Enter, 1},
      {window->optAll, Qt::Key_Return, 1},
      {window->optByteRange, Qt::Key_Return, 1},
      {window->cmdCreateNow, Qt::Key_Return, 0},
      {window->cmdPlus[1], Qt::Key_Return, 0},
      {window->cmdAutoEnd, Qt::Key_Enter, 0},
      {window->txtStart, Qt::Key_A, 0},
  };
  for (const Case& c : cases) {
    go.clear();
    c.focus->setFocus(Qt::OtherFocusReason);
    ASSERT_EQ(QApplication::focusWidget(), c.focus) << c.focus->objectName().toStdString();
    const int overwrite = ui::frm::CheckValue(window->optOverwrite);
    QTest::keyClick(c.focus, c.key);
    EXPECT_EQ(go.count(), c.goPresses) << c.focus->objectName().toStdString();
    // Enter does not toggle the check box it is pressed on.
    EXPECT_EQ(ui::frm::CheckValue(window->optOverwrite), overwrite);
  }
  // A focused command button takes Enter itself.
  EXPECT_EQ(createNow.count(), 1);
}

TEST_F(DefaultButtonTest, AutoCanBecomeTheDefault) {
  ShowActive();
  QSignalSpy go(window->cmdGo, &QPushButton::clicked);
  QSignalSpy autoRun(window->cmdAuto, &QPushButton::clicked);
  window->SetDefaultButton(window->cmdAuto);
  EXPECT_TRUE(window->cmdAuto->isDefault());
  EXPECT_FALSE(window->cmdGo->isDefault());
  window->txtEnd->setFocus();
  QTest::keyClick(window->txtEnd, Qt::Key_Return);
  window->optNth->setFocus();
  QTest::keyClick(window->optNth, Qt::Key_Return);
  EXPECT_EQ(go.count(), 0);
  EXPECT_EQ(autoRun.count(), 2);
  // GO itself, focused, still takes Enter.
  window->cmdGo->setFocus();
  QTest::keyClick(window->cmdGo, Qt::Key_Return);
  EXPECT_EQ(go.count(), 1);
}

TEST_F(DefaultButtonTest, AltGPressesGo) {
  ShowActive();
  QSignalSpy go(window->cmdGo, &QPushButton::clicked);
  window->txtStart->setFocus();
  QTest::keyClick(window.get(), Qt::Key_G, Qt::AltModifier);
  // An access key presses the button as a short animated click.
  EXPECT_TRUE(go.count() == 1 || go.wait(5000));
}

}  // namespace
