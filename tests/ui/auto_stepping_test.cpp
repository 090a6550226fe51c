#include "window_fixture.h"

namespace {

using AutoSteppingTest = WindowTest;

struct Texts {
  std::string start, end, inc;
};

Texts Read(const ui::frm& window) {
  return {window.txtStart->text().toStdString(), window.txtEnd->text().toStdString(),
          window.txtInc->text().toStdString()};
}

void Set(ui::frm& window, const Texts& texts) {
  window.txtStart->setText(QString::fromStdString(texts.start));
  window.txtEnd->setText(QString::fromStdString(texts.end));
  window.txtInc->setText(QString::fromStdString(texts.inc));
}

TEST_F(AutoSteppingTest, PlusAndMinusMoveTheFlaggedFields) {
  struct Case {
    const char* name;
    Texts before;
    char button;  // '+' or '-'
    int index;
    Texts after;
  };
  const Case cases[] = {
      {"both up", {"$1010", "$2010", "$1000"}, '+', 3, {"$2010", "$3010", "$1000"}},
      {"both down", {"$1010", "$2010", "$1000"}, '-', 3, {"$10", "$1010", "$1000"}},
      {"start only", {"$1010", "$2010", "$1000"}, '+', 1, {"$2010", "$2010", "$1000"}},
      {"end only", {"$1010", "$2010", "$1000"}, '-', 2, {"$1010", "$1010", "$1000"}},
      {"below zero", {"$800", "$2010", "$1000"}, '-', 1, {"$FFFFF800", "$2010", "$1000"}},
      {"back from below zero", {"$FFFFF800", "$2010", "$1000"}, '+', 1, {"$800", "$2010", "$1000"}},
      {"wraps at 2^31", {"$7FFFF000", "$7FFFFFFF", "$1000"}, '+', 3,
       {"$80000000", "$80000FFF", "$1000"}},
      // A zero step keeps the values but rewrites the notation of what moved.
      {"empty step", {"4096", "%1111", ""}, '+', 3, {"$1000", "$F", ""}},
      {"step without digits", {"'A", "10", "abc"}, '-', 1, {"$41", "10", "abc"}},
      {"negative step up", {"$100", "$200", "-$10"}, '+', 3, {"$F0", "$1F0", "-$10"}},
      {"negative step down", {"$100", "$200", "-$10"}, '-', 3, {"$110", "$210", "-$10"}},
      // An unflagged field is neither read nor rewritten, even when unreadable.
      {"unreadable start left alone", {"'", "$20", "$8"}, '+', 2, {"'", "$28", "$8"}},
      {"unreadable end left alone", {"1", "'", "$8"}, '-', 1, {"$FFFFFFF9", "'", "$8"}},
  };
  for (const Case& c : cases) {
    Set(*window, c.before);
    QPushButton* button = (c.button == '+' ? window->cmdPlus : window->cmdMinus)[c.index];
    QTest::mouseClick(button, Qt::LeftButton);
    const Texts after = Read(*window);
    EXPECT_EQ(after.start, c.after.start) << c.name;
    EXPECT_EQ(after.end, c.after.end) << c.name;
    EXPECT_EQ(after.inc, c.after.inc) << c.name;
  }
  EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(AutoSteppingTest, AnUnreadableNumberEndsTheStepSilentlyKeepingWhatWasWritten) {
  struct Case {
    const char* name;
    Texts before;
    int index;
    Texts after;
  };
  const Case cases[] = {
      // The step is read first: nothing moves.
      {"lone quote step", {"10", "20", "'"}, 3, {"10", "20", "'"}},
      {"step too large", {"10", "20", "99999999999"}, 3, {"10", "20", "99999999999"}},
      // The start has already been written when the end cannot be read.
      {"lone quote end", {"16", "'", "$10"}, 3, {"$20", "'", "$10"}},
      {"lone quote start", {"'", "16", "$10"}, 3, {"'", "16", "$10"}},
  };
  for (const Case& c : cases) {
    Set(*window, c.before);
    window->cmdPlus_Click(c.index);
    const Texts after = Read(*window);
    EXPECT_EQ(after.start, c.after.start) << c.name;
    EXPECT_EQ(after.end, c.after.end) << c.name;
    EXPECT_EQ(after.inc, c.after.inc) << c.name;
  }
  EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(AutoSteppingTest, AutoEndMakesTheRangeOneStepLong) {
  struct Case {
    Texts before;
    std::string end;
  };
  const Case cases[] = {
      {{"$1010", "x", "$1000"}, "$200F"},
      {{"$1010", "x", "1"}, "$1010"},       // a one-byte range
      {{"$1010", "x", ""}, "$100F"},        // a zero step: one below the start
      {{"$0", "x", "$0"}, "$FFFFFFFF"},
      {{"4096", "x", "%10000"}, "$100F"},   // start and step keep their notation
      {{"$7FFFFFFF", "x", "2"}, "$80000000"},
      {{"'", "$5", "$10"}, "$5"},           // unreadable start: the end stays
      {{"$10", "$5", "'"}, "$5"},           // unreadable step
  };
  for (const Case& c : cases) {
    Set(*window, c.before);
    QTest::mouseClick(window->cmdAutoEnd, Qt::LeftButton);
    const Texts after = Read(*window);
    EXPECT_EQ(after.end, c.end) << c.before.start << " + " << c.before.inc;
    EXPECT_EQ(after.start, c.before.start);
    EXPECT_EQ(after.inc, c.before.inc);
  }
  EXPECT_TRUE(dialogs.messages.empty());
}

}  // namespace
