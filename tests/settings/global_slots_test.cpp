#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "settings/registry.h"
#include "support/memory_store.h"
#include "support/settings_fakes.h"

namespace settings {
namespace {

TEST(SlotSection, NamesSectionsWithoutLeadingZeros) {
  EXPECT_EQ(SlotSection(0), "Global0");
  EXPECT_EQ(SlotSection(1), "Global1");
  EXPECT_EQ(SlotSection(10), "Global10");
}

TEST(SlotName, ShowsTheRomAndTheRangeInHex) {
  struct Case {
    const char* rom;
    const char* start;
    const char* end;
    const char* expected;
  };
  const std::vector<Case> cases = {
      {"mario.nes", "$1010", "$2010", "mario.nes 1010-2010"},
      {"mario.nes", "4096", "8192", "mario.nes 1000-2000"},
      {"", "$0000", "$0000", " 0-0"},
      {"C:\\nes\\mario.nes", "$1010", "$2010", "C:\\nes\\mario.nes 1010-2010"},
      {"a.nes", "-1", "%101", "a.nes FFFFFFFF-5"},
      {"a.nes", "", "abc", "a.nes 0-0"},
      {"a.nes", "'A", "$ff", "a.nes 41-FF"},
      // Numbers Val2 refuses are shown as typed rather than losing the save.
      {"a.nes", "'", "$10", "a.nes '-10"},
      {"a.nes", "$10", "99999999999", "a.nes 10-99999999999"},
  };
  for (const auto& c : cases) EXPECT_EQ(SlotName(c.rom, c.start, c.end), c.expected);
}

engine::JobSettings MarioJob() {
  engine::JobSettings job = engine::FirstRunDefaults();
  job.rom = "mario.nes";
  job.start = "$1010";
  job.end = "$2010";
  return job;
}

TEST(mnuSG_Click, SavesTheSlotAndRecaptionsEveryEntry) {
  MemoryStore store;
  store.Put("Global10", "Name", "ten");
  RecordingControls controls(MarioJob());
  RecordingMenus menus;
  mnuSG_Click(3, store, controls, menus);

  EXPECT_EQ(store.Get("Global3", "Name"), "mario.nes 1010-2010");
  EXPECT_EQ(store.Get("Global3", "start"), "$1010");
  EXPECT_EQ(store.saves.back().key, "Name");
  ASSERT_EQ(menus.captions.size(), 11u);
  std::vector<std::pair<int, std::string>> expected;
  for (int slot = 0; slot < kSlotCount; ++slot) {
    expected.emplace_back(slot, "&" + std::to_string(slot) + ": ");
  }
  expected[3].second = "&3: mario.nes 1010-2010";
  expected[10].second = "&10: ten";
  EXPECT_EQ(menus.captions, expected);
  EXPECT_TRUE(controls.writes.empty());
}

TEST(mnuSG_Click, SlotsOneAndTenAreDistinctSections) {
  MemoryStore store;
  RecordingMenus menus;
  RecordingControls one(MarioJob());
  mnuSG_Click(1, store, one, menus);
  engine::JobSettings other = MarioJob();
  other.rom = "zelda.nes";
  RecordingControls ten(other);
  mnuSG_Click(10, store, ten, menus);
  EXPECT_EQ(store.Get("Global1", "rom"), "mario.nes");
  EXPECT_EQ(store.Get("Global10", "rom"), "zelda.nes");
}

TEST(mnuSG_Click, AStartVal2RefusesStillSavesTheSlot) {
  MemoryStore store;
  engine::JobSettings job = MarioJob();
  job.start = "'";
  RecordingControls controls(job);
  RecordingMenus menus;
  mnuSG_Click(2, store, controls, menus);
  EXPECT_EQ(store.Get("Global2", "start"), "'");
  EXPECT_EQ(store.Get("Global2", "Name"), "mario.nes '-2010");
  EXPECT_EQ(menus.captions.size(), 11u);
}

TEST(mnuLG_Click, LoadsASavedSlotBack) {
  MemoryStore store;
  RecordingMenus menus;
  RecordingControls saved(UnusualJob());
  mnuSG_Click(6, store, saved, menus);
  RecordingControls controls(MarioJob());
  mnuLG_Click(6, store, controls);
  for (int i = 0; i < engine::kFieldCount; ++i) {
    EXPECT_EQ(engine::GetField(controls.job, i), engine::GetField(saved.job, i));
  }
}

TEST(mnuLG_Click, ANeverSavedSlotLoadsTheMissingKeyDefaults) {
  MemoryStore store;
  RecordingControls controls(MarioJob());
  mnuLG_Click(9, store, controls);
  EXPECT_EQ(controls.writes.size(), engine::kFields.size());
  EXPECT_EQ(controls.job.rom, "");
  EXPECT_EQ(controls.job.emu, "");
  EXPECT_EQ(controls.job.sequence, "");
  EXPECT_EQ(controls.job.path, "C:\\");
  EXPECT_EQ(controls.job.start, "$0000");
  EXPECT_EQ(controls.job.end, "$0000");
  EXPECT_TRUE(controls.job.optall && controls.job.optcorrupt && controls.job.optrandombytes);
  EXPECT_TRUE(store.saves.empty());
  EXPECT_TRUE(store.values.empty());
}

}  // namespace
}  // namespace settings
