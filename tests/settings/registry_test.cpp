#include "settings/registry.h"

#include <gtest/gtest.h>

#include <string>

#include "settings/global_slots.h"
#include "support/memory_store.h"

namespace settings {
namespace {

// The fields as a JobSettings; each write is logged as "=key " after the reads of the store.
struct RecordingWindow : FieldControls, GlobalMenus {
  RecordingWindow(engine::JobSettings initial, std::string& log) : job(std::move(initial)), log(log) {}
  engine::FieldValue ReadField(engine::Field field) override { return engine::GetField(job, field); }
  void WriteField(engine::Field field, const engine::FieldValue& value) override {
    log.append("=").append(engine::RowOf(field).key).append(" ");
    engine::SetField(job, field, value);
  }
  void SetSlotCaption(int, const std::string&) override {}

  engine::JobSettings job;
  std::string& log;
};

// The stored keys in store order, which the files of every earlier version rely on.
const char* const kStoreOrder[] = {"chdir",  "path",           "emu",          "rom",         "autocreate",  "start",    "end",
                                   "inc",    "optall",         "optnth",       "nth",         "optmask",     "mask",     "optrandomseq",
                                   "range1", "range2",         "sequence",     "shift",       "add",         "optshift", "optcorrupt",
                                   "optadd", "optrandombytes", "optbyterange", "optsequence", "optoverwrite"};

// "section/key " for each stored key in store order, each followed by "=key " when `written`.
std::string EachKey(const std::string& section, bool written = false) {
  std::string all;
  for (const std::string key : kStoreOrder) all += section + "/" + key + " " + (written ? "=" + key + " " : "");
  return all;
}

// A slot keeps every field as text in store order, then its name, then syncs. A load writes each key into its
// control before it reads the next and never reads "Name"; a missing key or a refused value takes the
// missing-key default.
TEST(GlobalSlots, SaveEachFieldAsTextThenTheNameAndLoadBackInStoreOrder) {
  MemoryStore store;
  RecordingWindow unusual(UnusualJob(), store.reads);
  EXPECT_EQ(SaveSlot(1, store, unusual, unusual), std::nullopt);
  EXPECT_EQ(store.saves, EachKey("Global1") + "Global1/Name sync ");
  EXPECT_EQ(store.values["Global1/Name"], "Z\xC3\xBCrich [!].nes 0-41");
  store.values.erase("Global1/add");             // "quoted" before
  store.values["Global1/optrandomseq"] = "yes";  // 0 before, 1 at the first run
  store.reads.clear();
  RecordingWindow loaded(engine::FirstRunDefaults(), store.reads);
  LoadSlot(1, store, loaded);
  EXPECT_EQ(store.reads, EachKey("Global1", true));
  EXPECT_EQ(DifferingKeys(loaded.job, UnusualJob()), "add ");
  EXPECT_EQ(loaded.job.add, "0");
  // A slot never saved loads the missing-key default of every field, in store order.
  MemoryStore empty;
  RecordingWindow never(UnusualJob(), empty.reads);
  LoadSlot(2, empty, never);
  std::string all;
  for (const engine::FieldRow& row : engine::kFields)
    all.append(row.key).append("=").append(engine::StoredText(never.ReadField(row.field))).append(" ");
  EXPECT_EQ(all,
            "chdir=1 path=C:\\ emu= rom= autocreate=1 start=$0000 end=$0000 inc=$1000 optall=True optnth=False nth=1 "
            "optmask=False mask=%00001101 optrandomseq=0 range1=$00 range2=$FF sequence= shift=1 add=0 optshift=False "
            "optcorrupt=True optadd=False optrandombytes=True optbyterange=False optsequence=False optoverwrite=1 ");
  // The name shows the range in hex, or as typed where it is no number.
  EXPECT_EQ(SlotName("a b.nes", "4096", "&H7FFFFFFF"), "a b.nes 1000-7FFFFFFF");
  EXPECT_EQ(SlotName("", "'", "99999999999"), " '-99999999999");
}

}  // namespace
}  // namespace settings
