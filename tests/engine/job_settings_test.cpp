#include "engine/job_settings.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace engine {
namespace {

// Accepted texts convert; any other falls back to the field's missing-key default, so each row's value differs
// from what the other branch would give. Keys match as written only.
TEST(JobSettingsConversions, ChecksAndOptionsAcceptOnlyTheirOwnTexts) {
  const struct {
    const char* key;
    std::vector<std::string> texts;
    const char* storedAgain;
  } cases[] = {
      {.key = "chdir", .texts = {" 0 "}, .storedAgain = "0"},
      {.key = "optrandomseq", .texts = {" 1 "}, .storedAgain = "1"},
      {.key = "optrandomseq", .texts = {"01"}, .storedAgain = "0"},
      {.key = "optall", .texts = {"False", "&H0", "0E+5"}, .storedAgain = "False"},
      {.key = "optall", .texts = {"&H"}, .storedAgain = "True"},
      {.key = "optnth", .texts = {" tRuE ", "-1", "0.5", "1E0", "&HFF", "+.5e-1", "&O7"}, .storedAgain = "True"},
      {.key = "optnth", .texts = {"1E", "&O8", "Truth", "1 2", "&HG", "-"}, .storedAgain = "False"},
  };
  for (const auto& c : cases) {
    const FieldRow& field = RowOf(*FieldNamed(c.key));
    for (const std::string& text : c.texts) {
      const FieldValue value = ConvertStored(field, text);
      EXPECT_EQ(StoredText(value), c.storedAgain) << c.key << "=" << text;
    }
  }
}

}  // namespace
}  // namespace engine
