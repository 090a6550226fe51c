#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "settings/registry.h"

class QSettings;

namespace platform {

// The settings store over QSettings. By default the user's native store of
// the organization "Rom Glitchforge 6" (on Linux the INI file
// $XDG_CONFIG_HOME/Rom Glitchforge 6.conf, one group per section).
class QtSettingsStore : public settings::SettingsStore {
 public:
  QtSettingsStore();
  // An INI file at `iniPath` instead of the user's store.
  explicit QtSettingsStore(const std::string& iniPath);
  ~QtSettingsStore() override;
  QtSettingsStore(const QtSettingsStore&) = delete;
  QtSettingsStore& operator=(const QtSettingsStore&) = delete;

  // A value that a hand edit turned into something other than text is read
  // as its text where it has one (a list as its items joined by ", "), else as missing.
  std::optional<std::string> Read(std::string_view section, std::string_view key) override;
  void Save(std::string_view section, std::string_view key, std::string_view value) override;

  // Writes pending changes to disk; false when the store could not be written or read.
  bool Sync() override;

 private:
  std::unique_ptr<QSettings> settings_;
};

}  // namespace platform
