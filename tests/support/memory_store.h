#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "settings/registry.h"

namespace settings {

// A settings store in memory that records every read and save in order.
class MemoryStore : public SettingsStore {
 public:
  std::optional<std::string> Read(std::string_view section, std::string_view key) override {
    reads.emplace_back(section, key);
    return Get(std::string(section), std::string(key));
  }
  void Save(std::string_view section, std::string_view key, std::string_view value) override {
    saves.push_back({std::string(section), std::string(key), std::string(value)});
    Put(saves.back().section, saves.back().key, saves.back().value);
  }
  void Put(const std::string& section, const std::string& key, const std::string& value) {
    values[{section, key}] = value;
  }
  std::optional<std::string> Get(const std::string& section, const std::string& key) const {
    auto it = values.find({section, key});
    return it == values.end() ? std::nullopt : std::optional<std::string>(it->second);
  }

  struct SaveRecord {
    std::string section, key, value;
  };
  std::map<std::pair<std::string, std::string>, std::string> values;
  std::vector<std::pair<std::string, std::string>> reads;
  std::vector<SaveRecord> saves;
};

}  // namespace settings
