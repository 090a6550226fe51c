#include "engine/number.h"

#include <gtest/gtest.h>

#include <string>

#include "engine/failure.h"

namespace engine {
namespace {

TEST(Number, Val2ReadsEveryFormInStr2FindsTheLastOccurrenceHexFormWritesUpperCase) {
  const std::string ov = "Overflow", inv = "Invalid procedure call or argument";
  const std::string cases[] = {
      // text, value or failure; hexadecimal: a 32-bit pattern, the sign from a "-" within the first four characters
      "$ff", "255", "$FFFFFFFF", "-1", "$80000000", "-2147483648", "$000000000000FF", "255", "-$10", "-16", "$1-0", "-16", "x$1G2", "18",
      "-$FFFFFFFF", "1", "$'A", "10", "-$80000000", ov, "$123456789", ov, "abc-$10", "-16", "abcd-$10", "16", "\xC3\xA9\xC3\xA9\xC3\xA9-'A", "-65",
      // binary: 30 digits at most
      "%0000 1101", "13", "-%101", "-5", "%" + std::string(30, '1'), "1073741823", "%" + std::string(31, '1'), "1073741823", "%1$", "1",
      // character code: UTF-8 text, upper-cased, read as Windows-1252; "?" outside it
      "'a", "65", "'z", "90", "'{", "123", "' ", "32", "'$", "36", "'\xC3\xA0", "192", "'\xC3\xB7", "247", "'\xC3\xBE", "222", "'\xC3\xBF", "159",
      "'\xC5\xA1", "138", "'\xE2\x82\xAC", "128", "'\xC3\x9F", "223", "'\xE4\xB8\xAD", "63", "'\xC2\x81", "129", "'\xC2\x9D", "157", "'\xC2\x80",
      "63", "'\xFF", "63", "'\xC3", "63", "'", inv, "abc'", inv,
      // decimal: blanks ignored, exponent, &H/&O, halves to even
      "  -7  ", "-7", "12abc", "12", "&H", "0", "&HFFFFFFFF", "-1", "&H100000000", ov, "&O17", "15", "&O18", "1", "-&H10", "0", "2.5", "2", "3.5",
      "4", "2.5000001", "3", "15E-1", "2", "1E", "1", "0.000000000000000000000000000001E30", "1", "1E-999999999999999999999", "0", "", "0", "1\t2\n3",
      "123", "2147483647", "2147483647", "2147483648", ov, "2147483647.5", ov, "-2147483648.5", "-2147483648", "-2147483649", ov, "1E9", "1000000000",
      "1E10", ov, "1E99999999999999999999999999", ov, std::string(100000, '9'), ov};
  for (std::size_t i = 0; i < std::size(cases); i += 2) {
    std::string read;
    try {
      read = std::to_string(Val2(cases[i]));
    } catch (const HostFailure& failure) {
      read = failure.what();
    }
    EXPECT_EQ(read, cases[i + 1]) << cases[i].substr(0, 40);
  }
  // InStr2 gives the 1-based place of the last occurrence, 0 for none or an empty pattern.
  EXPECT_EQ(InStr2("abc", ""), 0);
  EXPECT_EQ(InStr2("ab", "abc"), 0);
  EXPECT_EQ(InStr2("aaa", "aa"), 2);
  EXPECT_EQ(InStr2("abcABC", "a"), 1);
  EXPECT_EQ(HexForm64(-4096), "FFFFFFFFFFFFF000");
  EXPECT_EQ(HexForm64(0xC0000000LL), "C0000000");
}

}  // namespace
}  // namespace engine
