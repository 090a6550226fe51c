#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace settings {

inline constexpr std::string_view kAppName = "Rom Glitchforge 6";

// Why the store could not keep what was saved.
struct StoreFailure {
  std::string file;    // where the store keeps its data: the settings file's full name
  std::string reason;  // e.g. "the file is read-only (Operation not permitted)"
  bool operator==(const StoreFailure&) const = default;
};

// The per-user store of texts, by section and key, of the application kAppName.
// Called on the window's thread only.
class SettingsStore {
 public:
  virtual ~SettingsStore() = default;
  // The stored text; nullopt when the section or the key does not exist.
  virtual std::optional<std::string> Read(std::string_view section, std::string_view key) = 0;
  // Stores the text, creating the section and the key when missing.
  virtual void Save(std::string_view section, std::string_view key, std::string_view value) = 0;
  // Writes what was saved since the last Sync to lasting storage. nullopt when
  // it was kept. When it was not, those saves are dropped, so that reads give
  // again what the storage holds, and the failure says where and why.
  virtual std::optional<StoreFailure> Sync() = 0;
};

// The message box for something the store could not keep: `what` (e.g.
// "Preset 3"), then the file and the reason on a second line.
std::string NotKeptMessage(std::string_view what, const StoreFailure& failure);

}  // namespace settings
