#include "engine/transform.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <numeric>
#include <string>
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
  const std::uint32_t top = (1u << 24) - 1;  // the largest draw
  const std::string error = "status: Status: Error!|", nth = "|focus: txtNth|" + error;
  const std::string range = "|focus: txtRange1|" + error, shift = "|focus: txtShift|" + error;
  const std::string some = "message: Put is at least SOMETHING for 'Every ?th byte'!" + nth;
  const std::string pointless = "message: Frequency of corruption is less than length!  Rom Corruption Pointless!" + nth;
  const std::string bad = "message: Bad Random Range! (", byteRange = "optcorrupt;optbyterange;";
  const std::string five = "optcorrupt;optsequence;sequence=$00,$01,$02,$7F,$FF";
  const struct {
    std::string job, seen{}, failure{};  // what the user saw ("|" after each event), what was raised
    std::size_t size = 8;                // of the range, unless `bytes` gives it; it holds 0, 1, 2 ...
    Bytes bytes{};                       // after the change
    std::vector<std::uint32_t> draws{0};
  } cases[] = {
      {.job = "optnth;nth=-2147483648", .seen = some},                                     // its absolute value stays negative
      {.job = "optnth;nth=-8;" + byteRange + "range1=$20;range2=$10", .seen = pointless},  // checked before the range
      {.job = byteRange + "range1=$20;range2=$10", .seen = bad + "20-10)" + range},
      {.job = byteRange + "range1=-1;range2=5", .seen = bad + "FFFFFFFF-5)" + range},
      {.job = "optcorrupt;optsequence;sequence=1, '", .failure = "Invalid procedure call or argument"},
      {.job = "optshift;shift=8", .bytes = {1, 2, 3, 4, 5, 6, 7, 0}},  // by the length
      {.job = "optshift;shift=-2147483648", .bytes = {6, 7, 0, 1, 2, 3, 4, 5}},
      {.job = "optnth;nth=2;optshift;shift=3", .bytes = {3, 1, 5, 3, 7, 0, 1, 2}},
      {.job = "optnth;nth=3;optshift;shift=-3", .bytes = {5, 6, 7, 0, 4, 5, 3, 7}},
      {.job = "optnth;nth=7;optshift;shift=1", .bytes = {1, 1, 2, 3, 4, 5, 6, 0}},  // touches the first and last
      {.job = "optnth;nth=7;optshift;shift=-1", .bytes = {7, 1, 2, 3, 4, 5, 6, 6}},
      {.job = "optmask;mask=2;optshift;shift=4", .bytes = {4, 5, 2, 3, 8, 0, 1, 2, 3}},  // wrapped bytes always move
      {.job = "optmask;mask=2;optshift;shift=-4", .bytes = {5, 6, 7, 8, 0, 1, 6, 7, 4}},
      {.job = "optadd;add=$FF", .bytes = {0xFF, 0, 1, 2}},
      {.job = "optnth;nth=2;optmask;mask=-1;optadd;add=1", .bytes = {1, 1, 2, 3}},  // the mask check comes last
      {.job = five, .bytes = {0, 1, 2, 0x7F, 0xFF, 0, 1}},
      {.job = "optnth;nth=2;optrandomseq=2;" + five, .bytes = {0, 1, 1, 3, 2, 5, 0x7F}},  // grey is not checked
      {.job = "optcorrupt;optsequence;sequence= 1,, ,256,-1, ", .bytes = {1, 0, 0xFF, 1, 0, 0xFF, 1}},
      {.job = five + ";optrandomseq", .bytes = {0xFF, 0, 0x7F, 0xFF, 0xFF, 0}, .draws = {pick(4, 5), pick(0, 5), pick(3, 5), top}},
      {.job = five + ";optrandombytes", .bytes = {0xC8, 0xC8, 0xC8}, .draws = {pick(0xC8, 256)}},  // not the sequence
      {.job = byteRange + "range1=$00;range2=$FF", .bytes = {0, 0xFE, 0xFF}, .draws = {0, pick(0xFE, 256), top}},
      {.job = byteRange + "range1=$FF;range2=$FF", .bytes = {0xFF, 0xFF}, .draws = {0, top}},
      {.job = byteRange + "range1=0;range2=1", .bytes = {0, 1, 1}, .draws = {pick(1, 2) - 1, pick(1, 2), top}},
  };
  for (const auto& c : cases) {
    FakeHost fake;
    fake.random = ScriptedRandom(c.draws);
    const Bytes before = Pattern(c.bytes.empty() ? c.size : c.bytes.size());
    Bytes buffer = before;
    TransformResult result = TransformResult::Done;
    std::string failure;
    try {
      result = SelectAndTransform(MakeJob(c.job), buffer, fake.host);
    } catch (const HostFailure& raised) {
      failure = raised.what();
    }
    EXPECT_EQ(fake.ui.Seen(), c.seen) << c.job;
    EXPECT_EQ(result == TransformResult::Refused, !c.seen.empty()) << c.job;  // only a refusal shows anything
    EXPECT_EQ(failure, c.failure) << c.job;
    EXPECT_EQ(buffer, c.bytes.empty() ? before : c.bytes) << c.job;  // refusals and failures leave them alone
  }
}

