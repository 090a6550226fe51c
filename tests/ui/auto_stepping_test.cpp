#include "window_fixture.h"

namespace {

using AutoSteppingTest = WindowTest;

// "+", "-" (by index) and "Auto End" ('E') on the start, end and step boxes;
// the arithmetic itself is the stepping's own.
TEST_F(AutoSteppingTest, ButtonsMoveTheFlaggedFields) {
  const std::tuple<std::string, char, int, std::string> cases[] = {
      // start end step, button, index, after
      {"$1010 $2010 $1000", '+', 3, "$2010 $3010 $1000"},
      {"$1010 $2010 $1000", '-', 3, "$10 $1010 $1000"},
      {"$1010 $2010 $1000", '+', 1, "$2010 $2010 $1000"},
      {"$1010 $2010 $1000", '-', 2, "$1010 $1010 $1000"},
      {"$800 $2010 $1000", '-', 1, "$FFFFF800 $2010 $1000"},
      {"$7FFFF000 $7FFFFFFF $1000", '+', 3, "$80000000 $80000FFF $1000"},  // wraps at 2^31
      {"4096 %1111 ", '+', 3, "$1000 $F "},  // a zero step rewrites the notation of what moved
      {"$100 $200 -$10", '+', 3, "$F0 $1F0 -$10"},
      {"1 ' $8", '-', 1, "$FFFFFFF9 ' $8"},  // an unflagged field is not read
      {"10 20 '", '+', 3, "10 20 '"},        // an unreadable step moves nothing, silently
      {"$1010 x $1000", 'E', 0, "$1010 $200F $1000"},
      {"$1010 x ", 'E', 0, "$1010 $100F "},
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
