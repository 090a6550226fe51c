#include "settings/registry.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "support/memory_store.h"
#include "support/settings_fakes.h"

namespace settings {
namespace {

using Keys = std::vector<std::string>;

engine::JobSettings MissingKeyJob() {
  return {.chdir = 1,
          .path = "C:\\",
          .emu = "",
          .rom = "",
          .autocreate = 1,
          .start = "$0000",
          .end = "$0000",
          .inc = "$1000",
          .optall = true,
          .nth = "1",
          .mask = "%00001101",
          .optrandomseq = 0,
          .range1 = "$00",
          .range2 = "$FF",
          .sequence = "",
          .shift = "1",
          .add = "0",
          .optcorrupt = true,
          .optrandombytes = true,
          .optoverwrite = 1,
          .create = ""};
}

// (section, key) of every stored field in store order, then of "Name" when asked.
std::vector<MemoryStore::Place> Places(const std::string& section, bool name = false) {
  std::vector<MemoryStore::Place> places;
  for (const auto& field : engine::kFields) places.emplace_back(section, field.key);
  if (name) places.emplace_back(section, "Name");
  return places;
}

// Every menu caption "&<slot>: <name>", with the names given by slot.
std::vector<std::pair<int, std::string>> Captions(std::map<int, std::string> names) {
  std::vector<std::pair<int, std::string>> captions;
  for (int slot = 0; slot < kSlotCount; ++slot)
    captions.emplace_back(slot, std::string("&").append(std::to_string(slot)).append(": ").append(names[slot]));
  return captions;
}

std::map<std::string, std::string> Section(const MemoryStore& store, const std::string& name) {
  std::map<std::string, std::string> keys;
  for (const auto& [where, value] : store.values)
    if (where.first == name) keys[where.second] = value;
  return keys;
}

TEST(LoadReg, WritesEveryFieldInStoreOrderConvertedOrWithTheMissingKeyDefault) {
  struct Case {
    const char *key, *stored;
    engine::FieldValue loaded;
  };
  // Both options of a group stay set: the window's group resolves them in store order.
  const Case cases[] = {{"chdir", "0", 0},        {"autocreate", "2", 1},    {"optrandomseq", "yes", 0},
                        {"optall", "junk", true}, {"optmask", "TRUE", true}, {"optcorrupt", "0", false},
                        {"path", "", ""},         {"emu", " a b ", " a b "}};
  MemoryStore store;
  engine::JobSettings expected = MissingKeyJob();
  for (const Case& c : cases) {
    store.Put("Global1", c.key, c.stored);
    engine::SetField(expected, *engine::FieldIndex(c.key), c.loaded);
  }
  RecordingControls controls(UnusualJob());
  LoadReg("Global1", store, controls);

  EXPECT_EQ(store.reads, Places("Global1"));  // "Name" is never read
  ASSERT_EQ(controls.writes.size(), engine::kFields.size());
  for (std::size_t i = 0; i < engine::kFields.size(); ++i) EXPECT_EQ(controls.writes[i].first, static_cast<int>(i));
  EXPECT_EQ(DifferingKeys(controls.job, expected), Keys{});

  RecordingControls neverSaved(UnusualJob());
  LoadSlot(9, store, neverSaved);
  EXPECT_EQ(DifferingKeys(neverSaved.job, MissingKeyJob()), Keys{});
  EXPECT_TRUE(store.saves.empty());
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

TEST(GlobalSlots, EachSlotSavesEveryFieldAsTextThenItsNameAndLoadsBack) {
  MemoryStore store;
  store.Put("Global1", "unknown", "kept");
  RecordingControls one(UnusualJob());
  RecordingMenus menus;
  SaveSlot(1, store, one, menus);

  EXPECT_EQ(store.saves, Places("Global1", true));
  const std::string name = UnusualJob().rom + " 0-41";
  for (const auto& [key, value] : {std::pair<const char*, std::string>{"chdir", "0"},
                                   {"optrandomseq", "1"},
                                   {"optall", "False"},
                                   {"optnth", "True"},
                                   {"path", "  D:\\games\\ "},
                                   {"start", ""},
                                   {"Name", name},
                                   {"unknown", "kept"}})
    EXPECT_EQ(store.Get("Global1", key), value) << key;
  EXPECT_EQ(store.Get("Global1", "create"), std::nullopt);

  engine::JobSettings zelda = engine::FirstRunDefaults();
  zelda.rom = "zelda.nes";
  zelda.start = "'";
  RecordingControls ten(zelda);
  RecordingMenus after;
  SaveSlot(10, store, ten, after);
  EXPECT_EQ(after.captions, Captions({{1, name}, {10, "zelda.nes '-2010"}}));
  EXPECT_TRUE(one.writes.empty() && ten.writes.empty());

  RecordingControls loaded(engine::FirstRunDefaults());
  LoadSlot(1, store, loaded);
  EXPECT_EQ(DifferingKeys(loaded.job, one.job), Keys{});
  LoadSlot(10, store, loaded);
  EXPECT_EQ(DifferingKeys(loaded.job, zelda), Keys{});

  EXPECT_EQ(SaveDefaults(store, ten), std::nullopt);
  EXPECT_EQ(store.Get("Defaults", "rom"), "zelda.nes");
  EXPECT_EQ(store.Get("Defaults", "Name"), "Defaults");
  EXPECT_EQ(store.syncs, 3);  // each save is kept at once
}

// A store that cannot keep a save: the menus show the slots as the store
// holds them, not the failed save, and the failure comes back for the message.
TEST(GlobalSlots, AStoreThatCannotKeepASaveSaysWhereAndWhyAndTheMenusShowWhatItHolds) {
  MemoryStore store;
  store.Put("Global4", "Name", "zelda.nes 0-FF");
  store.Put("Defaults", "rom", "kept.nes");
  const StoreFailure failure{"/home/ann/.config/Rom Glitchforge 6.conf", "the file is read-only (Permission denied)"};
  store.failure = failure;
  RecordingControls window(engine::FirstRunDefaults());
  for (int slot : {4, 5}) {
    RecordingMenus menus;
    EXPECT_EQ(SaveSlot(slot, store, window, menus), failure);
    EXPECT_EQ(menus.captions, Captions({{4, "zelda.nes 0-FF"}})) << slot;
  }
  EXPECT_EQ(SaveDefaults(store, window), failure);
  EXPECT_EQ(Section(store, "Global4"), (std::map<std::string, std::string>{{"Name", "zelda.nes 0-FF"}}));
  EXPECT_EQ(Section(store, "Global5"), (std::map<std::string, std::string>{}));
  EXPECT_EQ(store.Get("Defaults", "rom"), "kept.nes");
  EXPECT_EQ(PresetNotKeptMessage(4, failure),
            "Preset 4 was NOT kept!\r\nThe settings file \"/home/ann/.config/Rom Glitchforge 6.conf\" cannot be "
            "written: the file is read-only (Permission denied).");
  EXPECT_EQ(OptionsNotKeptMessage(failure),
            "The options in use were NOT kept!\r\nThe settings file \"/home/ann/.config/Rom Glitchforge 6.conf\" "
            "cannot be written: the file is read-only (Permission denied).");
}

}  // namespace
}  // namespace settings
