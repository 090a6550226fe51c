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
  for (const engine::FieldSpec& spec : engine::kFields)
    if (engine::GetField(a, spec.field) != engine::GetField(b, spec.field)) keys += std::string(spec.key) + " ";
  return keys;
}

// A job the window can hold (one option per group) whose texts and checks differ from both default
// columns and whose texts are awkward for a store.
inline engine::JobSettings UnusualJob() {
  const std::string texts =
      "0|  /games/my roms/ |fceux \"%1\" --fullscreen=1; rm -rf|Z\xC3\xBCrich [!].nes|0||'A|%1000|False|False|=3|True|"
      "[Defaults]|0|#comment|a=b\\nc|1,2,3|\t-2|\"quoted\"|False|False|True|False|True|False|0|";
  engine::JobSettings job;
  for (std::size_t i = 0, at = 0; i < engine::kFields.size(); at = texts.find('|', at) + 1, ++i)
    engine::SetField(job, engine::kFields[i].field,
                     engine::ConvertStored(engine::kFields[i], texts.substr(at, texts.find('|', at) - at)));
  job.create = "not stored";
  return job;
}

}  // namespace settings
