#pragma once

#include <map>
#include <optional>
#include <string>

#include "engine/job_settings.h"
#include "settings/settings_store.h"

namespace settings {

// A store in memory that logs every read and save as "section/key " and every sync as "sync ".
class MemoryStore : public SettingsStore {
 public:
  std::optional<std::string> Read(std::string_view section, std::string_view key) override {
    const std::string place = std::string(section) + "/" + std::string(key);
    reads += place + " ";
    const auto it = values.find(place);
    return it == values.end() ? std::nullopt : std::optional(it->second);
  }
  void Save(std::string_view section, std::string_view key, std::string_view value) override {
    const std::string place = std::string(section) + "/" + std::string(key);
    saves += place + " ";
    values[place] = value;
  }
  std::optional<StoreFailure> Sync() override {
    saves += "sync ";
    return std::nullopt;
  }
  std::map<std::string, std::string> values;
  std::string reads, saves;
};

// The keys of the stored fields on which two jobs differ.
inline std::string DifferingKeys(const engine::JobSettings& a, const engine::JobSettings& b) {
  std::string keys;
  for (const engine::FieldRow& row : engine::kFields)
    if (engine::GetField(a, row.field) != engine::GetField(b, row.field)) keys += std::string(row.key) + " ";
  return keys;
}

// A job the window can hold (one option per group, the others false) whose texts and checks differ from both
// default columns and whose texts are awkward for a store.
inline engine::JobSettings UnusualJob() {
  using engine::kUnchecked;
  return {.chdir = kUnchecked,
          .path = "  /games/my roms/ ",
          .emu = "fceux \"%1\" --fullscreen=1; rm -rf",
          .rom = "Z\xC3\xBCrich [!].nes",
          .autocreate = kUnchecked,
          .start = "",
          .end = "'A",
          .inc = "%1000",
          .nth = "=3",
          .optmask = true,
          .mask = "[Defaults]",
          .optrandomseq = kUnchecked,
          .range1 = "#comment",
          .range2 = "a=b\\nc",
          .sequence = "1,2,3",
          .shift = "\t-2",
          .add = "\"quoted\"",
          .optadd = true,
          .optbyterange = true,
          .optoverwrite = kUnchecked,
          .create = "not stored"};
}

}  // namespace settings
