#include "engine/transform.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <numeric>
#include <optional>
#include <string>
#include <vector>

#include "engine/failure.h"
#include "support/fakes.h"

namespace engine {
namespace {

using Bytes = std::vector<std::uint8_t>;
using Edit = std::function<void(JobSettings&)>;
using Touched = std::function<bool(std::size_t)>;

Edit Nth(std::string n) {
  return [n](JobSettings& j) {
    j.optall = false;
    j.optnth = true;
    j.nth = n;
  };
}
Edit Mask(std::string m) {
  return [m](JobSettings& j) {
    j.optall = false;
    j.optmask = true;
    j.mask = m;
  };
}
Edit ShiftBy(std::string s) {
  return [s](JobSettings& j) {
    j.optshift = true;
    j.shift = s;
  };
}
Edit AddBy(std::string a) {
  return [a](JobSettings& j) {
    j.optadd = true;
    j.add = a;
  };
}
Edit RandomBytes() {
  return [](JobSettings& j) { j.optcorrupt = j.optrandombytes = true; };
}
Edit ByteRange(std::string low, std::string high) {
  return [=](JobSettings& j) {
    j.optcorrupt = j.optbyterange = true;
    j.range1 = low;
    j.range2 = high;
  };
}
Edit Sequence(std::string list, int randomSeq) {
  return [=](JobSettings& j) {
    j.optcorrupt = j.optsequence = true;
    j.sequence = list;
    j.optrandomseq = randomSeq;
  };
}

// "Change ALL bytes" and no action, then the edits in order.
JobSettings Job(const std::vector<Edit>& edits) {
  JobSettings job;
  job.optall = true;
  job.optrandomseq = kUnchecked;
  for (const auto& edit : edits) edit(job);
  return job;
}

Bytes Iota(std::size_t size) {
  Bytes b(size);
  std::iota(b.begin(), b.end(), std::uint8_t{0});
  return b;
}

// A refusal shows its message, moves the focus, sets the status; a failure
// reaches the caller. Neither touches the buffer.
TEST(SelectAndTransform, RefusesOrFailsLeavingTheBufferAlone) {
  const std::string r1 = "message: Put is at least SOMETHING for 'Every ?th byte'!";
  const std::string r2 = "message: Frequency of corruption is less than length!  Rom Corruption Pointless!";
  const std::string r5 = "message: You're not doing anything, shifting by 0!";
  const std::string nth = "focus: txtNth", range1 = "focus: txtRange1", error = "status: Status: Error!";
  const struct {
    std::vector<Edit> edits;
    std::size_t size;
    std::vector<std::string> events;
    std::optional<FailureKind> failure = std::nullopt;
  } cases[] = {
      {{Nth("-2147483648")}, 8, {r1, nth, error}},  // its absolute value stays negative
      {{Nth("0"), AddBy("0")}, 8, {r1, nth, error}},
      {{Nth(""), ShiftBy("'")}, 8, {r1, nth, error}},
      {{Nth("8")}, 8, {r2, nth, error}},
      {{Nth("9"), ByteRange("$20", "$10")}, 8, {r2, nth, error}},
      {{ByteRange("$FF", "$100")}, 8, {"message: Bad Random Range! (FF-100)", range1, error}},
      {{ByteRange("$20", "$10")}, 8, {"message: Bad Random Range! (20-10)", range1, error}},
      {{ByteRange("-1", "5")}, 8, {"message: Bad Random Range! (FFFFFFFF-5)", range1, error}},
      {{AddBy("256")}, 8, {"message: You're not adding anything!", "status: Status: Ready!"}},
      {{ShiftBy("7")}, 8, {r5, "focus: txtShift", error}},
      {{ShiftBy("-14")}, 8, {r5, "focus: txtShift", error}},
      {{Nth("'")}, 8, {}, FailureKind::InvalidArgument},
      {{ByteRange("5", "1E10")}, 8, {}, FailureKind::Overflow},
      {{Sequence("1, '", 0)}, 8, {}, FailureKind::InvalidArgument},
      {{ShiftBy("3")}, 1, {}, FailureKind::DivisionByZero},
  };
  for (const auto& c : cases) {
    FakeHost fake;
    Bytes buffer = Iota(c.size);
    try {
      EXPECT_EQ(SelectAndTransform(Job(c.edits), buffer, fake.host), TransformResult::Refused);
      EXPECT_FALSE(c.failure) << "no failure raised";
    } catch (const HostFailure& failure) {
      EXPECT_EQ(failure.kind(), c.failure);
    }
    EXPECT_EQ(fake.ui.events, c.events) << "case " << (&c - cases);
    EXPECT_EQ(buffer, Iota(c.size));
  }
}

// `bytes` with `addend` added at the touched positions.
Bytes AddAt(Bytes bytes, const Touched& touched, int addend = 1) {
  for (std::size_t i = 0; i < bytes.size(); ++i)
    if (touched(i)) bytes[i] = static_cast<std::uint8_t>(bytes[i] + addend);
  return bytes;
}

TEST(SelectAndTransform, ShiftAddAndSequenceChangeTheSelectedBytes) {
  const auto pick = [](int index, int count) { return ScriptedRandom::For(index, count); };
  const std::vector<std::uint32_t> picks = {pick(4, 5), pick(0, 5), pick(3, 5), (1u << 24) - 1};
  const struct {
    std::vector<Edit> edits;
    Bytes before, after;
    std::vector<std::uint32_t> draws = {0};
  } cases[] = {
      {{ShiftBy("3")}, Iota(8), {3, 4, 5, 6, 7, 0, 1, 2}},
      {{ShiftBy("-3")}, Iota(8), {5, 6, 7, 0, 1, 2, 3, 4}},
      {{ShiftBy("10")}, Iota(8), {3, 4, 5, 6, 7, 0, 1, 2}},
      {{ShiftBy("8")}, Iota(8), {1, 2, 3, 4, 5, 6, 7, 0}},
      {{ShiftBy("-2147483648")}, Iota(8), {6, 7, 0, 1, 2, 3, 4, 5}},
      {{Nth("2"), ShiftBy("3")}, Iota(8), {3, 1, 5, 3, 7, 0, 1, 2}},
      {{Nth("2"), ShiftBy("-3")}, Iota(8), {5, 6, 7, 3, 1, 5, 3, 7}},
      {{Nth("3"), ShiftBy("-3")}, Iota(8), {5, 6, 7, 0, 4, 5, 3, 7}},
      {{Mask("2"), ShiftBy("4")}, Iota(9), {4, 5, 2, 3, 8, 0, 1, 2, 3}},  // the wrapped bytes always move
      {{Mask("2"), ShiftBy("-4")}, Iota(9), {5, 6, 7, 8, 0, 1, 6, 7, 4}},
      {{AddBy("$FF")}, {0, 1, 200, 255}, {255, 0, 199, 254}},
      {{AddBy("257")}, {0, 1, 200, 255}, {1, 2, 201, 0}},
      {{Nth("-4"), AddBy("1")}, Iota(13), AddAt(Iota(13), [](std::size_t i) { return i % 4 == 0; })},
      {{Mask("%00001101"), AddBy("1")}, Iota(70), AddAt(Iota(70), [](std::size_t i) { return (i & 13) == 0; })},
      {{Mask("0"), AddBy("1")}, Iota(4), {1, 2, 3, 4}},
      {{Nth("2"), Mask("-1"), AddBy("1")}, Iota(4), {1, 1, 2, 3}},  // the mask check comes last
      {{}, Iota(5), Iota(5)},
      {{Sequence("$00,$01,$02,$7F,$FF", 0)}, Iota(7), {0x00, 0x01, 0x02, 0x7F, 0xFF, 0x00, 0x01}},
      {{Nth("2"), Sequence("$00,$01,$02,$7F,$FF", 2)}, Iota(7), {0x00, 1, 0x01, 3, 0x02, 5, 0x7F}},
      {{Sequence(" 1,, ,256,-1, ", 0)}, Iota(7), {1, 0, 255, 1, 0, 255, 1}},
      {{Sequence("$00,$01,$02,$7F,$FF", 1)}, Iota(6), {0xFF, 0x00, 0x7F, 0xFF, 0xFF, 0x00}, picks},
      {{Sequence("", 1)}, Iota(3), {0, 0, 0}, {pick(1, 2)}},
      {{Sequence("1,2", 0), RandomBytes()}, Iota(3), {200, 200, 200}, {pick(200, 256)}},
  };
  for (const auto& c : cases) {
    FakeHost fake;
    fake.random = ScriptedRandom(c.draws);
    Bytes buffer = c.before;
    EXPECT_EQ(SelectAndTransform(Job(c.edits), buffer, fake.host), TransformResult::Done);
    EXPECT_EQ(buffer, c.after) << "case " << (&c - cases);
    EXPECT_TRUE(fake.ui.events.empty());
  }
}

TEST(SelectAndTransform, CorruptDrawsOncePerPositionAfterReseedingFromTheClock) {
  // A script whose length shares no factor with the spacings or the chunk size,
  // so a draw that went to the wrong position shows.
  std::vector<std::uint32_t> script;
  for (std::uint32_t v = 0; v < 97; ++v) script.push_back((v * 2654435761u) >> 8);
  script[1] = (1u << 24) - 1;
  const auto bytes = [](std::uint32_t d) { return static_cast<std::uint8_t>(d >> 16); };
  const auto range16 = [](std::uint32_t d) { return static_cast<std::uint8_t>(16 + (d >> 20)); };
  const auto zero = [](std::uint32_t) { return std::uint8_t{0}; };
  const auto all = [](std::size_t) { return true; };
  const struct {
    std::vector<Edit> edits;
    std::size_t size;
    Touched touched;
    std::function<std::uint8_t(std::uint32_t draw)> value;
  } cases[] = {
      {{RandomBytes()}, 10000, all, bytes},
      {{ByteRange("$10", "$1F")}, 10000, all, range16},
      {{Nth("3"), RandomBytes()}, 10000, [](std::size_t i) { return i % 3 == 0; }, bytes},
      {{Nth("4099"), ByteRange("$10", "$1F")}, 10000, [](std::size_t i) { return i % 4099 == 0; }, range16},
      {{Mask("%00001101"), RandomBytes()}, 10000, [](std::size_t i) { return (i & 13) == 0; }, bytes},
      {{[](JobSettings& j) { j.optcorrupt = true; }}, 300, all, zero},  // no replacement chosen
      {{RandomBytes(), ByteRange("$10", "$1F")}, 300, all, range16},
  };
  for (const auto& c : cases) {
    FakeHost fake;
    fake.random = ScriptedRandom(script);
    std::uint32_t earlier[3];
    fake.random.Draw(earlier);  // the reseed must restart the script
    Bytes buffer(c.size, 0xA5);
    EXPECT_EQ(SelectAndTransform(Job(c.edits), buffer, fake.host), TransformResult::Done);
    EXPECT_EQ(fake.random.seeds, std::vector<float>{12345.5f});
    EXPECT_EQ(fake.random.drawn, c.size + 3);
    Bytes expected(c.size, 0xA5);
    for (std::size_t i = 0; i < c.size; ++i)
      if (c.touched(i)) expected[i] = c.value(script[i % script.size()]);
    EXPECT_TRUE(buffer == expected) << "case " << (&c - cases);
  }
}

// A run streams its range: pieces of any size, in order, give the bytes the
// whole range gives at once, draws and all.
TEST(SelectAndTransform, PiecesInRangeOrderGiveTheWholeRangeResult) {
  std::vector<std::uint32_t> script;
  for (std::uint32_t v = 0; v < 97; ++v) script.push_back((v * 2654435761u) >> 8);
  const std::vector<Edit> jobs[] = {{RandomBytes()},
                                    {Nth("7"), ByteRange("$10", "$1F")},
                                    {Mask("%00001101"), RandomBytes()},
                                    {Nth("4099"), AddBy("3")},
                                    {Mask("$100"), AddBy("1")},
                                    {Sequence("1,2,3", 0)},
                                    {Nth("3"), Sequence("1,2,3", 1)}};
  for (const auto& edits : jobs) {
    FakeHost whole, pieces;
    whole.random = pieces.random = ScriptedRandom(script);
    Bytes expected = Iota(10007), got = expected;
    ASSERT_EQ(SelectAndTransform(Job(edits), expected, whole.host), TransformResult::Done);
    auto alteration = Alteration::Prepare(Job(edits), got.size(), pieces.host);
    ASSERT_TRUE(alteration);
    for (std::size_t at = 0, len = 1; at < got.size(); at += len, len = len * 4 + 999)
      alteration->Apply(std::span(got).subspan(at, std::min(len, got.size() - at)));
    EXPECT_TRUE(got == expected) << "job " << (&edits - jobs);
  }
}

}  // namespace
}  // namespace engine
