#pragma once

#include <QString>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "settings/settings_store.h"

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
  // as its text where it has one, else as missing. A hand-written list
  // (`a,b` unquoted in an INI file) reads exactly as written.
  std::optional<std::string> Read(std::string_view section, std::string_view key) override;
  // Held until Sync.
  void Save(std::string_view section, std::string_view key, std::string_view value) override;
  // Writes the saves to disk. A file whose format Qt found faulty but could
  // rewrite counts as kept; only a write that did not happen is a failure.
  std::optional<settings::StoreFailure> Sync() override;

  // The settings file's full name (on Windows the registry key).
  std::string FileName() const;

 private:
  explicit QtSettingsStore(std::function<std::unique_ptr<QSettings>()> open, bool iniFile,
                           bool fileBacked);
  bool CleanStatus();
  void KeepHandWrittenLists();
  settings::StoreFailure Failure() const;

  std::function<std::unique_ptr<QSettings>()> open_;
  std::unique_ptr<QSettings> settings_;
  bool iniFile_;     // an INI file, whose unquoted commas make lists
  bool fileBacked_;  // a file at all (not the registry)
  std::vector<std::pair<QString, QString>> pending_;  // (key path, text) in the order saved
};

}  // namespace platform
