#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "settings/registry.h"

namespace settings {

// A settings store in memory that records the (section, key) of every read and save in order.
class MemoryStore : public SettingsStore {
 public:
  using Place = std::pair<std::string, std::string>;

  std::optional<std::string> Read(std::string_view section, std::string_view key) override {
    reads.emplace_back(section, key);
    return Get(std::string(section), std::string(key));
  }
  void Save(std::string_view section, std::string_view key, std::string_view value) override {
    saves.emplace_back(section, key);
    Put(saves.back().first, saves.back().second, std::string(value));
  }
  bool Sync() override { return true; }
  void Put(std::string section, std::string key, std::string value) { values[{section, key}] = std::move(value); }
  std::optional<std::string> Get(const std::string& section, const std::string& key) const {
    auto it = values.find({section, key});
    return it == values.end() ? std::nullopt : std::optional<std::string>(it->second);
  }

  std::map<Place, std::string> values;
  std::vector<Place> reads, saves;
};

}  // namespace settings
