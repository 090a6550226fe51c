#include "engine/job_settings.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace engine {
namespace {

TEST(JobSettingsFields, FieldIndexFindsEachKeyExactly) {
  for (int i = 0; i < kFieldCount; ++i) {
    EXPECT_EQ(FieldIndex(kFields[static_cast<std::size_t>(i)].key), i);
  }
  EXPECT_EQ(FieldIndex("Name"), std::nullopt);
  EXPECT_EQ(FieldIndex("create"), std::nullopt);
  EXPECT_EQ(FieldIndex("CHDIR"), std::nullopt);
  EXPECT_EQ(FieldIndex(""), std::nullopt);
}

TEST(JobSettingsFields, GetAndSetReachTheNamedMember) {
  JobSettings job;
  for (int i = 0; i < kFieldCount; ++i) {
    const FieldSpec& field = kFields[static_cast<std::size_t>(i)];
    switch (field.kind) {
      case FieldKind::Text: SetField(job, i, std::string(field.key) + "!"); break;
      case FieldKind::Check: SetField(job, i, i % 2); break;
      case FieldKind::Option: SetField(job, i, i % 2 == 1); break;
    }
  }
  EXPECT_EQ(job.path, "path!");
  EXPECT_EQ(job.sequence, "sequence!");
  EXPECT_EQ(job.chdir, 0);
  EXPECT_EQ(job.optrandomseq, 1);  // index 13
  EXPECT_FALSE(job.optall);        // index 8
  EXPECT_TRUE(job.optnth);         // index 9
  EXPECT_EQ(job.optoverwrite, 1);  // index 25
  EXPECT_TRUE(job.create.empty());
  for (int i = 0; i < kFieldCount; ++i) {
    const FieldValue value = GetField(job, i);
    JobSettings copy;
    SetField(copy, i, value);
    EXPECT_EQ(GetField(copy, i), value) << kFields[static_cast<std::size_t>(i)].key;
  }
}

TEST(JobSettingsConversions, ChecksAcceptOnlyZeroAndOne) {
  struct Case {
    const char* text;
    std::optional<int> expected;
  };
  const std::vector<Case> cases = {
      {"0", 0}, {"1", 1}, {" 1 ", 1}, {"\t0", 0}, {"2", std::nullopt},
      {"-1", std::nullopt}, {"", std::nullopt}, {"True", std::nullopt}, {"01", std::nullopt},
      {"1.0", std::nullopt}, {"1x", std::nullopt},
  };
  for (const auto& c : cases) EXPECT_EQ(ConvertCheck(c.text), c.expected) << c.text;
}

TEST(JobSettingsConversions, OptionsAcceptWordsAndNumbers) {
  struct Case {
    const char* text;
    std::optional<bool> expected;
  };
  const std::vector<Case> cases = {
      {"True", true},    {"False", false},  {"TRUE", true},      {"false", false},
      {"tRuE", true},    {" True ", true},  {"1", true},         {"0", false},
      {"-1", true},      {"0.0", false},    {"0.5", true},       {"+3", true},
      {"1E5", true},     {"0E5", false},    {"&H0", false},      {"&HFF", true},
      {"&o7", true},     {".5", true},      {"", std::nullopt},  {"yes", std::nullopt},
      {"Truth", std::nullopt}, {"1 2", std::nullopt}, {"1E", std::nullopt},
      {"&H", std::nullopt}, {"&HG", std::nullopt}, {"&O8", std::nullopt}, {".", std::nullopt},
      {"-", std::nullopt}, {"0x1", std::nullopt},
  };
  for (const auto& c : cases) EXPECT_EQ(ConvertOption(c.text), c.expected) << c.text;
}

TEST(JobSettingsConversions, StoredTextFallsBackToTheMissingKeyDefault) {
  struct Case {
    const char* key;
    const char* stored;
    FieldValue expected;
  };
  const std::vector<Case> cases = {
      {"path", "", std::string()},
      {"path", "  D:\\x  ", std::string("  D:\\x  ")},
      {"chdir", "0", 0},
      {"chdir", "2", 1},
      {"chdir", "junk", 1},
      {"optrandomseq", "1", 1},
      {"optrandomseq", "junk", 0},
      {"optrandomseq", "", 0},
      {"optall", "False", false},
      {"optall", "maybe", true},
      {"optnth", "True", true},
      {"optnth", "maybe", false},
      {"optcorrupt", "0", false},
      {"optsequence", "7", true},
  };
  for (const auto& c : cases) {
    const FieldSpec& field = kFields[static_cast<std::size_t>(*FieldIndex(c.key))];
    EXPECT_EQ(ConvertStored(field, c.stored), c.expected) << c.key << " = " << c.stored;
  }
}

TEST(JobSettingsConversions, StoredTextRoundTrips) {
  EXPECT_EQ(StoredText(FieldValue(std::string("$1010"))), "$1010");
  EXPECT_EQ(StoredText(FieldValue(std::string())), "");
  EXPECT_EQ(StoredText(FieldValue(0)), "0");
  EXPECT_EQ(StoredText(FieldValue(1)), "1");
  EXPECT_EQ(StoredText(FieldValue(true)), "True");
  EXPECT_EQ(StoredText(FieldValue(false)), "False");
  const JobSettings job = FirstRunDefaults();
  for (int i = 0; i < kFieldCount; ++i) {
    const FieldValue value = GetField(job, i);
    EXPECT_EQ(ConvertStored(kFields[static_cast<std::size_t>(i)], StoredText(value)), value);
  }
}

TEST(JobSettingsDefaults, FirstRunDefaultsMakeAReadyJob) {
  const JobSettings job = FirstRunDefaults();
  EXPECT_EQ(job.chdir, kChecked);
  EXPECT_EQ(job.path, "C:\\nes\\");
  EXPECT_EQ(job.emu, "nesticle.exe");
  EXPECT_EQ(job.rom, "mario.nes");
  EXPECT_EQ(job.autocreate, kChecked);
  EXPECT_EQ(job.start, "$1010");
  EXPECT_EQ(job.end, "$2010");
  EXPECT_EQ(job.inc, "$1000");
  EXPECT_EQ(job.nth, "4");
  EXPECT_EQ(job.mask, "%00001101");
  EXPECT_EQ(job.optrandomseq, kChecked);
  EXPECT_EQ(job.range1, "$00");
  EXPECT_EQ(job.range2, "$FF");
  EXPECT_EQ(job.sequence, "$00,$01,$02,$7F,$FF");
  EXPECT_EQ(job.shift, "1");
  EXPECT_EQ(job.add, "1");
  EXPECT_EQ(job.optoverwrite, kChecked);
  EXPECT_TRUE(job.optall && job.optcorrupt && job.optrandombytes);
  EXPECT_FALSE(job.optnth || job.optmask || job.optshift || job.optadd || job.optbyterange ||
               job.optsequence);
  EXPECT_EQ(job.create, "");
}

}  // namespace
}  // namespace engine
