#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

namespace engine {

// Check box states.
inline constexpr int kUnchecked = 0;
inline constexpr int kChecked = 1;
inline constexpr int kGrey = 2;

// A snapshot of every option of one job, read from the window's controls at
// the start of one handler call. Check fields hold 0, 1 or the grey 2; only 1
// counts as checked.
struct JobSettings {
  int chdir = kGrey;
  std::string path;
  std::string emu;
  std::string rom;
  int autocreate = kGrey;
  std::string start;
  std::string end;
  std::string inc;
  bool optall = false;
  bool optnth = false;
  std::string nth;
  bool optmask = false;
  std::string mask;
  int optrandomseq = kGrey;
  std::string range1;
  std::string range2;
  std::string sequence;
  std::string shift;
  std::string add;
  bool optshift = false;
  bool optcorrupt = false;
  bool optadd = false;
  bool optrandombytes = false;
  bool optbyterange = false;
  bool optsequence = false;
  int optoverwrite = kGrey;
  // The output name; not stored with the settings.
  std::string create;
  // File > Close Previous Emulator: a run that starts the emulator ends the one
  // started before it first. Not a stored field either; no preset carries it.
  bool closePreviousEmulator = false;
};

enum class FieldKind { Text, Check, Option };

// The 26 stored fields, named by their keys, in the one order the store reads
// and writes them.
enum class Field {
  chdir,
  path,
  emu,
  rom,
  autocreate,
  start,
  end,
  inc,
  optall,
  optnth,
  nth,
  optmask,
  mask,
  optrandomseq,
  range1,
  range2,
  sequence,
  shift,
  add,
  optshift,
  optcorrupt,
  optadd,
  optrandombytes,
  optbyterange,
  optsequence,
  optoverwrite,
};

inline constexpr int kFieldCount = static_cast<int>(Field::optoverwrite) + 1;

// The JobSettings member that holds a field, of the type its kind needs.
using FieldMember =
    std::variant<std::string JobSettings::*, int JobSettings::*, bool JobSettings::*>;

// One stored field: its name, key, kind, the two defaults and where a job keeps it.
struct FieldRow {
  Field field;
  std::string_view key;
  FieldKind kind;
  std::string_view firstRunDefault;
  std::string_view missingKeyDefault;
  FieldMember member;
};

// Every stored field in store order: kFields[i].field is Field(i).
extern const std::array<FieldRow, kFieldCount> kFields;

// Every field in store order, for loops over all of them.
std::array<Field, kFieldCount> AllFields();
// The row of kFields that describes `field`.
const FieldRow& RowOf(Field field);

// A field's value: text for Text, 0/1 for Check, true/false for Option.
using FieldValue = std::variant<std::string, int, bool>;

// The field stored under this key (letter case counts), or nullopt.
std::optional<Field> FieldNamed(std::string_view key);

// Reads or writes one field of a snapshot. A value of another type than the
// field's kind is not written.
FieldValue GetField(const JobSettings& job, Field field);
void SetField(JobSettings& job, Field field, const FieldValue& value);

// Conversions of stored text. nullopt when the text is not accepted:
// a check accepts "0" and "1"; an option accepts "True"/"False" in any
// letter case and numeric text (zero false, anything else true).
std::optional<int> ConvertCheck(std::string_view text);
std::optional<bool> ConvertOption(std::string_view text);

// Converts stored text by the field's kind; text the conversion does not
// accept falls back to the field's missing-key default.
FieldValue ConvertStored(const FieldRow& field, std::string_view text);

// The stored text of a value: texts verbatim, checks "0"/"1", options "True"/"False".
std::string StoredText(const FieldValue& value);

// A snapshot holding the first-run defaults (output name left empty).
JobSettings FirstRunDefaults();

}  // namespace engine
