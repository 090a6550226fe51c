#include "ui/whole_text.h"
#include "window_fixture.h"

namespace {

using FontsAndTypingTest = WindowTest;

// Captions with a font of their own; every other control takes the window's MS Sans Serif 8.25 pt.
TEST_F(FontsAndTypingTest, CaptionsHaveTheirOwnFamilySizeAndWeight) {
  struct Row {
    const char* control;
    const char* family;
    double points;
    bool bold;
  };
  const Row rows[] = {
      {.control = "optChdir", .family = "Arial", .points = 12, .bold = true},
      {.control = "lblRunEmulator", .family = "Arial", .points = 12, .bold = true},
      {.control = "lblCorruptThis", .family = "Arial", .points = 12, .bold = true},
      {.control = "lblRange", .family = "Arial", .points = 12, .bold = true},
      {.control = "lblStart", .family = "Arial", .points = 12, .bold = true},
      {.control = "lblEnd", .family = "Arial", .points = 12, .bold = true},
      {.control = "lblIncDec", .family = "Arial", .points = 12, .bold = true},
      {.control = "lblWhichBytes", .family = "Arial", .points = 12, .bold = true},
      {.control = "lblAction", .family = "Arial", .points = 12, .bold = true},
      {.control = "lblCreateThis", .family = "MS Sans Serif", .points = 8.25, .bold = true},
      {.control = "txtTo", .family = "Times New Roman", .points = 8.25, .bold = false},
      {.control = "lblHelp(0)", .family = "Arial", .points = 14.25, .bold = true},
      {.control = "lblHelp(2)", .family = "Arial", .points = 14.25, .bold = true},
      {.control = "lblStatus", .family = "MS Sans Serif", .points = 8.25, .bold = false},
      {.control = "optAll", .family = "MS Sans Serif", .points = 8.25, .bold = false},
  };
  for (const Row& row : rows) {
    QWidget* control = Find(row.control);
    ASSERT_NE(control, nullptr) << row.control;
    EXPECT_EQ(control->font().family(), row.family) << row.control;
    EXPECT_EQ(control->font().pointSizeF(), row.points) << row.control;
    EXPECT_EQ(control->font().bold(), row.bold) << row.control;
  }
}

// A stored text longer than the box's typing limit is kept whole; as the user deletes, the limit comes down with the
// text but the cursor stays where the user is typing.
TEST_F(FontsAndTypingTest, ShorteningAnOverlongBoxKeepsTheCursorWhereTheUserTypes) {
  QLineEdit* box = window->txtNth;
  const int typingLimit = box->maxLength();
  const QString overlong(typingLimit + 5, u'7');
  ui::SetWholeText(box, overlong);
  EXPECT_EQ(box->text(), overlong);
  box->setCursorPosition(3);
  QTest::keyClick(box, Qt::Key_Backspace);
  EXPECT_EQ(box->text().size(), typingLimit + 4);
  EXPECT_EQ(box->maxLength(), typingLimit + 4);
  EXPECT_EQ(box->cursorPosition(), 2);
}

}  // namespace
