#include "engine/job_settings.h"

#include <cctype>

namespace engine {

using enum FieldKind;
using F = Field;

constexpr std::array<FieldRow, kFieldCount> kFields = {{
    {F::chdir, "chdir", Check, "1", "1", &JobSettings::chdir},
    {F::path, "path", Text, "C:\\nes\\", "C:\\", &JobSettings::path},
    {F::emu, "emu", Text, "nesticle.exe", "", &JobSettings::emu},
    {F::rom, "rom", Text, "mario.nes", "", &JobSettings::rom},
    {F::autocreate, "autocreate", Check, "1", "1", &JobSettings::autocreate},
    {F::start, "start", Text, "$1010", "$0000", &JobSettings::start},
    {F::end, "end", Text, "$2010", "$0000", &JobSettings::end},
    {F::inc, "inc", Text, "$1000", "$1000", &JobSettings::inc},
    {F::optall, "optall", Option, "1", "1", &JobSettings::optall},
    {F::optnth, "optnth", Option, "0", "0", &JobSettings::optnth},
    {F::nth, "nth", Text, "4", "1", &JobSettings::nth},
    {F::optmask, "optmask", Option, "0", "0", &JobSettings::optmask},
    {F::mask, "mask", Text, "%00001101", "%00001101", &JobSettings::mask},
    {F::optrandomseq, "optrandomseq", Check, "1", "0", &JobSettings::optrandomseq},
    {F::range1, "range1", Text, "$00", "$00", &JobSettings::range1},
    {F::range2, "range2", Text, "$FF", "$FF", &JobSettings::range2},
    {F::sequence, "sequence", Text, "$00,$01,$02,$7F,$FF", "", &JobSettings::sequence},
    {F::shift, "shift", Text, "1", "1", &JobSettings::shift},
    {F::add, "add", Text, "1", "0", &JobSettings::add},
    {F::optshift, "optshift", Option, "0", "0", &JobSettings::optshift},
    {F::optcorrupt, "optcorrupt", Option, "1", "1", &JobSettings::optcorrupt},
    {F::optadd, "optadd", Option, "0", "0", &JobSettings::optadd},
    {F::optrandombytes, "optrandombytes", Option, "1", "1", &JobSettings::optrandombytes},
    {F::optbyterange, "optbyterange", Option, "0", "0", &JobSettings::optbyterange},
    {F::optsequence, "optsequence", Option, "0", "0", &JobSettings::optsequence},
    {F::optoverwrite, "optoverwrite", Check, "1", "1", &JobSettings::optoverwrite},
}};

namespace {

constexpr bool RowsInFieldOrder() {
  for (int i = 0; i < kFieldCount; ++i) {
    if (kFields[static_cast<std::size_t>(i)].field != static_cast<Field>(i)) return false;
  }
  return true;
}

// What a stored check or option may carry around its value.
bool IsPadding(char c) { return c == ' ' || c == '\t'; }

std::string_view Trim(std::string_view text) {
  while (!text.empty() && IsPadding(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsPadding(text.back())) text.remove_suffix(1);
  return text;
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(a[i])) !=
        std::tolower(static_cast<unsigned char>(b[i]))) {
      return false;
    }
  }
  return true;
}

bool IsDigitOfRadix(char c, int radix) {
  const char upper = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  if (radix == 16 && upper >= 'A' && upper <= 'F') return true;
  return c >= '0' && c < static_cast<char>('0' + (radix < 10 ? radix : 10));
}

// Whether the whole text is one number, and whether that number is zero.
// Accepts an optional sign, digits with an optional decimal point and
// exponent, or &H / &O followed by digits of that radix.
std::optional<bool> NumberIsZero(std::string_view text) {
  if (text.size() >= 2 && text[0] == '&') {
    const char radixLetter = static_cast<char>(std::toupper(static_cast<unsigned char>(text[1])));
    const int radix = radixLetter == 'H' ? 16 : radixLetter == 'O' ? 8 : 0;
    if (radix == 0 || text.size() == 2) return std::nullopt;
    bool zero = true;
    for (char c : text.substr(2)) {
      if (!IsDigitOfRadix(c, radix)) return std::nullopt;
      if (c != '0') zero = false;
    }
    return zero;
  }
  std::size_t i = 0;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
  bool anyDigit = false;
  bool zero = true;
  bool seenPoint = false;
  for (; i < text.size(); ++i) {
    const char c = text[i];
    if (c >= '0' && c <= '9') {
      anyDigit = true;
      if (c != '0') zero = false;
    } else if (c == '.' && !seenPoint) {
      seenPoint = true;
    } else {
      break;
    }
  }
  if (!anyDigit) return std::nullopt;
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    ++i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    const std::size_t exponentStart = i;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9') ++i;
    if (i == exponentStart) return std::nullopt;
  }
  if (i != text.size()) return std::nullopt;
  return zero;
}

}  // namespace

static_assert(RowsInFieldOrder(), "kFields must list the fields in the order of enum Field");

std::array<Field, kFieldCount> AllFields() {
  std::array<Field, kFieldCount> all{};
  for (int i = 0; i < kFieldCount; ++i) all[static_cast<std::size_t>(i)] = static_cast<Field>(i);
  return all;
}

const FieldRow& RowOf(Field field) { return kFields.at(static_cast<std::size_t>(field)); }

std::optional<Field> FieldNamed(std::string_view key) {
  for (const FieldRow& row : kFields) {
    if (row.key == key) return row.field;
  }
  return std::nullopt;
}

FieldValue GetField(const JobSettings& job, Field field) {
  return std::visit([&job](auto member) -> FieldValue { return job.*member; }, RowOf(field).member);
}

void SetField(JobSettings& job, Field field, const FieldValue& value) {
  std::visit(
      [&job, &value](auto member) {
        using Value = std::remove_reference_t<decltype(job.*member)>;
        if (const auto* typed = std::get_if<Value>(&value)) job.*member = *typed;
      },
      RowOf(field).member);
}

std::optional<int> ConvertCheck(std::string_view text) {
  const std::string_view trimmed = Trim(text);
  if (trimmed == "0") return kUnchecked;
  if (trimmed == "1") return kChecked;
  return std::nullopt;
}

std::optional<bool> ConvertOption(std::string_view text) {
  const std::string_view trimmed = Trim(text);
  if (EqualsIgnoringCase(trimmed, "True")) return true;
  if (EqualsIgnoringCase(trimmed, "False")) return false;
  if (const std::optional<bool> zero = NumberIsZero(trimmed)) return !*zero;
  return std::nullopt;
}

FieldValue ConvertStored(const FieldRow& field, std::string_view text) {
  switch (field.kind) {
    case FieldKind::Text: return std::string(text);
    case FieldKind::Check:
      if (const auto state = ConvertCheck(text)) return *state;
      return ConvertCheck(field.missingKeyDefault).value_or(kChecked);
    case FieldKind::Option:
      if (const auto chosen = ConvertOption(text)) return *chosen;
      return ConvertOption(field.missingKeyDefault).value_or(false);
  }
  return std::string(text);
}

std::string StoredText(const FieldValue& value) {
  if (const auto* text = std::get_if<std::string>(&value)) return *text;
  if (const auto* state = std::get_if<int>(&value)) return std::to_string(*state);
  return std::get<bool>(value) ? "True" : "False";
}

JobSettings FirstRunDefaults() {
  JobSettings job;
  for (const FieldRow& row : kFields)
    SetField(job, row.field, ConvertStored(row, row.firstRunDefault));
  return job;
}

}  // namespace engine
