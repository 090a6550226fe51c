#include "engine/number.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstddef>
#include <limits>
#include <vector>

#include "engine/failure.h"
#include "engine/wrap32.h"

namespace engine {
namespace {

constexpr unsigned char kUnknownCode = 63;  // '?'

// Windows-1252 code of a Unicode code point; 63 for one the set lacks.
unsigned char Cp1252Code(char32_t cp) {
  if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) return static_cast<unsigned char>(cp);
  // The five holes of the set pass through as Windows passes them.
  if (cp == 0x81 || cp == 0x8D || cp == 0x8F || cp == 0x90 || cp == 0x9D) {
    return static_cast<unsigned char>(cp);
  }
  struct Pair {
    char32_t cp;
    unsigned char code;
  };
  static constexpr Pair kHigh[] = {
      {0x20AC, 0x80}, {0x201A, 0x82}, {0x0192, 0x83}, {0x201E, 0x84}, {0x2026, 0x85},
      {0x2020, 0x86}, {0x2021, 0x87}, {0x02C6, 0x88}, {0x2030, 0x89}, {0x0160, 0x8A},
      {0x2039, 0x8B}, {0x0152, 0x8C}, {0x017D, 0x8E}, {0x2018, 0x91}, {0x2019, 0x92},
      {0x201C, 0x93}, {0x201D, 0x94}, {0x2022, 0x95}, {0x2013, 0x96}, {0x2014, 0x97},
      {0x02DC, 0x98}, {0x2122, 0x99}, {0x0161, 0x9A}, {0x203A, 0x9B}, {0x0153, 0x9C},
      {0x017E, 0x9E}, {0x0178, 0x9F},
  };
  for (const Pair& p : kHigh) {
    if (p.cp == cp) return p.code;
  }
  return kUnknownCode;
}

// Upper case within Windows-1252, as the Windows upper-casing gives it.
unsigned char UpperCp1252(unsigned char c) {
  if (c >= 'a' && c <= 'z') return static_cast<unsigned char>(c - 0x20);
  if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return static_cast<unsigned char>(c - 0x20);
  switch (c) {
    case 0x9A: return 0x8A;  // š
    case 0x9C: return 0x8C;  // œ
    case 0x9E: return 0x8E;  // ž
    case 0xFF: return 0x9F;  // ÿ
    default: return c;
  }
}

// Decodes UTF-8 into one Windows-1252 code per character, upper-cased.
// A byte that does not start a well-formed sequence is one character of code 63.
std::vector<unsigned char> UpperCodes(std::string_view text) {
  std::vector<unsigned char> codes;
  codes.reserve(text.size());
  std::size_t i = 0;
  while (i < text.size()) {
    const auto lead = static_cast<unsigned char>(text[i]);
    if (lead < 0x80) {
      codes.push_back(UpperCp1252(lead));
      ++i;
      continue;
    }
    int length = 0;
    char32_t cp = 0;
    char32_t minimum = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
      length = 2, cp = lead & 0x1F, minimum = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
      length = 3, cp = lead & 0x0F, minimum = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
      length = 4, cp = lead & 0x07, minimum = 0x10000;
    }
    bool ok = length > 0 && i + static_cast<std::size_t>(length) <= text.size();
    for (int k = 1; ok && k < length; ++k) {
      const auto next = static_cast<unsigned char>(text[i + static_cast<std::size_t>(k)]);
      if ((next & 0xC0) != 0x80) {
        ok = false;
      } else {
        cp = (cp << 6) | (next & 0x3F);
      }
    }
    if (ok && (cp < minimum || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))) ok = false;
    if (!ok) {
      codes.push_back(kUnknownCode);
      ++i;
      continue;
    }
    codes.push_back(UpperCp1252(Cp1252Code(cp)));
    i += static_cast<std::size_t>(length);
  }
  return codes;
}

constexpr std::size_t kAbsent = std::numeric_limits<std::size_t>::max();

