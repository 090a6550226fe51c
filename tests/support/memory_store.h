#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "settings/registry.h"
#include "support/settings_fakes.h"

namespace settings {

// A settings store in memory that records the (section, key) of every read and save in order.
// Sync keeps the saves, or, while `failure` is set, drops them and reports it.
class MemoryStore : public SettingsStore {
 public:
  using Place = std::pair<std::string, std::string>;

  std::optional<std::string> Read(std::string_view section, std::string_view key) override {
    reads.emplace_back(section, key);
    return Get(std::string(section), std::string(key));
  }
  void Save(std::string_view section, std::string_view key, std::string_view value) override {
    saves.emplace_back(section, key);
    values[saves.back()] = std::string(value);
  }
  std::optional<StoreFailure> Sync() override {
    ++syncs;
    if (failure)
      values = kept;
    else
      kept = values;
    return failure;
  }
  // Puts a value straight into the kept store, as a hand edit would.
  void Put(std::string section, std::string key, std::string value) {
    kept[{section, key}] = value;
    values[{section, key}] = std::move(value);
  }
  std::optional<std::string> Get(const std::string& section, const std::string& key) const {
    auto it = values.find({section, key});
    return it == values.end() ? std::nullopt : std::optional<std::string>(it->second);
  }

  std::map<Place, std::string> values, kept;
  std::vector<Place> reads, saves;
  std::optional<StoreFailure> failure;
  int syncs = 0;
};

}  // namespace settings
