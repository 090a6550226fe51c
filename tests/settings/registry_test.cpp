#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "settings/registry.h"
#include "support/memory_store.h"
#include "support/settings_fakes.h"

namespace settings {
namespace {

using engine::FieldValue;
using engine::kFields;

std::vector<std::string> StoreOrderKeys() {
  std::vector<std::string> keys;
  for (const auto& field : kFields) keys.emplace_back(field.key);
  return keys;
}

TEST(LoadReg, WritesEveryFieldInStoreOrderWithMissingKeyDefaults) {
  MemoryStore store;
  RecordingControls controls(UnusualJob());
  LoadReg("Global4", store, controls);

  ASSERT_EQ(controls.writes.size(), kFields.size());
  for (std::size_t i = 0; i < kFields.size(); ++i) {
    EXPECT_EQ(controls.writes[i].first, static_cast<int>(i));
    EXPECT_EQ(store.reads[i], std::make_pair(std::string("Global4"), std::string(kFields[i].key)));
  }
  EXPECT_EQ(store.reads.size(), kFields.size());  // "Name" is never read
  EXPECT_TRUE(store.saves.empty());

  const engine::JobSettings& job = controls.job;
  EXPECT_EQ(job.chdir, 1);
  EXPECT_EQ(job.path, "C:\\");
  EXPECT_EQ(job.emu, "");
  EXPECT_EQ(job.rom, "");
  EXPECT_EQ(job.autocreate, 1);
  EXPECT_EQ(job.start, "$0000");
  EXPECT_EQ(job.end, "$0000");
  EXPECT_EQ(job.inc, "$1000");
  EXPECT_EQ(job.nth, "1");
  EXPECT_EQ(job.mask, "%00001101");
  EXPECT_EQ(job.optrandomseq, 0);
  EXPECT_EQ(job.range1, "$00");
  EXPECT_EQ(job.range2, "$FF");
  EXPECT_EQ(job.sequence, "");
  EXPECT_EQ(job.shift, "1");
  EXPECT_EQ(job.add, "0");
  EXPECT_EQ(job.optoverwrite, 1);
  EXPECT_TRUE(job.optall && job.optcorrupt && job.optrandombytes);
  EXPECT_FALSE(job.optnth || job.optmask || job.optshift || job.optadd || job.optbyterange ||
               job.optsequence);
  EXPECT_EQ(job.create, "not stored");
}

TEST(LoadReg, ConvertsStoredTextAndFallsBackOnValuesItCannotUse) {
  struct Case {
    const char* key;
    const char* stored;
    FieldValue expected;
  };
  const std::vector<Case> cases = {
      {"chdir", "0", 0},          {"chdir", "1", 1},           {"chdir", "2", 1},
      {"chdir", "yes", 1},        {"optrandomseq", "1", 1},    {"optrandomseq", "x", 0},
      {"optall", "False", false}, {"optall", "0", false},      {"optall", "junk", true},
      {"optmask", "TRUE", true},  {"optmask", "-1", true},     {"optmask", "junk", false},
      {"path", "", std::string()}, {"emu", " a b ", std::string(" a b ")},
      {"sequence", "junk", std::string("junk")},
  };
  for (const auto& c : cases) {
    MemoryStore store;
    store.Put("Global0", c.key, c.stored);
    RecordingControls controls;
    LoadReg("Global0", store, controls);
    const int index = *engine::FieldIndex(c.key);
    EXPECT_EQ(engine::GetField(controls.job, index), c.expected) << c.key << " = " << c.stored;
  }
}

TEST(LoadReg, KeepsEveryStoredOptionSoTheLastTrueOfAGroupWinsInTheWindow) {
  MemoryStore store;
  store.Put("Global1", "optall", "True");
  store.Put("Global1", "optmask", "True");
  store.Put("Global1", "optcorrupt", "False");
  RecordingControls controls;
  LoadReg("Global1", store, controls);
  // The store hands each stored value to its control in order; the window's
  // option groups resolve it (optmask written after optall).
  const int optall = *engine::FieldIndex("optall");
  const int optmask = *engine::FieldIndex("optmask");
  EXPECT_EQ(controls.writes[static_cast<std::size_t>(optall)].second, FieldValue(true));
  EXPECT_EQ(controls.writes[static_cast<std::size_t>(optmask)].second, FieldValue(true));
  EXPECT_LT(optall, optmask);
  EXPECT_FALSE(controls.job.optcorrupt);
}

TEST(SaveReg, SavesEveryFieldInStoreOrderThenTheName) {
  MemoryStore store;
  store.Put("Global2", "unknown", "kept");
  RecordingControls controls(UnusualJob());
  SaveReg("Global2", "my name", store, controls);

  std::vector<std::string> keys = StoreOrderKeys();
  keys.emplace_back("Name");
  ASSERT_EQ(store.saves.size(), keys.size());
  for (std::size_t i = 0; i < keys.size(); ++i) {
    EXPECT_EQ(store.saves[i].section, "Global2");
    EXPECT_EQ(store.saves[i].key, keys[i]);
  }
  const std::vector<std::pair<std::string, std::string>> expected = {
      {"chdir", "0"},
      {"path", "  D:\\games\\ "},
      {"emu", "fceux \"%1\" --fullscreen=1; rm -rf"},
      {"autocreate", "0"},
      {"start", ""},
      {"end", "'A"},
      {"optall", "False"},
      {"optnth", "True"},
      {"optrandomseq", "1"},
      {"shift", "\t-2"},
      {"optoverwrite", "0"},
      {"Name", "my name"},
      {"unknown", "kept"},
  };
  for (const auto& [key, value] : expected) EXPECT_EQ(store.Get("Global2", key), value) << key;
  EXPECT_EQ(store.Get("Global2", "create"), std::nullopt);
  EXPECT_TRUE(store.reads.empty());
}

TEST(SaveReg, SavingTwiceKeepsOnlyTheSecondName) {
  MemoryStore store;
  RecordingControls controls;
  SaveReg("Global5", "first", store, controls);
  SaveReg("Global5", "second", store, controls);
  EXPECT_EQ(store.Get("Global5", "Name"), "second");
}

TEST(SaveReg, SaveThenLoadGivesBackEveryField) {
  MemoryStore store;
  RecordingControls saved(UnusualJob());
  SaveReg("Global7", "x", store, saved);

  RecordingControls loaded(engine::FirstRunDefaults());
  LoadReg("Global7", store, loaded);
  for (int i = 0; i < engine::kFieldCount; ++i) {
    EXPECT_EQ(engine::GetField(loaded.job, i), engine::GetField(saved.job, i))
        << kFields[static_cast<std::size_t>(i)].key;
  }
}

TEST(Start, TakesFirstRunDefaultsForMissingKeysAndCaptionsTheMenus) {
  MemoryStore store;
  RecordingControls controls;
  RecordingMenus menus;
  Start(store, controls, menus);

  ASSERT_EQ(controls.writes.size(), kFields.size());
  for (std::size_t i = 0; i < kFields.size(); ++i) {
    EXPECT_EQ(controls.writes[i].first, static_cast<int>(i));
    EXPECT_EQ(store.reads[i].first, "Defaults");
  }
  const engine::JobSettings expected = engine::FirstRunDefaults();
  for (int i = 0; i < engine::kFieldCount; ++i) {
    EXPECT_EQ(engine::GetField(controls.job, i), engine::GetField(expected, i));
  }
  ASSERT_EQ(menus.captions.size(), 11u);
  for (int slot = 0; slot < kSlotCount; ++slot) {
    EXPECT_EQ(menus.captions[static_cast<std::size_t>(slot)],
              std::make_pair(slot, "&" + std::to_string(slot) + ": "));
  }
  EXPECT_TRUE(store.saves.empty());
}

TEST(Start, UsesStoredKeysAndFallsBackToTheMissingKeyDefaultOnBadValues) {
  MemoryStore store;
  store.Put("Defaults", "rom", "zelda.nes");
  store.Put("Defaults", "emu", "");
  store.Put("Defaults", "optrandomseq", "bogus");  // first-run "1", missing-key "0"
  store.Put("Defaults", "autocreate", "0");
  store.Put("Global3", "Name", "zelda.nes 0-10");
  RecordingControls controls;
  RecordingMenus menus;
  Start(store, controls, menus);
  EXPECT_EQ(controls.job.rom, "zelda.nes");
  EXPECT_EQ(controls.job.emu, "");
  EXPECT_EQ(controls.job.optrandomseq, 0);
  EXPECT_EQ(controls.job.autocreate, 0);
  EXPECT_EQ(controls.job.path, "C:\\nes\\");
  EXPECT_EQ(controls.job.start, "$1010");
  EXPECT_EQ(menus.captions[3].second, "&3: zelda.nes 0-10");
}

TEST(SaveDefaults, SavesTheWindowUnderDefaults) {
  MemoryStore store;
  RecordingControls controls(UnusualJob());
  SaveDefaults(store, controls);
  EXPECT_EQ(store.saves.size(), kFields.size() + 1);
  EXPECT_EQ(store.saves.back().key, "Name");
  EXPECT_EQ(store.Get("Defaults", "Name"), "Defaults");
  EXPECT_EQ(store.Get("Defaults", "rom"), UnusualJob().rom);

  // Closing and starting again shows the fields as they were at closing.
  RecordingControls restarted;
  RecordingMenus menus;
  Start(store, restarted, menus);
  for (int i = 0; i < engine::kFieldCount; ++i) {
    EXPECT_EQ(engine::GetField(restarted.job, i), engine::GetField(controls.job, i));
  }
}

}  // namespace
}  // namespace settings
