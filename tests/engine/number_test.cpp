#include "engine/number.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "engine/failure.h"

namespace engine {
namespace {

struct Val2Case {
  std::string text;
  std::int32_t expected;
};

TEST(Val2, ReadsEveryForm) {
  const std::vector<Val2Case> cases = {
      // hexadecimal
      {"$1010", 4112},
      {"$ff", 255},
      {"$FFFF", 65535},
      {"$FFFFFFFF", -1},
      {"$7FFFFFFF", 2147483647},
      {"$80000000", -2147483647 - 1},
      {"$FFFFF000", -4096},
      {"$000000000000FF", 255},  // leading zeros do not count toward the eight digits
      {"-$10", -16},
      {"$-10", -16},
      {"$1-0", -16},
      {"$1000-", 4096},
      {"x$1G2", 18},
      {"$", 0},
      {"$$1$", 1},
      {"-$FFFFFFFF", 1},
      {"$'A", 10},
      // binary
      {"%00001101", 13},
      {"%0000 1101", 13},
      {"-%101", -5},
      {"%" + std::string(31, '1'), 1073741823},
      {"%" + std::string(40, '1'), 1073741823},
      {"%", 0},
      {"%1$", 1},
      {"%12", 1},
      // character code
      {"'A", 65},
      {"'a", 65},
      {"-'A", -65},
      {"' ", 32},
      {"'AB", 65},
      {"'$", 36},
      {"'\xC3\xA9", 0xC9},      // é reads as É
      {"'\xC3\xBF", 0x9F},      // ÿ reads as Ÿ
      {"'\xC5\xA1", 0x8A},      // š reads as Š
      {"'\xE2\x82\xAC", 0x80},  // € is one character
      {"'\xC3\x9F", 0xDF},      // ß has no single upper case
      {"'\xE4\xB8\xAD", 63},    // outside Windows-1252
      {"'\xF0\x9F\x98\x80", 63},
      {"'\xFF", 63},            // malformed UTF-8
      {"'\xC3", 63},            // truncated sequence
      {"'\xED\xA0\x80", 63},    // encoded surrogate: three bad bytes, the first counts
      {"\xC3\xA9\xC3\xA9\xC3\xA9-'A", -65},  // "-" at character position 4
      // decimal
      {"4096", 4096},
      {"  -7  ", -7},
      {"12abc", 12},
      {"&H10", 16},
      {"&h10", 16},
      {"&HFFFFFFFF", -1},
      {"&H0000000000FF", 255},
      {"&O17", 15},
      {"&O37777777777", -1},
      {"&O18", 1},
      {"&H", 0},
      {"&X10", 0},
      {"-&H10", 0},
      {"2.5", 2},
      {"3.5", 4},
      {"-2.5", -2},
      {"0.5", 0},
      {"1.5", 2},
      {"2.5000001", 3},
      {"1E3", 1000},
      {"1e3", 1000},
      {"1E+3", 1000},
      {"15E-1", 2},
      {"1E", 1},
      {"1E3.7", 1000},
      {".5E1", 5},
      {"0.000000000000000000000000000001E30", 1},
      {"1E-999999999999999999999", 0},
      {"0E999999999999999999999", 0},
      {"00000000000000000000000000000000000042", 42},
      {"abc", 0},
      {"", 0},
      {"1,000", 1},
      {"0x10", 0},
      {"1 2 3", 123},
      {"1\t2\n3", 123},
      {"- 7", -7},
      {"+7", 7},
      {"--7", 0},
      {"1.2.3", 1},
      {"2147483647", 2147483647},
      {"-2147483648", -2147483647 - 1},
      {"2147483647.4", 2147483647},
      {"-2147483648.5", -2147483647 - 1},
      {"\xC3\xA9", 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE("text: " + c.text);
    EXPECT_EQ(Val2(c.text), c.expected);
  }
}

struct FailureCase {
  std::string text;
  FailureKind kind;
};

TEST(Val2, RaisesOverflowAndInvalidArgument) {
  const std::vector<FailureCase> cases = {
      {"99999999999", FailureKind::Overflow},
      {"2147483648", FailureKind::Overflow},
      {"2147483647.5", FailureKind::Overflow},
      {"-2147483649", FailureKind::Overflow},
      {"1E10", FailureKind::Overflow},
      {"1E999999999", FailureKind::Overflow},
      {"1E99999999999999999999999999", FailureKind::Overflow},
      {"-1E999999999", FailureKind::Overflow},
      {std::string(100000, '9'), FailureKind::Overflow},
      {"-$80000000", FailureKind::Overflow},
      {"$-80000000", FailureKind::Overflow},
      {"$123456789", FailureKind::Overflow},
      {"&H100000000", FailureKind::Overflow},
      {"&O40000000000", FailureKind::Overflow},
      {"'", FailureKind::InvalidArgument},
      {"-'", FailureKind::InvalidArgument},
      {"abc'", FailureKind::InvalidArgument},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE("text: " + c.text);
    try {
      Val2(c.text);
      ADD_FAILURE() << "no failure raised";
    } catch (const HostFailure& failure) {
      EXPECT_EQ(failure.kind(), c.kind);
      EXPECT_NE(std::string(failure.what()).find(DescribeFailure(c.kind)), std::string::npos);
    }
  }
}

TEST(Val2, MarkerFarBeyondSixteenBitsStillChoosesItsForm) {
  EXPECT_EQ(Val2(std::string(70000, ' ') + "$10"), 16);
  EXPECT_EQ(Val2(std::string(70000, 'x') + "%101"), 5);
}

TEST(InStr2, FindsTheLastOccurrence) {
  struct Case {
    std::string text, pattern;
    std::int32_t expected;
  };
  const std::vector<Case> cases = {
      {"C:\\nes\\mario.nes", "\\", 7},
      {"mario.nes", ".", 6},
      {"abc", "x", 0},
      {"abc", "", 0},
      {"ab", "abc", 0},
      {"aaa", "aa", 2},
      {"", "", 0},
      {"abcABC", "a", 1},
      {"a.b.c", "c", 5},
      {"/home/x/y.nes", "/", 8},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text + " / " + c.pattern);
    EXPECT_EQ(InStr2(c.text, c.pattern), c.expected);
  }
}

TEST(HexForm, WritesUpperCaseWithoutLeadingZeros) {
  struct Case {
    std::int64_t value;
    std::string hex32, hex64;
  };
  const std::vector<Case> cases = {
      {0, "0", "0"},
      {255, "FF", "FF"},
      {4112, "1010", "1010"},
      {2147483647, "7FFFFFFF", "7FFFFFFF"},
      {-1, "FFFFFFFF", "FFFFFFFFFFFFFFFF"},
      {-4096, "FFFFF000", "FFFFFFFFFFFFF000"},
      {-2147483648LL, "80000000", "FFFFFFFF80000000"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(HexForm(static_cast<std::int32_t>(c.value)), c.hex32);
    EXPECT_EQ(HexForm64(c.value), c.hex64);
  }
  EXPECT_EQ(HexForm64(0x123456789ABLL), "123456789AB");
}

TEST(HexForm, RoundTripsThroughVal2) {
  for (std::int32_t value : {0, 1, 255, 4096, 2147483647, -1, -4096, -2147483647 - 1}) {
    EXPECT_EQ(Val2(std::string("$").append(HexForm(value))), value);
  }
}

}  // namespace
}  // namespace engine