std::size_t FirstOf(const std::vector<unsigned char>& codes, unsigned char marker) {
  auto it = std::find(codes.begin(), codes.end(), marker);
  return it == codes.end() ? kAbsent : static_cast<std::size_t>(it - codes.begin());
}

// What the numeric reading ignores anywhere in a decimal number.
bool IsIgnoredInNumber(unsigned char c) { return c == ' ' || c == '\t' || c == '\n'; }

int HexDigit(unsigned char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Accumulates digits of a radix into a 32-bit pattern; more significant
// digits than 32 bits hold is an overflow.
class PatternReader {
 public:
  explicit PatternReader(unsigned bitsPerDigit) : bits_(bitsPerDigit) {}
  void Add(int digit) {
    if (value_ == 0 && digit == 0) return;
    const std::uint64_t next = (value_ << bits_) | static_cast<std::uint64_t>(digit);
    if (next > 0xFFFFFFFFull) throw HostFailure(FailureKind::Overflow);
    value_ = next;
  }
  std::int32_t Value() const { return WrapTo32(value_); }

 private:
  unsigned bits_;
  std::uint64_t value_ = 0;
};

std::int32_t Signed(std::int32_t value, int sign) {
  if (sign > 0) return value;
  if (value == std::numeric_limits<std::int32_t>::min()) throw HostFailure(FailureKind::Overflow);
  return -value;
}

std::int32_t ReadHexDigits(const std::vector<unsigned char>& codes, std::size_t from, int sign) {
  PatternReader reader(4);
  for (std::size_t i = from; i < codes.size(); ++i) {
    const int digit = HexDigit(codes[i]);
    if (digit >= 0) reader.Add(digit);
  }
  return Signed(reader.Value(), sign);
}

std::int32_t ReadBinaryDigits(const std::vector<unsigned char>& codes, std::size_t from, int sign) {
  int count = 0;
  std::int32_t accumulator = 0;
  for (std::size_t i = from; i < codes.size() && count < 30; ++i) {
    if (codes[i] == '0' || codes[i] == '1') {
      ++count;
      accumulator = accumulator * 2 + (codes[i] - '0');
    }
  }
  return accumulator * sign;
}

// Rounds to the nearest 32-bit integer, halves to even; outside the range is an overflow.
std::int32_t RoundToInt32(double value) {
  const double rounded = std::nearbyint(value);
  if (!(rounded >= -2147483648.0 && rounded <= 2147483647.0)) {
    throw HostFailure(FailureKind::Overflow);
  }
  return static_cast<std::int32_t>(rounded);
}

// The host's numeric reading: blanks, tabs and line feeds are ignored
// anywhere; an optional sign, digits, a decimal point and an exponent E, or
// &H / &O followed by digits; reading stops at the first character that
// cannot continue the number.
class DecimalReader {
 public:
  explicit DecimalReader(const std::vector<unsigned char>& codes) : codes_(codes) {}

  std::int32_t Read() {
    if (Peek() == '&') {
      const unsigned char radix = PeekAfter();
      if (radix == 'H') return ReadPattern(4, 16);
      if (radix == 'O') return ReadPattern(3, 8);
      return 0;
    }
    bool negative = false;
    if (Peek() == '+' || Peek() == '-') negative = Take() == '-';
    std::string mantissa;            // significant digits, the first one not zero
    std::int64_t integerDigits = 0;  // significant digits before the point
    std::int64_t fractionZeros = 0;  // zeros between the point and the first significant digit
    bool seenPoint = false;
    while (true) {
      const unsigned char c = Peek();
      if (c >= '0' && c <= '9') {
        Take();
        if (mantissa.empty() && c == '0') {
          if (seenPoint) ++fractionZeros;
          continue;
        }
        if (!seenPoint) ++integerDigits;
        // Digits beyond what a double can tell apart only count for the magnitude.
        if (mantissa.size() < kKeptDigits) mantissa.push_back(static_cast<char>(c));
      } else if (c == '.' && !seenPoint) {
        Take();
        seenPoint = true;
      } else {
        break;
      }
    }
    std::int64_t exponent = 0;
    if (Peek() == 'E') {
      Take();
      bool negativeExponent = false;
      if (Peek() == '+' || Peek() == '-') negativeExponent = Take() == '-';
      while (Peek() >= '0' && Peek() <= '9') {
        const int digit = Take() - '0';
        if (exponent < kExponentCap) exponent = exponent * 10 + digit;
      }
      if (negativeExponent) exponent = -exponent;
    }
    if (mantissa.empty()) return 0;
    // The value is 0.mantissa times ten to `magnitude`.
    const std::int64_t magnitude = integerDigits - fractionZeros + exponent;
    if (magnitude > 10) throw HostFailure(FailureKind::Overflow);
    if (magnitude < -1) return 0;
    std::string canonical = "0." + mantissa + "e" + std::to_string(magnitude);
    double value = 0;
    std::from_chars(canonical.data(), canonical.data() + canonical.size(), value);
    return RoundToInt32(negative ? -value : value);
  }

 private:
  static constexpr std::size_t kKeptDigits = 40;
  static constexpr std::int64_t kExponentCap = 1'000'000'000'000LL;

  void SkipBlanks() {
    while (pos_ < codes_.size() && IsIgnoredInNumber(codes_[pos_])) ++pos_;
  }
  unsigned char Peek() {
    SkipBlanks();
    return pos_ < codes_.size() ? codes_[pos_] : 0;
  }
  unsigned char PeekAfter() {
    SkipBlanks();
    std::size_t next = pos_ + 1;
    while (next < codes_.size() && IsIgnoredInNumber(codes_[next])) ++next;
    return next < codes_.size() ? codes_[next] : 0;
  }
  unsigned char Take() {
    const unsigned char c = Peek();
    ++pos_;
    return c;
  }
  std::int32_t ReadPattern(unsigned bitsPerDigit, int radix) {
    Take();
    Take();
    PatternReader reader(bitsPerDigit);
    while (true) {
      const int digit = HexDigit(Peek());
      if (digit < 0 || digit >= radix) break;
      Take();
      reader.Add(digit);
    }
    return reader.Value();
  }

  const std::vector<unsigned char>& codes_;
  std::size_t pos_ = 0;
};

}  // namespace

