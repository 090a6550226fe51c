#include "engine/job_settings.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace engine {
namespace {

TEST(JobSettingsFields, FieldIndexFindsEachKeyExactly) {
  EXPECT_EQ(FieldIndex("chdir"), 0);
  EXPECT_EQ(FieldIndex("optmask"), 11);
  EXPECT_EQ(FieldIndex("optoverwrite"), 25);
  for (const char* other : {"Name", "create", "CHDIR", "chdir ", ""}) EXPECT_EQ(FieldIndex(other), std::nullopt);
}

TEST(JobSettingsConversions, ChecksAndOptionsAcceptOnlyTheirOwnTexts) {
  const std::vector<std::pair<const char*, std::optional<int>>> checks = {
      {"0", 0}, {"1", 1}, {" 1 ", 1}, {"2", std::nullopt}, {"-1", std::nullopt},
      {"", std::nullopt}, {"True", std::nullopt}, {"01", std::nullopt}, {"1x", std::nullopt},
  };
  for (const auto& [text, expected] : checks) EXPECT_EQ(ConvertCheck(text), expected) << text;
  const std::vector<std::pair<const char*, std::optional<bool>>> options = {
      {"True", true}, {"False", false}, {"tRuE", true}, {" True ", true}, {"1", true},
      {"0", false}, {"-1", true}, {"0.0", false}, {"0.5", true}, {"1E5", true}, {"&H0", false},
      {"&HFF", true}, {"", std::nullopt}, {"yes", std::nullopt}, {"Truth", std::nullopt},
      {"1 2", std::nullopt}, {"&HG", std::nullopt}, {"-", std::nullopt}, {"0x1", std::nullopt},
  };
  for (const auto& [text, expected] : options) EXPECT_EQ(ConvertOption(text), expected) << text;
}

TEST(JobSettingsConversions, StoredTextFallsBackToTheMissingKeyDefault) {
  struct Case {
    const char* key;
    const char* stored;
    FieldValue expected;
  };
  const std::vector<Case> cases = {
      {"path", "  D:\\x  ", std::string("  D:\\x  ")}, {"chdir", "0", 0}, {"chdir", "2", 1},
      {"optrandomseq", "1", 1}, {"optrandomseq", "junk", 0}, {"optall", "False", false},
      {"optall", "maybe", true}, {"optnth", "maybe", false}, {"optsequence", "7", true},
  };
  for (const auto& c : cases) {
    const FieldSpec& field = kFields[static_cast<std::size_t>(*FieldIndex(c.key))];
    EXPECT_EQ(ConvertStored(field, c.stored), c.expected) << c.key << " = " << c.stored;
  }
}

}  // namespace
}  // namespace engine
