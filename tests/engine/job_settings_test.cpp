#include "engine/job_settings.h"

#include <gtest/gtest.h>

#include <string>

namespace engine {
namespace {

// Stored files rely on these keys, this order and these texts.
TEST(JobSettingsFields, TheTwentySixKeysInStoreOrderWithTheirFirstRunDefaults) {
  const JobSettings job = FirstRunDefaults();
  std::string all;
  for (const FieldSpec& spec : kFields)
    all.append(spec.key).append("=").append(StoredText(GetField(job, spec.field))).append(" ");
  EXPECT_EQ(all,
            "chdir=1 path=C:\\nes\\ emu=nesticle.exe rom=mario.nes autocreate=1 start=$1010 end=$2010 inc=$1000 "
            "optall=True optnth=False nth=4 optmask=False mask=%00001101 optrandomseq=1 range1=$00 range2=$FF "
            "sequence=$00,$01,$02,$7F,$FF shift=1 add=1 optshift=False optcorrupt=True optadd=False "
            "optrandombytes=True optbyterange=False optsequence=False optoverwrite=1 ");
  for (const char* other : {"Name", "CHDIR", "chdir ", ""}) EXPECT_EQ(FieldNamed(other), std::nullopt);
}

// Accepted texts convert; any other falls back to the field's missing-key default, so each row's
// value differs from what the other branch would give.
TEST(JobSettingsConversions, ChecksAndOptionsAcceptOnlyTheirOwnTexts) {
  // key, stored text, value as stored again
  const char* const cases[][3] = {
      {"chdir", " 0 ", "0"},        {"optrandomseq", " 1 ", "1"}, {"optrandomseq", "01", "0"},
      {"optall", "False", "False"}, {"optall", "&H0", "False"},   {"optall", "0E+5", "False"},
      {"optall", "&H", "True"},     {"optnth", " tRuE ", "True"}, {"optnth", "-1", "True"},
      {"optnth", "0.5", "True"},    {"optnth", "1E0", "True"},    {"optnth", "1E", "False"},
      {"optnth", "&HFF", "True"},   {"optnth", "+.5e-1", "True"}, {"optnth", "&O7", "True"},
      {"optnth", "&O8", "False"},   {"optnth", "Truth", "False"}, {"optnth", "1 2", "False"},
      {"optnth", "&HG", "False"},   {"optnth", "-", "False"},     {"path", "  D:\\x  ", "  D:\\x  "}};
  for (const auto& [key, stored, again] : cases) {
    const FieldSpec& field = Spec(*FieldNamed(key));
    const FieldValue value = ConvertStored(field, stored);
    EXPECT_EQ(StoredText(value), again) << key << "=" << stored;
    EXPECT_EQ(ConvertStored(field, StoredText(value)), value) << key << "=" << stored;
  }
}

}  // namespace
}  // namespace engine