// One draw per position, touched or not, after reseeding from the clock, whether the range comes whole or in
// pieces; the script's length shares no factor with the spacings or the chunk size, so a misplaced draw shows.
// Masks with bits above the chunk and vector sizes select whole runs of bytes, or none. A shift in pieces takes each
// piece's bytes from the original range where the shift says, wrapping at its end, and gives what the whole does.
TEST(Alteration, EachTouchedPositionTakesItsOwnValueWholeOrInPieces) {
  std::vector<std::uint32_t> script = ScriptedRandom::Script();
  script[1] = (1u << 24) - 1;
  const std::string range = ";optcorrupt;optbyterange;range1=$10;range2=$1F", random = ";optcorrupt;optrandombytes";
  enum NewValue { randomByte, inRange10To1F, oldPlus3, nextOf123, zero, asTheWholeShifted };  // what a touched byte becomes
  const struct {
    std::string job;
    std::uint32_t nth = 1, mask = 0;  // touched where i % nth == 0 and (i & mask) == 0
    NewValue to;
  } cases[] = {
      {.job = random, .to = randomByte},
      {.job = "optnth;nth=4099" + random + range, .nth = 4099, .to = inRange10To1F},  // the range wins
      {.job = "optmask;mask=%00001101" + random, .mask = 13, .to = randomByte},
      {.job = "optmask;mask=$2040" + range, .mask = 0x2040, .to = inRange10To1F},
      {.job = "optcorrupt", .to = zero},  // no replacement chosen
      {.job = "optnth;nth=-7;optcorrupt;optsequence;sequence=1,2,3", .nth = 7, .to = nextOf123},
      {.job = "optnth;nth=-4;optadd;add=3", .nth = 4, .to = oldPlus3},
      {.job = "optmask;mask=%00001101;optadd;add=3", .mask = 13, .to = oldPlus3},
      {.job = "optshift;shift=4097", .to = asTheWholeShifted},
      {.job = "optnth;nth=3;optshift;shift=-5000", .nth = 3, .to = asTheWholeShifted},
      {.job = "optnth;nth=4099;optshift;shift=7", .nth = 4099, .to = asTheWholeShifted},
      {.job = "optmask;mask=$2040;optshift;shift=6001", .mask = 0x2040, .to = asTheWholeShifted},
      {.job = "optmask;mask=%00001101;optshift;shift=-2", .mask = 13, .to = asTheWholeShifted},
  };
  for (const auto& c : cases) {
    Bytes expected = Pattern(10000);
    for (std::uint32_t i = 0, s = 0; i < expected.size(); ++i) {
      const std::uint32_t d = script[i % script.size()], old = expected[i];
      if (i % c.nth == 0 && (i & c.mask) == 0)  // in the order of NewValue
        expected[i] = static_cast<std::uint8_t>(std::array{d >> 16, 16 + (d >> 20), old + 3, 1 + s++ % 3, 0u, old}[c.to]);
    }
    FakeHost whole;
    if (c.to == asTheWholeShifted) expected = Pattern(10000);
    const auto shiftedWhole = c.to == asTheWholeShifted ? SelectAndTransform(MakeJob(c.job), expected, whole.host) : TransformResult::Done;
    EXPECT_EQ(shiftedWhole, TransformResult::Done);
    for (std::size_t first : {10000, 1}) {
      FakeHost fake;
      fake.random = ScriptedRandom(script);
      Bytes buffer = Pattern(10000);
      auto alteration = Alteration::Prepare(MakeJob(c.job), buffer.size(), fake.host);
      ASSERT_TRUE(alteration);
      for (std::size_t at = 0, len = first; at < buffer.size(); at += len, len = len * 4 + 999) {
        const auto piece = std::span(buffer).subspan(at, std::min(len, buffer.size() - at));
        Bytes shifted(piece.size());
        for (std::size_t i = 0; i < shifted.size(); ++i)  // the pattern's bytes from where the shift takes them
          shifted[i] = static_cast<std::uint8_t>((alteration->ShiftedFrom(at) + i) % buffer.size());
        alteration->Shifts() ? alteration->ApplyShifted(piece, shifted) : alteration->Apply(piece);
      }
      const bool corrupt = c.job.find("optcorrupt") != std::string::npos;
      EXPECT_EQ(fake.random.seeds, corrupt ? std::vector<float>{12345.5f} : std::vector<float>{});
      EXPECT_EQ(fake.random.drawn, corrupt ? buffer.size() : 0);
      EXPECT_TRUE(buffer == expected) << c.job << " from " << first;
    }
  }
}

}  // namespace
}  // namespace engine
