#include "engine/transform.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <numeric>
#include <string>
#include <vector>

#include "engine/failure.h"
#include "support/fakes.h"

namespace engine {
namespace {

using Bytes = std::vector<std::uint8_t>;
using Edit = std::function<void(JobSettings&)>;

// "Change ALL bytes" and no action: each case turns on what it tests.
JobSettings Job(const Edit& edit) {
  JobSettings job;
  job.optall = true;
  job.nth = std::string("1");
  job.mask = std::string("0");
  job.add = std::string("1");
  job.shift = std::string("1");
  job.optrandomseq = kUnchecked;
  edit(job);
  return job;
}

Bytes Iota(std::size_t size) {
  Bytes b(size);
  std::iota(b.begin(), b.end(), std::uint8_t{0});
  return b;
}

Edit Nth(const char* n) {
  return [n](JobSettings& j) {
    j.optall = false;
    j.optnth = true;
    j.nth = n;
  };
}
Edit Mask(const char* m) {
  return [m](JobSettings& j) {
    j.optall = false;
    j.optmask = true;
    j.mask = m;
  };
}
Edit Both(Edit a, Edit b) {
  return [a, b](JobSettings& j) {
    a(j);
    b(j);
  };
}
Edit ShiftBy(const char* s) {
  return [s](JobSettings& j) {
    j.optshift = true;
    j.shift = s;
  };
}
Edit AddBy(const char* a) {
  return [a](JobSettings& j) {
    j.optadd = true;
    j.add = a;
  };
}
Edit ByteRange(const char* low, const char* high) {
  return [low, high](JobSettings& j) {
    j.optcorrupt = true;
    j.optbyterange = true;
    j.range1 = low;
    j.range2 = high;
  };
}
Edit RandomBytes() {
  return [](JobSettings& j) {
    j.optcorrupt = true;
    j.optrandombytes = true;
  };
}
Edit Sequence(const char* list, int randomSeq) {
  return [list, randomSeq](JobSettings& j) {
    j.optcorrupt = true;
    j.optsequence = true;
    j.sequence = list;
    j.optrandomseq = randomSeq;
  };
}
Edit None() {
  return [](JobSettings&) {};
}

const std::string kError = "status: Status: Error!";

struct RefusalCase {
  const char* name;
  Edit edit;
  std::size_t size;
  std::vector<std::string> events;
};

TEST(SelectAndTransform, RefusesWithMessageThenFocusThenStatus) {
  const std::string r1 = "message: Put is at least SOMETHING for 'Every ?th byte'!";
  const std::string r2 =
      "message: Frequency of corruption is less than length!  Rom Corruption Pointless!";
  const std::string r4 = "message: You're not adding anything!";
  const std::string r5 = "message: You're not doing anything, shifting by 0!";
  const std::vector<RefusalCase> cases = {
      {"spacing 0", Nth("0"), 8, {r1, "focus: txtNth", kError}},
      {"spacing -2147483648 stays negative", Nth("-2147483648"), 8, {r1, "focus: txtNth", kError}},
      {"spacing $80000000", Nth("$80000000"), 8, {r1, "focus: txtNth", kError}},
      {"R1 comes before the addend check", Both(Nth("0"), AddBy("0")), 8,
       {r1, "focus: txtNth", kError}},
      {"R1 comes before the shift", Both(Nth(""), ShiftBy("'")), 8, {r1, "focus: txtNth", kError}},
      {"spacing above the last index", Nth("8"), 8, {r2, "focus: txtNth", kError}},
      {"spacing -8 above the last index", Nth("-8"), 8, {r2, "focus: txtNth", kError}},
      {"one-byte range in every-n-th mode", Nth("1"), 1, {r2, "focus: txtNth", kError}},
      {"R2 comes before the byte range", Both(Nth("9"), ByteRange("$20", "$10")), 8,
       {r2, "focus: txtNth", kError}},
      {"byte range high above 255", ByteRange("$FF", "$100"), 8,
       {"message: Bad Random Range! (FF-100)", "focus: txtRange1", kError}},
      {"byte range low above high", ByteRange("$20", "$10"), 8,
       {"message: Bad Random Range! (20-10)", "focus: txtRange1", kError}},
      {"byte range low negative", ByteRange("-1", "5"), 8,
       {"message: Bad Random Range! (FFFFFFFF-5)", "focus: txtRange1", kError}},
      {"byte range from a mask selection", Both(Mask("13"), ByteRange("0", "256")), 8,
       {"message: Bad Random Range! (0-100)", "focus: txtRange1", kError}},
      {"addend 0 keeps the focus and reads Ready", AddBy("0"), 8,
       {r4, "status: Status: Ready!"}},
      {"addend 256", AddBy("256"), 8, {r4, "status: Status: Ready!"}},
      {"addend -256", AddBy("-256"), 8, {r4, "status: Status: Ready!"}},
      {"shift by the last index", ShiftBy("7"), 8, {r5, "focus: txtShift", kError}},
      {"shift 0", ShiftBy("0"), 8, {r5, "focus: txtShift", kError}},
      {"shift -14", ShiftBy("-14"), 8, {r5, "focus: txtShift", kError}},
      {"shift on two bytes", ShiftBy("5"), 2, {r5, "focus: txtShift", kError}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    FakeHost fake;
    Bytes buffer = Iota(c.size);
    EXPECT_EQ(SelectAndTransform(Job(c.edit), buffer, fake.host), TransformResult::Refused);
    EXPECT_EQ(fake.ui.events, c.events);
    EXPECT_EQ(buffer, Iota(c.size));
  }
}

struct FailureCase {
  const char* name;
  Edit edit;
  std::size_t size;
  FailureKind kind;
};

TEST(SelectAndTransform, FailuresReachTheCallerAndLeaveTheBufferAlone) {
  const std::vector<FailureCase> cases = {
      {"spacing", Nth("'"), 8, FailureKind::InvalidArgument},
      {"mask", Mask("99999999999"), 8, FailureKind::Overflow},
      {"low bound", ByteRange("'", "5"), 8, FailureKind::InvalidArgument},
      {"high bound", ByteRange("5", "1E10"), 8, FailureKind::Overflow},
      {"addend", AddBy("'"), 8, FailureKind::InvalidArgument},
      {"shift count", ShiftBy("-$80000000"), 8, FailureKind::Overflow},
      {"sequence item", Sequence("1, 2, '", 0), 8, FailureKind::InvalidArgument},
      {"shift over one byte", ShiftBy("3"), 1, FailureKind::DivisionByZero},
      {"shift 0 over one byte", ShiftBy("0"), 1, FailureKind::DivisionByZero},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    FakeHost fake;
    Bytes buffer = Iota(c.size);
    try {
      SelectAndTransform(Job(c.edit), buffer, fake.host);
      ADD_FAILURE() << "no failure raised";
    } catch (const HostFailure& failure) {
      EXPECT_EQ(failure.kind(), c.kind);
    }
    EXPECT_TRUE(fake.ui.events.empty());
    EXPECT_EQ(buffer, Iota(c.size));
  }
}

struct BytesCase {
  const char* name;
  Edit edit;
  Bytes before;
  Bytes after;
};

void ExpectBytes(const std::vector<BytesCase>& cases) {
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    FakeHost fake;
    Bytes buffer = c.before;
    EXPECT_EQ(SelectAndTransform(Job(c.edit), buffer, fake.host), TransformResult::Done);
    EXPECT_EQ(buffer, c.after);
    EXPECT_TRUE(fake.ui.events.empty());
  }
}

TEST(SelectAndTransform, ShiftRotatesTheRangeOrMovesTheTouchedBytes) {
  ExpectBytes({
      {"3", ShiftBy("3"), Iota(8), {3, 4, 5, 6, 7, 0, 1, 2}},
      {"-3", ShiftBy("-3"), Iota(8), {5, 6, 7, 0, 1, 2, 3, 4}},
      {"10 is 3", ShiftBy("10"), Iota(8), {3, 4, 5, 6, 7, 0, 1, 2}},
      {"8 is 1", ShiftBy("8"), Iota(8), {1, 2, 3, 4, 5, 6, 7, 0}},
      {"5, more than half", ShiftBy("5"), Iota(8), {5, 6, 7, 0, 1, 2, 3, 4}},
      {"-5, more than half", ShiftBy("-5"), Iota(8), {3, 4, 5, 6, 7, 0, 1, 2}},
      {"-6", ShiftBy("-6"), Iota(8), {2, 3, 4, 5, 6, 7, 0, 1}},
      {"2147483647 is 1", ShiftBy("2147483647"), Iota(8), {1, 2, 3, 4, 5, 6, 7, 0}},
      {"-2147483648 is -2", ShiftBy("-2147483648"), Iota(8), {6, 7, 0, 1, 2, 3, 4, 5}},
      {"three bytes", ShiftBy("1"), Iota(3), {1, 2, 0}},
      {"every 2nd, 3", Both(Nth("2"), ShiftBy("3")), Iota(8), {3, 1, 5, 3, 7, 0, 1, 2}},
      {"every 2nd, -3", Both(Nth("2"), ShiftBy("-3")), Iota(8), {5, 6, 7, 3, 1, 5, 3, 7}},
      {"every 3rd, 1", Both(Nth("3"), ShiftBy("1")), Iota(8), {1, 1, 2, 4, 4, 5, 7, 0}},
      {"every 3rd, -1", Both(Nth("3"), ShiftBy("-1")), Iota(8), {7, 1, 2, 2, 4, 5, 5, 7}},
      {"every 7th, -6", Both(Nth("7"), ShiftBy("-6")), Iota(8), {2, 3, 4, 5, 6, 7, 6, 1}},
      {"mask 1, 3", Both(Mask("1"), ShiftBy("3")), Iota(8), {3, 1, 5, 3, 7, 0, 1, 2}},
      {"mask 2, 2", Both(Mask("2"), ShiftBy("2")), Iota(8), {2, 3, 2, 3, 6, 7, 0, 1}},
      {"mask 2, -3", Both(Mask("2"), ShiftBy("-3")), Iota(8), {5, 6, 7, 3, 1, 2, 6, 7}},
      {"mask -1 moves only the wrapped bytes", Both(Mask("-1"), ShiftBy("2")), Iota(8),
       {2, 1, 2, 3, 4, 5, 0, 1}},
  });
}

TEST(SelectAndTransform, AddChangesOnlyTheSelectedBytes) {
  Bytes plusOneAtMask13(70);
  std::iota(plusOneAtMask13.begin(), plusOneAtMask13.end(), std::uint8_t{0});
  for (int i : {0, 2, 16, 18, 32, 34, 48, 50, 64, 66}) ++plusOneAtMask13[i];
  Bytes plusOneEvery4th = Iota(13);
  for (int i : {0, 4, 8, 12}) ++plusOneEvery4th[i];
  ExpectBytes({
      {"$FF subtracts one", AddBy("$FF"), {0, 1, 200, 255}, {255, 0, 199, 254}},
      {"-1 subtracts one", AddBy("-1"), {0, 1, 200, 255}, {255, 0, 199, 254}},
      {"257 adds one", AddBy("257"), {0, 1, 200, 255}, {1, 2, 201, 0}},
      {"'A", AddBy("'A"), {0, 200}, {65, 9}},
      {"every 7th on 8 bytes: first and last", Both(Nth("7"), AddBy("1")), Iota(8),
       {1, 1, 2, 3, 4, 5, 6, 8}},
      {"every -4th", Both(Nth("-4"), AddBy("1")), Iota(13), plusOneEvery4th},
      {"mask %00001101", Both(Mask("%00001101"), AddBy("1")), Iota(70), plusOneAtMask13},
      {"mask 0 touches all", Both(Mask("0"), AddBy("1")), Iota(4), {1, 2, 3, 4}},
      {"mask -1 touches position 0", Both(Mask("-1"), AddBy("1")), Iota(4), {1, 1, 2, 3}},
      {"the last checked option decides the mode",
       [](JobSettings& j) {
         Nth("2")(j);
         Mask("-1")(j);
         AddBy("1")(j);
       },
       Iota(4), {1, 1, 2, 3}},
      {"no action leaves the range as read", None(), Iota(5), Iota(5)},
  });
}

// What position i of a corrupted buffer must hold, from its own draw.
struct CorruptCase {
  const char* name;
  Edit edit;
  std::size_t size;
  std::function<bool(std::size_t)> touched;
  std::function<std::uint8_t(std::uint32_t draw)> value;
};

TEST(SelectAndTransform, CorruptDrawsOncePerPositionAfterReseedingFromTheClock) {
  // A script whose length shares no factor with the spacings or the chunk size,
  // so a draw that went to the wrong position shows.
  std::vector<std::uint32_t> script;
  for (std::uint32_t v = 0; v < 97; ++v) script.push_back((v * 2654435761u) >> 8);
  script[0] = 0;
  script[1] = (1u << 24) - 1;
  const auto bytes = [](std::uint32_t d) { return static_cast<std::uint8_t>(d >> 16); };
  const auto range16 = [](std::uint32_t d) { return static_cast<std::uint8_t>(16 + (d >> 20)); };
  const auto all = [](std::size_t) { return true; };
  const std::vector<CorruptCase> cases = {
      {"random bytes", RandomBytes(), 10000, all, bytes},
      {"byte range $10-$1F", ByteRange("$10", "$1F"), 10000, all, range16},
      {"byte range $00-$00", ByteRange("$00", "$00"), 300, all, [](std::uint32_t) { return 0; }},
      {"byte range 'A-'A", ByteRange("'A", "'A"), 300, all, [](std::uint32_t) { return 65; }},
      {"byte range 0-255", ByteRange("0", "255"), 300, all, bytes},
      {"every 3rd across chunks", Both(Nth("3"), RandomBytes()), 10000,
       [](std::size_t i) { return i % 3 == 0; }, bytes},
      {"every 4099th", Both(Nth("4099"), ByteRange("$10", "$1F")), 10000,
       [](std::size_t i) { return i % 4099 == 0; }, range16},
      {"mask %00001101 across chunks", Both(Mask("%00001101"), RandomBytes()), 10000,
       [](std::size_t i) { return (i & 13) == 0; }, bytes},
      {"mask $1000", Both(Mask("$1000"), ByteRange("$10", "$1F")), 10000,
       [](std::size_t i) { return (i & 0x1000) == 0; }, range16},
      {"no replacement chosen: zero", [](JobSettings& j) { j.optcorrupt = true; }, 300, all,
       [](std::uint32_t) { return 0; }},
      {"byte range wins over random bytes", Both(RandomBytes(), ByteRange("$10", "$1F")), 300,
       all, range16},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    FakeHost fake;
    fake.random = ScriptedRandom(script);
    std::uint32_t earlier[3];
    fake.random.Draw(earlier);  // the reseed must restart the script
    fake.random.drawn = 0;
    const Bytes before(c.size, 0xA5);
    Bytes buffer = before;
    EXPECT_EQ(SelectAndTransform(Job(c.edit), buffer, fake.host), TransformResult::Done);
    EXPECT_EQ(fake.random.seeds, std::vector<float>{12345.5f});
    EXPECT_EQ(fake.random.drawn, c.size);
    std::size_t wrong = 0;
    for (std::size_t i = 0; i < c.size; ++i) {
      const std::uint8_t expected = c.touched(i) ? c.value(script[i % script.size()]) : 0xA5;
      if (buffer[i] != expected && wrong++ < 5)
        ADD_FAILURE() << "position " << i << ": " << int(buffer[i]) << " != " << int(expected);
    }
    EXPECT_TRUE(fake.ui.events.empty());
  }
}

TEST(SelectAndTransform, LoopingSequenceFillsTheTouchedBytes) {
  const auto pick = [](int index, int count) { return ScriptedRandom::For(index, count); };
  struct SequenceCase {
    const char* name;
    Edit edit;
    std::vector<std::uint32_t> draws;
    Bytes after;
  };
  const std::vector<SequenceCase> cases = {
      {"in turn, restarting", Sequence("$00,$01,$02,$7F,$FF", 0), {0},
       {0x00, 0x01, 0x02, 0x7F, 0xFF, 0x00, 0x01}},
      {"in turn over every 2nd byte", Both(Nth("2"), Sequence("$00,$01,$02,$7F,$FF", 0)), {0},
       {0x00, 1, 0x01, 3, 0x02, 5, 0x7F}},
      {"grey random check counts as unchecked", Sequence("9,8", 2), {0}, {9, 8, 9, 8, 9, 8, 9}},
      {"blank items skipped, low 8 bits", Sequence(" 1,, ,256,-1, ", 0), {0},
       {1, 0, 255, 1, 0, 255, 1}},
      {"random picks by each position's draw", Sequence("$00,$01,$02,$7F,$FF", 1),
       {pick(4, 5), pick(0, 5), pick(3, 5), pick(3, 5), pick(1, 5), pick(2, 5), (1u << 24) - 1},
       {0xFF, 0x00, 0x7F, 0x7F, 0x01, 0x02, 0xFF}},
      {"random picks over a mask", Both(Mask("1"), Sequence("10,20", 1)),
       {pick(1, 2), 0, pick(0, 2), 0, pick(1, 2), 0, pick(1, 2)}, {20, 1, 10, 3, 20, 5, 20}},
      {"empty list gives zero", Sequence("", 1), {pick(1, 2)}, {0, 0, 0, 0, 0, 0, 0}},
      {"list of blanks gives zero", Sequence(" , ,", 0), {0}, {0, 0, 0, 0, 0, 0, 0}},
      {"random bytes win over the sequence",
       Both(Sequence("1,2", 0), RandomBytes()), {pick(200, 256)},
       {200, 200, 200, 200, 200, 200, 200}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    FakeHost fake;
    fake.random = ScriptedRandom(c.draws);
    Bytes buffer = Iota(7);
    EXPECT_EQ(SelectAndTransform(Job(c.edit), buffer, fake.host), TransformResult::Done);
    EXPECT_EQ(buffer, c.after);
    EXPECT_EQ(fake.random.drawn, 7u);
  }
}

// A source that breaks its promise of 24-bit values must not push a pick
// out of the list or a byte out of its range.
TEST(SelectAndTransform, OversizedDrawsStayInBounds) {
  for (const Edit& edit :
       {Sequence("1,2,3", 1), ByteRange("$10", "$1F"), RandomBytes(),
        Both(Mask("2"), ByteRange("$10", "$1F"))}) {
    FakeHost fake;
    fake.random = ScriptedRandom({0xFFFFFFFFu, 0x80000000u});
    Bytes buffer(64, 0);
    EXPECT_EQ(SelectAndTransform(Job(edit), buffer, fake.host), TransformResult::Done);
    for (std::uint8_t b : buffer) EXPECT_TRUE(b <= 0x1F || b == 0xFF) << int(b);
  }
}

TEST(SelectAndTransform, EmptyBufferIsHarmless) {
  for (const Edit& edit : {RandomBytes(), AddBy("1"), Both(Mask("3"), AddBy("1"))}) {
    FakeHost fake;
    Bytes buffer;
    EXPECT_EQ(SelectAndTransform(Job(edit), buffer, fake.host), TransformResult::Done);
  }
  FakeHost fake;
  Bytes buffer;
  EXPECT_EQ(SelectAndTransform(Job(ShiftBy("5")), buffer, fake.host), TransformResult::Refused);
}

// The every-n-th and mask shifts follow the position-by-position description
// on ranges big enough for every loop bound to matter.
TEST(SelectAndTransform, ShiftAgreesWithThePositionByPositionRule) {
  const auto reference = [](Bytes b, const std::function<bool(std::size_t)>& touched,
                            std::int64_t k) {
    const std::int64_t last = static_cast<std::int64_t>(b.size()) - 1;
    const Bytes old = b;
    if (k > 0) {
      for (std::int64_t i = 0; i <= last - k; ++i)
        if (touched(i)) b[i] = old[i + k];
      for (std::int64_t j = 0; j < k; ++j) b[last + 1 - k + j] = old[j];
    } else {
      const std::int64_t c = -k;
      for (std::int64_t j = last; j >= c; --j)
        if (touched(j)) b[j] = old[j - c];
      for (std::int64_t i = 0; i < c; ++i) b[i] = old[last + 1 - c + i];
    }
    return b;
  };
  Bytes start(1001);
  for (std::size_t i = 0; i < start.size(); ++i) start[i] = static_cast<std::uint8_t>(i * 37 + i / 256);
  struct Selector {
    Edit edit;
    std::function<bool(std::size_t)> touched;
  };
  const std::vector<Selector> selectors = {
      {None(), [](std::size_t) { return true; }},
      {Nth("3"), [](std::size_t i) { return i % 3 == 0; }},
      {Nth("1000"), [](std::size_t i) { return i % 1000 == 0; }},
      {Mask("%00001101"), [](std::size_t i) { return (i & 13) == 0; }},
      {Mask("-1"), [](std::size_t i) { return i == 0; }},
      {Mask("$FFFFFC00"), [](std::size_t) { return true; }},
  };
  for (std::size_t s = 0; s < selectors.size(); ++s) {
    for (std::int64_t k : {1, -1, 2, -2, 499, -499, 500, -500, 501, -501, 998, -998}) {
      SCOPED_TRACE("selector " + std::to_string(s) + " shift " + std::to_string(k));
      FakeHost fake;
      Bytes buffer = start;
      const std::string text = std::to_string(k);
      ASSERT_EQ(SelectAndTransform(Job(Both(selectors[s].edit, ShiftBy(text.c_str()))), buffer,
                                   fake.host),
                TransformResult::Done);
      EXPECT_EQ(buffer, reference(start, selectors[s].touched, k));
    }
  }
}

}  // namespace
}  // namespace engine
