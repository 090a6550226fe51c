#include "engine/transform.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "engine/failure.h"
#include "support/fakes.h"

namespace engine {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes Pattern(std::size_t size, int step = 1) {
  Bytes b(size);
  for (std::size_t i = 0; i < size; ++i) b[i] = static_cast<std::uint8_t>(i * step + (step == 1 ? 0 : 3));
  return b;
}

std::string Hex(const Bytes& bytes) {
  std::string hex;
  for (std::uint8_t b : bytes) hex += "0123456789ABCDEF"[b >> 4], hex += "0123456789ABCDEF"[b & 15];
  return hex;
}

// What the user saw, then the bytes or the failure; "|" between events.
std::string Outcome(const char* job, Bytes& buffer, FakeHost& fake) {
  std::string result;
  try {
    result = SelectAndTransform(MakeJob(job), buffer, fake.host) == TransformResult::Done ? Hex(buffer) : "refused";
  } catch (const HostFailure& failure) {
    result = failure.what();
  }
  for (auto it = fake.ui.events.rbegin(); it != fake.ui.events.rend(); ++it) result = *it + "|" + result;
  return result;
}

// Refusals and failures leave the buffer alone.
TEST(SelectAndTransform, RefusesOrFailsLeavingTheBufferAlone) {
  const std::string error = "|status: Status: Error!|refused", nth = "|focus: txtNth" + error;
  const std::string some = "message: Put is at least SOMETHING for 'Every ?th byte'!" + nth;
  const std::string pointless =
      "message: Frequency of corruption is less than length!  Rom Corruption Pointless!" + nth;
  const std::string still = "message: You're not doing anything, shifting by 0!|focus: txtShift" + error;
  const std::string range = "|focus: txtRange1" + error, bad = "message: Bad Random Range! (";
  const std::string nothing = "message: You're not adding anything!|status: Status: Ready!|refused";
  const std::string cases[][2] = {
      {"optnth;nth=-2147483648", some},  // its absolute value stays negative
      {"optnth;nth=0;optadd;add=0", some},
      {"optnth;nth=;optshift;shift='", some},
      {"optnth;nth=8", pointless},
      {"optnth;nth=-8", pointless},
      {"optnth;nth=9;optcorrupt;optbyterange;range1=$20;range2=$10", pointless},
      {"optcorrupt;optbyterange;range1=$FF;range2=$100", bad + "FF-100)" + range},
      {"optcorrupt;optbyterange;range1=$20;range2=$10", bad + "20-10)" + range},
      {"optcorrupt;optbyterange;range1=-1;range2=5", bad + "FFFFFFFF-5)" + range},
      {"optadd;add=256", nothing},
      {"optadd;add=%", nothing},
      {"optshift;shift=7", still},
      {"optshift;shift=-14", still},
      {"optnth;nth='", "Invalid procedure call or argument"},
      {"optcorrupt;optsequence;sequence=1, '", "Invalid procedure call or argument"},
      {"optmask;mask=1E10", "Overflow"},
      {"optcorrupt;optbyterange;range1=5;range2=1E10", "Overflow"},
  };
  for (const auto& [job, want] : cases) {
    FakeHost fake;
    Bytes buffer = Pattern(8);
    EXPECT_EQ(Outcome(job.c_str(), buffer, fake), want) << job;
    EXPECT_EQ(buffer, Pattern(8));
  }
  FakeHost fake;
  Bytes one{7};
  EXPECT_EQ(Outcome("optshift;shift=3", one, fake), "Division by zero");
}

TEST(SelectAndTransform, ShiftAddAndSequenceChangeTheSelectedBytes) {
  const auto pick = [](int index, int count) { return ScriptedRandom::For(index, count); };
  const std::string five = "optcorrupt;optsequence;sequence=$00,$01,$02,$7F,$FF";
  const struct {
    std::string job;
    std::size_t size;
    const char* after;
    std::vector<std::uint32_t> draws = {0};
  } cases[] = {
      {"optshift;shift=3", 8, "0304050607000102"},
      {"optshift;shift=-3", 8, "0506070001020304"},
      {"optshift;shift=10", 8, "0304050607000102"},
      {"optshift;shift=8", 8, "0102030405060700"},
      {"optshift;shift=-2147483648", 8, "0607000102030405"},
      {"optnth;nth=2;optshift;shift=3", 8, "0301050307000102"},
      {"optnth;nth=2;optshift;shift=-3", 8, "0506070301050307"},
      {"optnth;nth=3;optshift;shift=-3", 8, "0506070004050307"},
      {"optnth;nth=7;optshift;shift=1", 8, "0101020304050600"},  // n at the last index: first and last byte
      {"optnth;nth=7;optshift;shift=-1", 8, "0701020304050606"},
      {"optnth;nth=7;optadd;add=1", 8, "0101020304050608"},
      {"optmask;mask=2;optshift;shift=4", 9, "040502030800010203"},  // the wrapped bytes always move
      {"optmask;mask=2;optshift;shift=-4", 9, "050607080001060704"},
      {"optadd;add=$FF", 4, "FF000102"},
      {"optadd;add=257", 4, "01020304"},
      {"optmask;mask=0;optadd;add=1", 4, "01020304"},
      {"optnth;nth=2;optmask;mask=-1;optadd;add=1", 4, "01010203"},  // the mask check comes last
      {"", 5, "0001020304"},
      {five, 7, "000102 7FFF0001"},
      {"optnth;nth=2;optrandomseq=2;" + five, 7, "00010103020 57F"},  // grey is not checked
      {"optcorrupt;optsequence;sequence= 1,, ,256,-1, ", 7, "0100FF0100FF01"},
      {five + ";optrandomseq", 6, "FF007FFFFF00", {pick(4, 5), pick(0, 5), pick(3, 5), (1u << 24) - 1}},
      {"optcorrupt;optsequence;sequence=;optrandomseq", 3, "000000", {pick(1, 2)}},
      {"optcorrupt;optsequence;sequence=1,2;optrandombytes", 3, "C8C8C8", {pick(200, 256)}},
      {"optcorrupt;optbyterange;range1=$00;range2=$FF", 3, "00FEFF", {0, pick(254, 256), (1u << 24) - 1}},
      {"optcorrupt;optbyterange;range1=$FF;range2=$FF", 2, "FFFF", {0, (1u << 24) - 1}},
      {"optcorrupt;optbyterange;range1=0;range2=1", 3, "000101", {pick(1, 2) - 1, pick(1, 2), (1u << 24) - 1}},
  };
  for (const auto& c : cases) {
    FakeHost fake;
    fake.random = ScriptedRandom(c.draws);
    Bytes buffer = Pattern(c.size);
    std::string want = c.after;
    std::erase(want, ' ');
    EXPECT_EQ(Outcome(c.job.c_str(), buffer, fake), want) << c.job;
  }
}

// One draw per position, touched or not, after reseeding from the clock; the
// script's length shares no factor with the spacings or the chunk size, so a
// draw that went to the wrong position shows. Masks with bits above the chunk
// sizes select whole runs of bytes, or none.
TEST(SelectAndTransform, EachTouchedPositionTakesItsOwnDrawOrAddend) {
  std::vector<std::uint32_t> script = ScriptedRandom::Script();
  script[1] = (1u << 24) - 1;
  using Value = std::function<std::uint8_t(std::uint32_t draw, std::uint8_t old)>;
  const Value bytes = [](std::uint32_t d, std::uint8_t) { return static_cast<std::uint8_t>(d >> 16); };
  const Value range16 = [](std::uint32_t d, std::uint8_t) { return static_cast<std::uint8_t>(16 + (d >> 20)); };
  const Value plus3 = [](std::uint32_t, std::uint8_t old) { return static_cast<std::uint8_t>(old + 3); };
  const Value zero = [](std::uint32_t, std::uint8_t) { return std::uint8_t{0}; };
  const std::string range = ";optcorrupt;optbyterange;range1=$10;range2=$1F", random = ";optcorrupt;optrandombytes";
  const struct {
    std::string job;
    std::uint32_t nth, mask;  // touched: i % nth == 0 and (i & mask) == 0
    Value value;
  } cases[] = {
      {random, 1, 0, bytes},
      {range, 1, 0, range16},
      {"optnth;nth=3" + random, 3, 0, bytes},
      {"optnth;nth=4099" + range, 4099, 0, range16},
      {"optmask;mask=%00001101" + random, 1, 13, bytes},
      {"optmask;mask=$1000" + random, 1, 0x1000, bytes},
      {"optmask;mask=$2040" + range, 1, 0x2040, range16},
      {"optcorrupt", 1, 0, zero},  // no replacement chosen
      {random + range, 1, 0, range16},
      {"optnth;nth=-4;optadd;add=3", 4, 0, plus3},
      {"optmask;mask=%00001101;optadd;add=3", 1, 13, plus3},
      {"optmask;mask=$1000;optadd;add=3", 1, 0x1000, plus3},
      {"optmask;mask=$60;optadd;add=3", 1, 0x60, plus3},
  };
  for (const auto& c : cases) {
    FakeHost fake;
    fake.random = ScriptedRandom(script);
    std::uint32_t earlier[3];
    fake.random.Draw(earlier);  // the reseed must restart the script
    Bytes buffer = Pattern(10000, 7), expected = buffer;
    EXPECT_EQ(SelectAndTransform(MakeJob(c.job), buffer, fake.host), TransformResult::Done);
    const bool corrupt = c.job.find("optcorrupt") != std::string::npos;
    EXPECT_EQ(fake.random.seeds, corrupt ? std::vector<float>{12345.5f} : std::vector<float>{});
    EXPECT_EQ(fake.random.drawn, corrupt ? buffer.size() + 3 : 3);
    for (std::size_t i = 0; i < buffer.size(); ++i)
      if (i % c.nth == 0 && (i & c.mask) == 0) expected[i] = c.value(script[i % script.size()], expected[i]);
    EXPECT_TRUE(buffer == expected) << c.job;
  }
}

// A run streams its range: pieces of any size, in order, give the bytes the
// whole range gives at once, draws and all.
TEST(SelectAndTransform, PiecesInRangeOrderGiveTheWholeRangeResult) {
  const auto script = ScriptedRandom::Script();
  for (const char* job : {"optcorrupt;optrandombytes", "optnth;nth=7;optcorrupt;optbyterange;range1=$10;range2=$1F",
                          "optmask;mask=%00001101;optcorrupt;optrandombytes", "optnth;nth=4099;optadd;add=3",
                          "optmask;mask=$100;optadd;add=1", "optcorrupt;optsequence;sequence=1,2,3",
                          "optnth;nth=3;optcorrupt;optsequence;sequence=1,2,3;optrandomseq"}) {
    FakeHost whole, pieces;
    whole.random = pieces.random = ScriptedRandom(script);
    Bytes expected = Pattern(10007), got = expected;
    ASSERT_EQ(SelectAndTransform(MakeJob(job), expected, whole.host), TransformResult::Done);
    auto alteration = Alteration::Prepare(MakeJob(job), got.size(), pieces.host);
    ASSERT_TRUE(alteration);
    for (std::size_t at = 0, len = 1; at < got.size(); at += len, len = len * 4 + 999)
      alteration->Apply(std::span(got).subspan(at, std::min(len, got.size() - at)));
    EXPECT_TRUE(got == expected) << job;
  }
}

}  // namespace
}  // namespace engine
