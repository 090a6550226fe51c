#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "engine/job_settings.h"

namespace settings {

inline constexpr std::string_view kAppName = "Rom Glitchforge 6";
inline constexpr std::string_view kDefaultsSection = "Defaults";
inline constexpr std::string_view kNameKey = "Name";
inline constexpr int kSlotCount = 11;

// "Global0" to "Global10".
std::string SlotSection(int slot);

// Why the store could not keep what was saved.
struct StoreFailure {
  std::string file;    // where the store keeps its data: the settings file's full name
  std::string reason;  // e.g. "the file is read-only (Operation not permitted)"
  bool operator==(const StoreFailure&) const = default;
};

// The per-user store of texts, by section and key, of the application kAppName.
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

// The window's controls, one per field of engine::kFields (by index).
class FieldControls {
 public:
  virtual ~FieldControls() = default;
  virtual engine::FieldValue ReadField(int index) = 0;
  // Writes the control at once, so that its reactions run before the next write.
  virtual void WriteField(int index, const engine::FieldValue& value) = 0;
};

// The Save Global and Load Global submenus, entries 0 to 10.
class GlobalMenus {
 public:
  virtual ~GlobalMenus() = default;
  // Captions mnuSG(slot), then mnuLG(slot).
  virtual void SetSlotCaption(int slot, const std::string& caption) = 0;
};

// Writes every stored field from `section` into the controls, in store order;
// a missing key or a value its field does not accept takes the missing-key
// default. "Name" is not read.
void LoadReg(std::string_view section, SettingsStore& store, FieldControls& controls);

// Saves every stored field from the controls into `section`, in store order,
// then `name` under "Name". Nothing is removed from the section.
void SaveReg(std::string_view section, std::string_view name, SettingsStore& store,
             FieldControls& controls);

// Fills the window from "Defaults" (a missing key takes its first-run
// default), then captions the Global menus. Writes nothing to the store.
void Start(SettingsStore& store, FieldControls& controls, GlobalMenus& menus);

// Saves the window into "Defaults" under the name "Defaults" and keeps it;
// returns why it could not be kept.
std::optional<StoreFailure> SaveDefaults(SettingsStore& store, FieldControls& controls);

// rom + " " + hex of start + "-" + hex of end, e.g. "mario.nes 1010-2010".
// A number Val2 cannot read appears as typed, so that the save still happens.
std::string SlotName(std::string_view rom, std::string_view startText, std::string_view endText);

// Saves the window into slot `slot`, named after its ROM and range, keeps it,
// then recaptions the menus from what the store holds; returns why the slot
// could not be kept (the menus then show the slot as it was).
std::optional<StoreFailure> SaveSlot(int slot, SettingsStore& store, FieldControls& controls,
                                     GlobalMenus& menus);

// Loads slot `slot` into the window; a never-saved slot gives the missing-key defaults.
void LoadSlot(int slot, SettingsStore& store, FieldControls& controls);

// Captions every entry "&<slot>: <stored name>", slots 0 to 10 in order.
void UpdateGlobalMenus(SettingsStore& store, GlobalMenus& menus);

// The message boxes for a store that cannot keep a preset or, at the close,
// the options in use.
std::string PresetNotKeptMessage(int slot, const StoreFailure& failure);
std::string OptionsNotKeptMessage(const StoreFailure& failure);

}  // namespace settings