std::int32_t Val2(std::string_view text) {
  const std::vector<unsigned char> codes = UpperCodes(text);
  const std::size_t dollar = FirstOf(codes, '$');
  const std::size_t percent = FirstOf(codes, '%');
  const std::size_t quote = FirstOf(codes, '\'');
  const std::size_t minus = FirstOf(codes, '-');
  const int sign = minus < 4 ? -1 : 1;

  if (dollar < percent && dollar < quote) return ReadHexDigits(codes, dollar, sign);
  if (percent < quote) return ReadBinaryDigits(codes, percent, sign);
  if (quote != kAbsent) {
    if (quote + 1 >= codes.size()) throw HostFailure(FailureKind::InvalidArgument);
    return codes[quote + 1] * sign;
  }
  return DecimalReader(codes).Read();
}

std::int32_t InStr2(std::string_view text, std::string_view pattern) {
  if (pattern.empty() || pattern.size() > text.size()) return 0;
  const std::size_t found = text.rfind(pattern);
  if (found == std::string_view::npos) return 0;
  // Positions past the 32-bit range cannot be told to the caller.
  if (found >= static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max())) return 0;
  return static_cast<std::int32_t>(found + 1);
}

std::string HexForm(std::int32_t value) {
  return HexForm64(static_cast<std::int64_t>(static_cast<std::uint32_t>(value)));
}

std::string HexForm64(std::int64_t value) {
  auto bits = static_cast<std::uint64_t>(value);
  if (bits == 0) return "0";
  std::string digits;
  while (bits != 0) {
    digits.push_back("0123456789ABCDEF"[bits & 0xF]);
    bits >>= 4;
  }
  std::reverse(digits.begin(), digits.end());
  return digits;
}

}  // namespace engine
