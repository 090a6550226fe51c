#include "engine/number.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <tuple>
#include <vector>

#include "engine/failure.h"

namespace engine {
namespace {

TEST(Val2, ReadsEveryForm) {
  const std::vector<std::pair<std::string, std::int32_t>> cases = {
      // hexadecimal: a 32-bit pattern, the sign from a "-" within the first four characters
      {"$1010", 4112},
      {"$ff", 255},
      {"$FFFFFFFF", -1},
      {"$7FFFFFFF", 2147483647},
      {"$80000000", -2147483647 - 1},
      {"$000000000000FF", 255},
      {"-$10", -16},
      {"$-10", -16},
      {"$1-0", -16},
      {"$1000-", 4096},
      {"x$1G2", 18},
      {"$", 0},
      {"-$FFFFFFFF", 1},
      {"$'A", 10},
      {std::string(70000, ' ') + "$10", 16},
      // binary: 30 digits at most
      {"%00001101", 13},
      {"%0000 1101", 13},
      {"-%101", -5},
      {"%" + std::string(31, '1'), 1073741823},
      {"%1" + std::string(29, '0'), 1 << 29},
      {"%1" + std::string(30, '0'), 1 << 29},
      {"%", 0},
      {"%1$", 1},
      {std::string(70000, 'x') + "%101", 5},
      // character code: UTF-8 text, upper-cased, read as Windows-1252; "?" outside it
      {"'a", 65},
      {"-'A", -65},
      {"' ", 32},
      {"'AB", 65},
      {"'$", 36},
      {"'\xC3\xA9", 0xC9},
      {"'\xC3\xBF", 0x9F},
      {"'\xE2\x82\xAC", 0x80},
      {"'\xC3\x9F", 0xDF},
      {"'\xE4\xB8\xAD", 63},
      {"'\xFF", 63},
      {"'\xC3", 63},
      {"\xC3\xA9\xC3\xA9\xC3\xA9-'A", -65},  // the "-" is the fourth character, not byte
      {"abc-$10", -16},
      {"abcd-$10", 16},
      {"abc-%11", -3},
      {"abcd-%11", 3},
      // decimal: blanks ignored, exponent, &H/&O, halves to even
      {"  -7  ", -7},
      {"12abc", 12},
      {"&H10", 16},
      {"&H", 0},
      {"&HFFFFFFFF", -1},
      {"&O17", 15},
      {"&O18", 1},
      {"-&H10", 0},
      {"2.5", 2},
      {"3.5", 4},
      {"-2.5", -2},
      {"2.5000001", 3},
      {"1E3", 1000},
      {"15E-1", 2},
      {"1E", 1},
      {".5E1", 5},
      {"0.000000000000000000000000000001E30", 1},
      {"1E-999999999999999999999", 0},
      {"abc", 0},
      {"", 0},
      {"1,000", 1},
      {"0x10", 0},
      {"1 2 3", 123},
      {"1\t2\n3", 123},
      {"--7", 0},
      {"-2147483648.5", -2147483647 - 1},
  };
  for (const auto& [text, expected] : cases) EXPECT_EQ(Val2(text), expected) << text.substr(0, 40);
}

TEST(Val2, RaisesOverflowAndInvalidArgument) {
  const auto overflow = FailureKind::Overflow;
  const std::vector<std::pair<std::string, FailureKind>> cases = {
      {"2147483648", overflow},
      {"2147483647.5", overflow},
      {"-2147483649", overflow},
      {"1E10", overflow},
      {"1E99999999999999999999999999", overflow},
      {std::string(100000, '9'), overflow},
      {"-$80000000", overflow},
      {"$123456789", overflow},
      {"&H100000000", overflow},
      {"'", FailureKind::InvalidArgument},
      {"abc'", FailureKind::InvalidArgument},
  };
  for (const auto& [text, kind] : cases) {
    try {
      Val2(text);
      ADD_FAILURE() << text.substr(0, 40) << ": no failure raised";
    } catch (const HostFailure& failure) {
      EXPECT_EQ(failure.kind(), kind) << text.substr(0, 40);
      EXPECT_NE(std::string(failure.what()).find(DescribeFailure(kind)), std::string::npos);
    }
  }
}

TEST(InStr2AndHexForm, FindTheLastOccurrenceAndWriteUpperCaseWithoutLeadingZeros) {
  for (const auto& [text, pattern, expected] :
       std::vector<std::tuple<const char*, const char*, int>>{{"C:\\nes\\mario.nes", "\\", 7},
                                                              {"mario.nes", ".", 6},
                                                              {"abc", "x", 0},
                                                              {"abc", "", 0},
                                                              {"ab", "abc", 0},
                                                              {"aaa", "aa", 2},
                                                              {"abcABC", "a", 1}})
    EXPECT_EQ(InStr2(text, pattern), expected) << text << " / " << pattern;
  EXPECT_EQ(HexForm(0), "0");
  EXPECT_EQ(HexForm(2147483647), "7FFFFFFF");
  EXPECT_EQ(HexForm(-4096), "FFFFF000");
  EXPECT_EQ(HexForm64(-4096), "FFFFFFFFFFFFF000");
  EXPECT_EQ(HexForm64(0xC0000000LL), "C0000000");
}

}  // namespace
}  // namespace engine
