#include "engine/job_settings.h"

#include <cctype>

namespace engine {

using enum FieldKind;

const std::array<FieldSpec, kFieldCount> kFields = {{
    {"chdir", Check, "1", "1", &JobSettings::chdir},
    {"path", Text, "C:\\nes\\", "C:\\", &JobSettings::path},
    {"emu", Text, "nesticle.exe", "", &JobSettings::emu},
    {"rom", Text, "mario.nes", "", &JobSettings::rom},
    {"autocreate", Check, "1", "1", &JobSettings::autocreate},
    {"start", Text, "$1010", "$0000", &JobSettings::start},
    {"end", Text, "$2010", "$0000", &JobSettings::end},
    {"inc", Text, "$1000", "$1000", &JobSettings::inc},
    {"optall", Option, "1", "1", &JobSettings::optall},
    {"optnth", Option, "0", "0", &JobSettings::optnth},
    {"nth", Text, "4", "1", &JobSettings::nth},
    {"optmask", Option, "0", "0", &JobSettings::optmask},
    {"mask", Text, "%00001101", "%00001101", &JobSettings::mask},
    {"optrandomseq", Check, "1", "0", &JobSettings::optrandomseq},
    {"range1", Text, "$00", "$00", &JobSettings::range1},
    {"range2", Text, "$FF", "$FF", &JobSettings::range2},
    {"sequence", Text, "$00,$01,$02,$7F,$FF", "", &JobSettings::sequence},
    {"shift", Text, "1", "1", &JobSettings::shift},
    {"add", Text, "1", "0", &JobSettings::add},
    {"optshift", Option, "0", "0", &JobSettings::optshift},
    {"optcorrupt", Option, "1", "1", &JobSettings::optcorrupt},
    {"optadd", Option, "0", "0", &JobSettings::optadd},
    {"optrandombytes", Option, "1", "1", &JobSettings::optrandombytes},
    {"optbyterange", Option, "0", "0", &JobSettings::optbyterange},
    {"optsequence", Option, "0", "0", &JobSettings::optsequence},
    {"optoverwrite", Check, "1", "1", &JobSettings::optoverwrite},
}};

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view Trim(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
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

std::optional<int> FieldIndex(std::string_view key) {
  for (int i = 0; i < kFieldCount; ++i) {
    if (kFields[static_cast<std::size_t>(i)].key == key) return i;
  }
  return std::nullopt;
}

FieldValue GetField(const JobSettings& job, int index) {
  return std::visit([&job](auto member) -> FieldValue { return job.*member; },
                    kFields.at(static_cast<std::size_t>(index)).member);
}

void SetField(JobSettings& job, int index, const FieldValue& value) {
  std::visit(
      [&job, &value](auto member) {
        using Value = std::remove_reference_t<decltype(job.*member)>;
        if (const auto* typed = std::get_if<Value>(&value)) job.*member = *typed;
      },
      kFields.at(static_cast<std::size_t>(index)).member);
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

FieldValue ConvertStored(const FieldSpec& field, std::string_view text) {
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
  for (int i = 0; i < kFieldCount; ++i) {
    const FieldSpec& field = kFields[static_cast<std::size_t>(i)];
    SetField(job, i, ConvertStored(field, field.firstRunDefault));
  }
  return job;
}

}  // namespace engine
