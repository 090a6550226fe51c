#include "engine/number.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "engine/failure.h"

namespace engine {
namespace {

// The value read, or the failure's description.
std::string Read(const std::string& text) {
  try {
    return std::to_string(Val2(text));
  } catch (const HostFailure& failure) {
    return failure.what();
  }
}

TEST(Val2, ReadsEveryFormAndRaisesOverflowOrInvalidArgument) {
  const std::string ov = "Overflow", inv = "Invalid procedure call or argument";
  const std::string cases[] = {
      // text, value or failure
      // hexadecimal: a 32-bit pattern, the sign from a "-" within the first four characters
      "$1010", "4112", "$ff", "255", "$FFFFFFFF", "-1", "$7FFFFFFF", "2147483647", "$80000000", "-2147483648",
      "$000000000000FF", "255", "-$10", "-16", "$-10", "-16", "$1-0", "-16", "$1000-", "4096", "x$1G2", "18", "$", "0",
      "-$FFFFFFFF", "1", "$'A", "10", std::string(70000, ' ') + "$10", "16", "-$80000000", ov, "$123456789", ov,
      "abc-$10", "-16", "abcd-$10", "16", "abc-%11", "-3", "abcd-%11", "3", "\xC3\xA9\xC3\xA9\xC3\xA9-'A", "-65",
      // binary: 30 digits at most
      "%00001101", "13", "%0000 1101", "13", "-%101", "-5", "%" + std::string(30, '1'), "1073741823",
      "%" + std::string(31, '1'), "1073741823", "%1" + std::string(29, '0'), "536870912", "%1" + std::string(30, '0'),
      "536870912", "%", "0", "%1$", "1", std::string(70000, 'x') + "%101", "5",
      // character code: UTF-8 text, upper-cased, read as Windows-1252; "?" outside it
      "'a", "65", "'z", "90", "'{", "123", "-'A", "-65", "' ", "32", "'AB", "65", "'$", "36", "'\xC3\xA0", "192",
      "'\xC3\xA9", "201", "'\xC3\xB7", "247", "'\xC3\xBE", "222", "'\xC3\xBF", "159", "'\xC5\xA1", "138",
      "'\xE2\x82\xAC", "128", "'\xC3\x9F", "223", "'\xE4\xB8\xAD", "63", "'\xFF", "63", "'\xC3", "63", "'", inv, "abc'",
      inv,
      // decimal: blanks ignored, exponent, &H/&O, halves to even
      "  -7  ", "-7", "12abc", "12", "&H10", "16", "&H", "0", "&HFFFFFFFF", "-1", "&H100000000", ov, "&O17", "15",
      "&O18", "1", "-&H10", "0", "2.5", "2", "3.5", "4", "-2.5", "-2", "2.5000001", "3", "1E3", "1000", "15E-1", "2",
      "1E", "1", ".5E1", "5", "0.000000000000000000000000000001E30", "1", "1E-999999999999999999999", "0", "abc", "0",
      "", "0", "1,000", "1", "0x10", "0", "1 2 3", "123", "1\t2\n3", "123", "--7", "0", "2147483647", "2147483647",
      "2147483648", ov, "2147483647.5", ov, "-2147483648.5", "-2147483648", "-2147483649", ov, "1E9", "1000000000",
      "1E10", ov, "1E99999999999999999999999999", ov, std::string(100000, '9'), ov};
  for (std::size_t i = 0; i < std::size(cases); i += 2)
    EXPECT_EQ(Read(cases[i]), cases[i + 1]) << cases[i].substr(0, 40);
}

TEST(InStr2AndHexForm, FindTheLastOccurrenceAndWriteUpperCaseWithoutLeadingZeros) {
  // text, pattern, position
  for (const auto& [text, pattern, position] : {std::tuple{"C:\\nes\\mario.nes", "\\", 7},
                                                {"mario.nes", ".", 6},
                                                {"abc", "x", 0},
                                                {"abc", "", 0},
                                                {"ab", "abc", 0},
                                                {"aaa", "aa", 2},
                                                {"abcABC", "a", 1}})
    EXPECT_EQ(InStr2(text, pattern), position) << text << " / " << pattern;
  EXPECT_EQ(HexForm(0) + " " + HexForm(2147483647) + " " + HexForm(-4096) + " " + HexForm64(-4096) + " " +
                HexForm64(0xC0000000LL) + " " + HexForm(0xABCDEF),
            "0 7FFFFFFF FFFFF000 FFFFFFFFFFFFF000 C0000000 ABCDEF");
}

}  // namespace
}  // namespace engine
