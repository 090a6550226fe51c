#include "settings/registry.h"

#include <gtest/gtest.h>

#include "support/memory_store.h"

namespace settings {
namespace {

// The stored keys in store order: the files kept by every earlier version rely on it.
const std::string kKeys =
    "chdir path emu rom autocreate start end inc optall optnth nth optmask mask optrandomseq range1 range2 sequence "
    "shift add optshift optcorrupt optadd optrandombytes optbyterange optsequence optoverwrite";

std::string Joined(const std::vector<std::string>& items) {
  std::string all;
  for (const std::string& item : items) all += (all.empty() ? "" : " ") + item;
  return all;
}

// `pattern` for each key of kKeys in turn, every "%" replaced by the key.
std::string EachKey(const std::string& pattern) {
  std::vector<std::string> all;
  for (std::size_t at = 0, end = 0; end != std::string::npos; at = end + 1) {
    end = kKeys.find(' ', at);
    all.push_back(pattern);
    for (std::size_t p; (p = all.back().find('%')) != std::string::npos;)
      all.back().replace(p, 1, kKeys.substr(at, end - at));
  }
  return Joined(all);
}

// The caption log of slots 0 to 10, with the names given for some.
std::string Captions(std::map<int, std::string> names) {
  std::vector<std::string> captions;
  for (int slot = 0; slot < 11; ++slot)
    captions.push_back(std::to_string(slot) + "=&" + std::to_string(slot) + ": " + names[slot]);
  return Joined(captions);
}

// Each key is read, then written into its control before the next is read; a missing key or a
// refused value takes the missing-key default; "Name" is never read.
TEST(LoadSlot, ReadsAndWritesEachKeyInStoreOrderTakingTheMissingKeyDefaultForWhatItRefuses) {
  const char* const cases[][3] = {// key, stored, loaded
                                  {"chdir", "0", "0"},          {"autocreate", "2", "1"},
                                  {"optoverwrite", " 0 ", "0"}, {"optrandomseq", "yes", "0"},
                                  {"optall", "junk", "True"},   {"optmask", "1E", "False"},
                                  {"optadd", "1E0", "True"},    {"optnth", "tRUE", "True"},
                                  {"optcorrupt", "0", "False"}, {"path", "", ""},
                                  {"emu", " a b ", " a b "}};
  MemoryStore store;
  for (const auto& c : cases) store.Put(std::string("Global10/") + c[0], c[1]);
  RecordingWindow window(UnusualJob());
  window.log = &store.reads;
  LoadSlot(10, store, window);
  EXPECT_EQ(Joined(store.reads), EachKey("Global10/% =%"));
  for (int i = 0; i < engine::kFieldCount; ++i) {
    const engine::FieldSpec& field = engine::kFields[std::size_t(i)];
    std::string loaded = engine::StoredText(engine::ConvertStored(field, field.missingKeyDefault));
    for (const auto& c : cases)
      if (field.key == c[0]) loaded = c[2];
    EXPECT_EQ(engine::StoredText(window.ReadField(i)), loaded) << field.key;
  }
  EXPECT_EQ(store.saves.size() + store.syncs, 0u);
}

TEST(SlotName, ShowsTheRomAndTheRangeInHexOrAsTyped) {
  const char* const cases[][4] = {{"mario.nes", "$1010", "$2010", "mario.nes 1010-2010"},
                                  {"a b.nes", "4096", "&H7FFFFFFF", "a b.nes 1000-7FFFFFFF"},
                                  {"", "", "$0000", " 0-0"},
                                  {"a.nes", "'", "99999999999", "a.nes '-99999999999"}};
  for (const auto& c : cases) EXPECT_EQ(SlotName(c[0], c[1], c[2]), c[3]);
}

// A slot keeps every field as text in store order, then its name, beside keys it does not know; the
// menus are captioned from the store.
TEST(GlobalSlots, SaveEachFieldAsTextThenTheNameCaptionEverySlotAndLoadBack) {
  MemoryStore store;
  store.Put("Global1/unknown", "kept");
  RecordingWindow unusual(UnusualJob()), zelda(engine::FirstRunDefaults());
  zelda.job.rom = "zelda.nes";
  EXPECT_EQ(SaveSlot(1, store, unusual, unusual), std::nullopt);
  EXPECT_EQ(Joined(store.saves), EachKey("Global1/%") + " Global1/Name");
  std::string some;
  for (std::string key : {"Name", "chdir", "optall", "optmask", "start", "unknown"})
    some += key + "=" + store.kept["Global1/" + key] + " ";
  EXPECT_EQ(some, "Name=Z\xC3\xBCrich [!].nes 0-41 chdir=0 optall=False optmask=True start= unknown=kept ");
  EXPECT_EQ(SaveSlot(10, store, zelda, zelda), std::nullopt);
  EXPECT_EQ(Joined(zelda.captions), Captions({{1, "Z\xC3\xBCrich [!].nes 0-41"}, {10, "zelda.nes 1010-2010"}}));
  RecordingWindow loaded;
  LoadSlot(1, store, loaded);
  EXPECT_EQ(DifferingKeys(loaded.job, UnusualJob()), "");
  store.Put("Defaults/rom", "kept.nes");
  EXPECT_EQ(SaveDefaults(store, unusual), std::nullopt);
  EXPECT_EQ(store.kept.at("Defaults/Name") + " " + store.kept.at("Defaults/rom"), "Defaults Z\xC3\xBCrich [!].nes");
  EXPECT_EQ(store.syncs, 3);
}

// A store that cannot keep a save: the menus show the slots as the store holds them, and the
// failure comes back for the message.
TEST(GlobalSlots, AStoreThatCannotKeepASaveSaysWhereAndWhyAndTheMenusShowWhatItHolds) {
  MemoryStore store;
  store.Put("Global4/Name", "zelda.nes 0-FF");
  store.Put("Defaults/rom", "kept.nes");
  const StoreFailure failure{"/home/ann/.config/Rom Glitchforge 6.conf", "the file is read-only (Permission denied)"};
  store.failure = failure;
  for (int slot : {4, 5}) {
    RecordingWindow window(engine::FirstRunDefaults());
    EXPECT_EQ(SaveSlot(slot, store, window, window), failure);
    EXPECT_EQ(Joined(window.captions), Captions({{4, "zelda.nes 0-FF"}})) << slot;
    EXPECT_EQ(SaveDefaults(store, window), failure);
  }
  EXPECT_EQ(store.Section("Global4") + " " + store.Section("Global5") + "|" + store.Section("Defaults"),
            "Name=zelda.nes 0-FF |rom=kept.nes");
  EXPECT_EQ(PresetNotKeptMessage(4, failure),
            "Preset 4 was NOT kept!\r\nThe settings file \"/home/ann/.config/Rom Glitchforge 6.conf\" cannot be "
            "written: the file is read-only (Permission denied).");
  EXPECT_EQ(OptionsNotKeptMessage(failure),
            "The options in use were NOT kept!\r\nThe settings file \"/home/ann/.config/Rom Glitchforge 6.conf\" "
            "cannot be written: the file is read-only (Permission denied).");
}

}  // namespace
}  // namespace settings
