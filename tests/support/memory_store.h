#pragma once

#include <map>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "engine/job_settings.h"
#include "settings/registry.h"

namespace settings {

inline void PrintTo(const StoreFailure& failure, std::ostream* out) { *out << failure.file << " | " << failure.reason; }

// A store in memory that logs every read and save as "section/key". Sync keeps the saves, or, while
// `failure` is set, drops them and reports it.
class MemoryStore : public SettingsStore {
 public:
  std::optional<std::string> Read(std::string_view section, std::string_view key) override {
    reads.push_back(std::string(section) + "/" + std::string(key));
    const auto it = values.find(reads.back());
    return it == values.end() ? std::nullopt : std::optional(it->second);
  }
  void Save(std::string_view section, std::string_view key, std::string_view value) override {
    saves.push_back(std::string(section) + "/" + std::string(key));
    values[saves.back()] = value;
  }
  std::optional<StoreFailure> Sync() override {
    ++syncs;
    (failure ? values : kept) = std::map(failure ? kept : values);
    return failure;
  }
  // A hand edit of the kept store.
  void Put(const std::string& place, const std::string& value) { kept[place] = values[place] = value; }
  // "key=value ..." of one section.
  std::string Section(const std::string& name) const {
    std::string all;
    for (const auto& [place, value] : values)
      if (place.starts_with(name + "/")) all += (all.empty() ? "" : " ") + place.substr(name.size() + 1) + "=" + value;
    return all;
  }

  std::map<std::string, std::string> values, kept;
  std::vector<std::string> reads, saves;
  std::optional<StoreFailure> failure;
  int syncs = 0;
};

// The window's fields as a JobSettings, writes logged as "=key"; captions as "slot=caption".
class RecordingWindow : public FieldControls, public GlobalMenus {
 public:
  explicit RecordingWindow(engine::JobSettings initial = {}) : job(std::move(initial)) {}
  engine::FieldValue ReadField(int index) override { return engine::GetField(job, index); }
  void WriteField(int index, const engine::FieldValue& value) override {
    if (log) log->push_back("=" + std::string(engine::kFields.at(std::size_t(index)).key));
    engine::SetField(job, index, value);
  }
  void SetSlotCaption(int slot, const std::string& caption) override {
    captions.push_back(std::to_string(slot) + "=" + caption);
  }

  engine::JobSettings job;
  std::vector<std::string>* log = nullptr;  // gets "=key" for each write
  std::vector<std::string> captions;
};

// The keys of the stored fields on which two jobs differ.
inline std::string DifferingKeys(const engine::JobSettings& a, const engine::JobSettings& b) {
  std::string keys;
  for (int i = 0; i < engine::kFieldCount; ++i)
    if (engine::GetField(a, i) != engine::GetField(b, i))
      keys += std::string(engine::kFields[std::size_t(i)].key) + " ";
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
    engine::SetField(job, int(i),
                     engine::ConvertStored(engine::kFields[i], texts.substr(at, texts.find('|', at) - at)));
  job.create = "not stored";
  return job;
}

}  // namespace settings
