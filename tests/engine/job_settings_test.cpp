#include "engine/job_settings.h"

#include <gtest/gtest.h>

#include <string>

namespace engine {
namespace {

// Stored files rely on these keys and this order.
TEST(JobSettingsFields, TheTwentySixKeysInStoreOrder) {
  std::string keys;
  for (const FieldSpec& field : kFields) {
    keys.append(keys.empty() ? "" : " ").append(field.key);
    EXPECT_EQ(FieldIndex(field.key), &field - kFields.data());
  }
  EXPECT_EQ(keys,
            "chdir path emu rom autocreate start end inc optall optnth nth optmask mask optrandomseq range1 range2 "
            "sequence shift add optshift optcorrupt optadd optrandombytes optbyterange optsequence optoverwrite");
  for (const char* other : {"Name", "create", "CHDIR", "chdir ", ""}) EXPECT_EQ(FieldIndex(other), std::nullopt);
}

std::string Shown(const FieldValue& value) {
  if (const auto* text = std::get_if<std::string>(&value)) return "'" + *text + "'";
  return std::holds_alternative<int>(value) ? std::to_string(std::get<int>(value))
                                            : (std::get<bool>(value) ? "true" : "false");
}

// Accepted texts convert; any other falls back to the field's missing-key default.
TEST(JobSettingsConversions, ChecksAndOptionsAcceptOnlyTheirOwnTexts) {
  const char* cases[] = {
      // key, stored text, value
      "chdir",        "0",     "0",     "chdir",        " 1 ",    "1",     "chdir",        "2",         "1",
      "chdir",        "-1",    "1",     "optrandomseq", "1",      "1",     "optrandomseq", "",          "0",
      "optrandomseq", "True",  "0",     "optrandomseq", "01",     "0",     "optrandomseq", "1x",        "0",
      "optnth",       "False", "false", "optnth",       " tRuE ", "true",  "optnth",       "-1",        "true",
      "optnth",       "0.0",   "false", "optnth",       "0.5",    "true",  "optnth",       "1E5",       "true",
      "optnth",       "1E0",   "true",  "optnth",       "1E",     "false", "optall",       "1E",        "true",
      "optall",       "&H0",   "false", "optnth",       "&HFF",   "true",  "optnth",       "&H",        "false",
      "optall",       "&H",    "true",  "optall",       "&O7",    "true",  "optall",       "&O8",       "true",
      "optall",       "&O0",   "false", "optnth",       "",       "false", "optnth",       "yes",       "false",
      "optnth",       "Truth", "false", "optnth",       "1 2",    "false", "optnth",       "&HG",       "false",
      "optnth",       "-",     "false", "optnth",       "0x1",    "false", "optall",       "0E+5",      "false",
      "optall",       "0e",    "true",  "optnth",       "+.5e-1", "true",  "path",         "  D:\\x  ", "'  D:\\x  '",
      "optall",       "maybe", "true",  "optsequence",  "7",      "true"};
  for (std::size_t i = 0; i < std::size(cases); i += 3) {
    const FieldSpec& field = kFields[static_cast<std::size_t>(*FieldIndex(cases[i]))];
    const FieldValue value = ConvertStored(field, cases[i + 1]);
    EXPECT_EQ(Shown(value), cases[i + 2]) << cases[i] << "=" << cases[i + 1];
    EXPECT_EQ(ConvertStored(field, StoredText(value)), value) << cases[i] << "=" << cases[i + 1];
  }
}

TEST(JobSettingsConversions, FirstRunDefaults) {
  const JobSettings job = FirstRunDefaults();
  std::string all;
  for (int i = 0; i < kFieldCount; ++i) all += Shown(GetField(job, i)) + " ";
  EXPECT_EQ(all,
            "1 'C:\\nes\\' 'nesticle.exe' 'mario.nes' 1 '$1010' '$2010' '$1000' true false '4' false '%00001101' 1 "
            "'$00' '$FF' '$00,$01,$02,$7F,$FF' '1' '1' false true false true false false 1 ");
}

}  // namespace
}  // namespace engine
