#include "engine/job_settings.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

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

TEST(JobSettingsConversions, ChecksAndOptionsAcceptOnlyTheirOwnTexts) {
  for (const auto& [text, expected] : std::vector<std::pair<const char*, std::optional<int>>>{{"0", 0},
                                                                                              {" 1 ", 1},
                                                                                              {"2", std::nullopt},
                                                                                              {"-1", std::nullopt},
                                                                                              {"", std::nullopt},
                                                                                              {"True", std::nullopt},
                                                                                              {"01", std::nullopt},
                                                                                              {"1x", std::nullopt}})
    EXPECT_EQ(ConvertCheck(text), expected) << text;
  for (const auto& [text, expected] : std::vector<std::pair<const char*, std::optional<bool>>>{{"False", false},
                                                                                               {" tRuE ", true},
                                                                                               {"-1", true},
                                                                                               {"0.0", false},
                                                                                               {"0.5", true},
                                                                                               {"1E5", true},
                                                                                               {"1E0", true},
                                                                                               {"1E", std::nullopt},
                                                                                               {"&H0", false},
                                                                                               {"&HFF", true},
                                                                                               {"&H", std::nullopt},
                                                                                               {"", std::nullopt},
                                                                                               {"yes", std::nullopt},
                                                                                               {"Truth", std::nullopt},
                                                                                               {"1 2", std::nullopt},
                                                                                               {"&HG", std::nullopt},
                                                                                               {"-", std::nullopt},
                                                                                               {"0x1", std::nullopt}})
    EXPECT_EQ(ConvertOption(text), expected) << text;
}

TEST(JobSettingsConversions, StoredTextFallsBackToTheMissingKeyDefault) {
  const struct {
    const char *key, *stored;
    FieldValue expected;
  } cases[] = {
      {"path", "  D:\\x  ", std::string("  D:\\x  ")},
      {"chdir", "0", 0},
      {"chdir", "2", 1},
      {"optrandomseq", "1", 1},
      {"optrandomseq", "junk", 0},
      {"optall", "False", false},
      {"optall", "maybe", true},
      {"optnth", "maybe", false},
      {"optsequence", "7", true},
  };
  for (const auto& c : cases)
    EXPECT_EQ(ConvertStored(kFields[static_cast<std::size_t>(*FieldIndex(c.key))], c.stored), c.expected) << c.key;
}

}  // namespace
}  // namespace engine
