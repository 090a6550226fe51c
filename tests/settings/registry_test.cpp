#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "settings/registry.h"
#include "support/memory_store.h"
#include "support/settings_fakes.h"

namespace settings {
namespace {

using Keys = std::vector<std::string>;
using Captions = std::vector<std::pair<int, std::string>>;

engine::JobSettings MissingKeyJob() {
  return {.chdir = 1, .path = "C:\\", .emu = "", .rom = "", .autocreate = 1, .start = "$0000",
          .end = "$0000", .inc = "$1000", .optall = true, .nth = "1", .mask = "%00001101",
          .optrandomseq = 0, .range1 = "$00", .range2 = "$FF", .sequence = "", .shift = "1", .add = "0",
          .optcorrupt = true, .optrandombytes = true, .optoverwrite = 1, .create = ""};
}

// Every menu entry captioned "&<slot>: " with no name yet.
Captions Unnamed() {
  Captions captions;
  for (int slot = 0; slot < kSlotCount; ++slot) {
    captions.emplace_back(slot, std::string("&").append(std::to_string(slot)).append(": "));
  }
  return captions;
}

TEST(LoadReg, WritesEveryFieldInStoreOrderConvertedOrWithTheMissingKeyDefault) {
  MemoryStore store;
  for (const auto& [key, text] : {std::pair{"chdir", "0"}, {"autocreate", "2"}, {"optrandomseq", "yes"},
                                  {"optall", "junk"}, {"optmask", "TRUE"}, {"optcorrupt", "0"},
                                  {"path", ""}, {"emu", " a b "}}) {
    store.Put("Global1", key, text);
  }
  RecordingControls controls(UnusualJob());
  LoadReg("Global1", store, controls);

  ASSERT_EQ(controls.writes.size(), engine::kFields.size());
  ASSERT_EQ(store.reads.size(), engine::kFields.size());  // "Name" is never read
  for (std::size_t i = 0; i < engine::kFields.size(); ++i) {
    EXPECT_EQ(controls.writes[i].first, static_cast<int>(i));
    EXPECT_EQ(store.reads[i], std::make_pair(std::string("Global1"), std::string(engine::kFields[i].key)));
  }
  // Both options of a group stay set: the window's group resolves them in store order.
  engine::JobSettings expected = MissingKeyJob();
  expected.chdir = 0;
  expected.optmask = true;
  expected.optcorrupt = false;
  expected.path = "";
  expected.emu = " a b ";
  EXPECT_EQ(DifferingKeys(controls.job, expected), Keys{});
  EXPECT_EQ(controls.job.create, "not stored");

  RecordingControls neverSaved(UnusualJob());
  mnuLG_Click(9, store, neverSaved);
  EXPECT_EQ(DifferingKeys(neverSaved.job, MissingKeyJob()), Keys{});
  EXPECT_TRUE(store.saves.empty());
}

TEST(Start, TakesFirstRunDefaultsForMissingKeysThenCaptionsTheMenus) {
  MemoryStore store;
  store.Put("Defaults", "rom", "zelda.nes");
  store.Put("Defaults", "emu", "");
  store.Put("Defaults", "optrandomseq", "bogus");  // first-run "1", missing-key "0"
  store.Put("Global3", "Name", "zelda.nes 0-10");
  RecordingControls controls(UnusualJob());
  RecordingMenus menus;
  Start(store, controls, menus);

  engine::JobSettings expected = engine::FirstRunDefaults();
  expected.rom = "zelda.nes";
  expected.emu = "";
  expected.optrandomseq = 0;
  EXPECT_EQ(DifferingKeys(controls.job, expected), Keys{});
  for (std::size_t i = 0; i < engine::kFields.size(); ++i) EXPECT_EQ(store.reads[i].first, "Defaults");
  Captions captions = Unnamed();
  captions[3].second += "zelda.nes 0-10";
  EXPECT_EQ(menus.captions, captions);
  EXPECT_TRUE(store.saves.empty());
}

TEST(SaveDefaults, SavesEveryFieldAsTextInStoreOrderThenTheName) {
  MemoryStore store;
  store.Put("Defaults", "unknown", "kept");
  RecordingControls controls(UnusualJob());
  SaveDefaults(store, controls);

  ASSERT_EQ(store.saves.size(), engine::kFields.size() + 1);
  for (std::size_t i = 0; i < store.saves.size(); ++i) {
    EXPECT_EQ(store.saves[i].section, "Defaults");
    EXPECT_EQ(store.saves[i].key, i < engine::kFields.size() ? engine::kFields[i].key : "Name");
  }
  for (const auto& [key, value] :
       {std::pair{"chdir", "0"}, {"optrandomseq", "1"}, {"optall", "False"}, {"optnth", "True"},
        {"path", "  D:\\games\\ "}, {"start", ""}, {"Name", "Defaults"}, {"unknown", "kept"}}) {
    EXPECT_EQ(store.Get("Defaults", key), value) << key;
  }
  EXPECT_EQ(store.Get("Defaults", "create"), std::nullopt);
  EXPECT_TRUE(store.reads.empty());
}

TEST(SlotName, ShowsTheRomAndTheRangeInHex) {
  struct Case {
    const char *rom, *start, *end, *expected;
  };
  const Case cases[] = {
      {"mario.nes", "$1010", "$2010", "mario.nes 1010-2010"},
      {"mario.nes", "4096", "8192", "mario.nes 1000-2000"},
      {"", "$0000", "$0000", " 0-0"},
      {"C:\\nes\\mario.nes", "$1010", "$2010", "C:\\nes\\mario.nes 1010-2010"},
      // Numbers Val2 refuses are shown as typed rather than losing the save.
      {"a.nes", "'", "99999999999", "a.nes '-99999999999"},
  };
  for (const auto& c : cases) EXPECT_EQ(SlotName(c.rom, c.start, c.end), c.expected);
}

TEST(GlobalSlots, EachSlotSavesUnderItsOwnNameAndLoadsBack) {
  MemoryStore store;
  RecordingMenus menus;
  RecordingControls one(UnusualJob());
  mnuSG_Click(1, store, one, menus);
  engine::JobSettings zelda = engine::FirstRunDefaults();
  zelda.rom = "zelda.nes";
  zelda.start = "'";
  RecordingControls ten(zelda);
  RecordingMenus after;
  mnuSG_Click(10, store, ten, after);

  EXPECT_EQ(store.saves.back().key, "Name");
  Captions captions = Unnamed();
  captions[1].second += UnusualJob().rom + " 0-41";
  captions[10].second += "zelda.nes '-2010";
  EXPECT_EQ(after.captions, captions);
  EXPECT_TRUE(one.writes.empty() && ten.writes.empty());

  RecordingControls loaded(engine::FirstRunDefaults());
  mnuLG_Click(1, store, loaded);
  EXPECT_EQ(DifferingKeys(loaded.job, one.job), Keys{});
  mnuLG_Click(10, store, loaded);
  EXPECT_EQ(DifferingKeys(loaded.job, zelda), Keys{});
}

}  // namespace
}  // namespace settings
