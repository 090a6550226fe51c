#include "engine/transform.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <numeric>
#include <string>
#include <tuple>
#include <vector>

#include "engine/failure.h"
#include "support/fakes.h"

namespace engine {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes Pattern(std::size_t size) {
  Bytes b(size);
  std::iota(b.begin(), b.end(), std::uint8_t{0});
  return b;
}

TEST(SelectAndTransform, RefusesOrChangesTheSelectedBytes) {
  const auto pick = [](int index, int count) { return ScriptedRandom::For(index, count); };
  const std::string error = "status: Status: Error!|refused", nth = "|focus: txtNth|" + error;
  const std::string some = "message: Put is at least SOMETHING for 'Every ?th byte'!" + nth;
  const std::string pointless =
      "message: Frequency of corruption is less than length!  Rom Corruption Pointless!" + nth;
  const std::string range = "|focus: txtRange1|" + error, bad = "message: Bad Random Range! (";
  const std::string five = "optcorrupt;optsequence;sequence=$00,$01,$02,$7F,$FF";
  // job, size, what the user saw ("|" after each event) then the bytes or the failure, the draws if any
  const std::tuple<std::string, std::size_t, std::string, std::vector<std::uint32_t>> cases[] = {
      {"optnth;nth=-2147483648", 8, some, {}},  // its absolute value stays negative
      {"optnth;nth=8", 8, pointless, {}},
      {"optnth;nth=-8;optcorrupt;optbyterange;range1=$20;range2=$10", 8, pointless, {}},
      {"optcorrupt;optbyterange;range1=$FF;range2=$100", 8, bad + "FF-100)" + range, {}},
      {"optcorrupt;optbyterange;range1=$20;range2=$10", 8, bad + "20-10)" + range, {}},
      {"optcorrupt;optbyterange;range1=-1;range2=5", 8, bad + "FFFFFFFF-5)" + range, {}},
      {"optadd;add=256", 8, "message: You're not adding anything!|status: Status: Ready!|refused", {}},
      {"optshift;shift=7", 8, "message: You're not doing anything, shifting by 0!|focus: txtShift|" + error, {}},
      {"optcorrupt;optsequence;sequence=1, '", 8, "Invalid procedure call or argument", {}},
      {"optshift;shift=3", 1, "Division by zero", {}},
      {"optshift;shift=8", 8, "0102030405060700", {}},  // by the length
      {"optshift;shift=-2147483648", 8, "0607000102030405", {}},
      {"optnth;nth=2;optshift;shift=3", 8, "0301050307000102", {}},
      {"optnth;nth=3;optshift;shift=-3", 8, "0506070004050307", {}},
      {"optnth;nth=7;optshift;shift=1", 8, "0101020304050600", {}},  // n at the last index: first and last byte
      {"optnth;nth=7;optshift;shift=-1", 8, "0701020304050606", {}},
      {"optmask;mask=2;optshift;shift=4", 9, "040502030800010203", {}},  // the wrapped bytes always move
      {"optmask;mask=2;optshift;shift=-4", 9, "050607080001060704", {}},
      {"optadd;add=$FF", 4, "FF000102", {}},
      {"optnth;nth=2;optmask;mask=-1;optadd;add=1", 4, "01010203", {}},  // the mask check comes last
      {five, 7, "0001027FFF0001", {}},
      {"optnth;nth=2;optrandomseq=2;" + five, 7, "0001010302057F", {}},  // grey is not checked
      {"optcorrupt;optsequence;sequence= 1,, ,256,-1, ", 7, "0100FF0100FF01", {}},
      {five + ";optrandomseq", 6, "FF007FFFFF00", {pick(4, 5), pick(0, 5), pick(3, 5), (1u << 24) - 1}},
      {"optcorrupt;optsequence;sequence=1,2;optrandombytes", 3, "C8C8C8", {pick(200, 256)}},
      {"optcorrupt;optbyterange;range1=$00;range2=$FF", 3, "00FEFF", {0, pick(254, 256), (1u << 24) - 1}},
      {"optcorrupt;optbyterange;range1=$FF;range2=$FF", 2, "FFFF", {0, (1u << 24) - 1}},
      {"optcorrupt;optbyterange;range1=0;range2=1", 3, "000101", {pick(1, 2) - 1, pick(1, 2), (1u << 24) - 1}},
  };
  for (const auto& [job, size, after, draws] : cases) {
    FakeHost fake;
    fake.random = ScriptedRandom(draws.empty() ? std::vector<std::uint32_t>{0} : draws);
    Bytes buffer = Pattern(size);
    std::string result;
    try {
      if (SelectAndTransform(MakeJob(job), buffer, fake.host) == TransformResult::Refused) result = "refused";
    } catch (const HostFailure& failure) {
      result = failure.what();
    }
    if (result.empty())
      for (std::uint8_t b : buffer) result += {"0123456789ABCDEF"[b >> 4], "0123456789ABCDEF"[b & 15]};
    else  // refusals and failures leave the bytes alone
      EXPECT_EQ(buffer, Pattern(size)) << job;
    EXPECT_EQ(fake.ui.Seen() + result, after) << job;
  }
}

// One draw per position, touched or not, after reseeding from the clock, whether the range comes whole or in
// pieces; the script's length shares no factor with the spacings or the chunk size, so a misplaced draw shows.
// Masks with bits above the chunk and vector sizes select whole runs of bytes, or none.
TEST(Alteration, EachTouchedPositionTakesItsOwnValueWholeOrInPieces) {
  std::vector<std::uint32_t> script = ScriptedRandom::Script();
  script[1] = (1u << 24) - 1;
  const std::string range = ";optcorrupt;optbyterange;range1=$10;range2=$1F", random = ";optcorrupt;optrandombytes";
  // Touched where i % nth == 0 and (i & mask) == 0; the new value: 0 the draw's top byte, 1 $10 and the
  // draw's top four bits, 2 the old byte plus 3, 3 the next of 1, 2, 3, 4 zero.
  const std::tuple<std::string, std::uint32_t, std::uint32_t, int> cases[] = {
      {random, 1, 0, 0},
      {"optnth;nth=4099" + random + range, 4099, 0, 1},  // the byte range wins
      {"optmask;mask=%00001101" + random, 1, 13, 0},
      {"optmask;mask=$2040" + range, 1, 0x2040, 1},
      {"optcorrupt", 1, 0, 4},  // no replacement chosen
      {"optnth;nth=-7;optcorrupt;optsequence;sequence=1,2,3", 7, 0, 3},
      {"optnth;nth=-4;optadd;add=3", 4, 0, 2},
      {"optmask;mask=%00001101;optadd;add=3", 1, 13, 2},
      {"optmask;mask=$1060;optadd;add=3", 1, 0x1060, 2},
  };
  for (const auto& [job, nth, mask, kind] : cases) {
    Bytes expected = Pattern(10000);
    for (std::uint32_t i = 0, s = 0; i < expected.size(); ++i) {
      const std::uint32_t d = script[i % script.size()], old = expected[i];
      if (i % nth == 0 && (i & mask) == 0)
        expected[i] = static_cast<std::uint8_t>(std::array{d >> 16, 16 + (d >> 20), old + 3, 1 + s++ % 3, 0u}[kind]);
    }
    for (std::size_t first : {10000, 1}) {
      FakeHost fake;
      fake.random = ScriptedRandom(script);
      Bytes buffer = Pattern(10000);
      auto alteration = Alteration::Prepare(MakeJob(job), buffer.size(), fake.host);
      ASSERT_TRUE(alteration);
      for (std::size_t at = 0, len = first; at < buffer.size(); at += len, len = len * 4 + 999)
        alteration->Apply(std::span(buffer).subspan(at, std::min(len, buffer.size() - at)));
      const bool corrupt = job.find("optcorrupt") != std::string::npos;
      EXPECT_EQ(fake.random.seeds, corrupt ? std::vector<float>{12345.5f} : std::vector<float>{});
      EXPECT_EQ(fake.random.drawn, corrupt ? buffer.size() : 0);
      EXPECT_TRUE(buffer == expected) << job << " from " << first;
    }
  }
}

}  // namespace
}  // namespace engine
