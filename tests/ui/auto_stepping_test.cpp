#include "window_fixture.h"

namespace {

using AutoSteppingTest = WindowTest;

// "+", "-" and "Auto End" on the start, end and step boxes; the arithmetic
// itself is the stepping's own.
TEST_F(AutoSteppingTest, ButtonsMoveTheFlaggedFields) {
  struct Case {
    const char* name;
    std::array<const char*, 3> before;  // start, end, step
    char button;                        // '+', '-' or 'E' for "Auto End"
    int index;
    std::array<const char*, 3> after;
  };
  const Case cases[] = {
      {"both up", {"$1010", "$2010", "$1000"}, '+', 3, {"$2010", "$3010", "$1000"}},
      {"both down", {"$1010", "$2010", "$1000"}, '-', 3, {"$10", "$1010", "$1000"}},
      {"start only", {"$1010", "$2010", "$1000"}, '+', 1, {"$2010", "$2010", "$1000"}},
      {"end only", {"$1010", "$2010", "$1000"}, '-', 2, {"$1010", "$1010", "$1000"}},
      {"below zero", {"$800", "$2010", "$1000"}, '-', 1, {"$FFFFF800", "$2010", "$1000"}},
      {"wraps at 2^31", {"$7FFFF000", "$7FFFFFFF", "$1000"}, '+', 3,
       {"$80000000", "$80000FFF", "$1000"}},
      // A zero step keeps the values but rewrites the notation of what moved.
      {"empty step", {"4096", "%1111", ""}, '+', 3, {"$1000", "$F", ""}},
      {"negative step", {"$100", "$200", "-$10"}, '+', 3, {"$F0", "$1F0", "-$10"}},
      // An unflagged field is not read, even when unreadable; an unreadable
      // step moves nothing and says nothing.
      {"unreadable end left alone", {"1", "'", "$8"}, '-', 1, {"$FFFFFFF9", "'", "$8"}},
      {"unreadable step", {"10", "20", "'"}, '+', 3, {"10", "20", "'"}},
      {"auto end", {"$1010", "x", "$1000"}, 'E', 0, {"$1010", "$200F", "$1000"}},
      {"auto end, zero step", {"$1010", "x", ""}, 'E', 0, {"$1010", "$100F", ""}},
      {"auto end, unreadable start", {"'", "$5", "$10"}, 'E', 0, {"'", "$5", "$10"}},
  };
  QLineEdit* boxes[] = {window->txtStart, window->txtEnd, window->txtInc};
  for (const Case& c : cases) {
    for (int i = 0; i < 3; ++i) boxes[i]->setText(c.before[i]);
    QPushButton* button = c.button == 'E'   ? window->cmdAutoEnd
                          : c.button == '+' ? window->cmdPlus[c.index]
                                            : window->cmdMinus[c.index];
    QTest::mouseClick(button, Qt::LeftButton);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(boxes[i]->text(), c.after[i]) << c.name << " box " << i;
  }
  EXPECT_TRUE(dialogs.messages.empty());
}

}  // namespace
