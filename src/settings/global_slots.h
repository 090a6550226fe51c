#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "settings/field_controls.h"
#include "settings/settings_store.h"

namespace settings {

inline constexpr int kSlotCount = 11;

// "Global0" to "Global10".
std::string SlotSection(int slot);

// The Save Global and Load Global submenus, entries 0 to 10.
class GlobalMenus {
 public:
  virtual ~GlobalMenus() = default;
  // Captions mnuSG(slot), then mnuLG(slot).
  virtual void SetSlotCaption(int slot, const std::string& caption) = 0;
};

// Hex of start + "-" + hex of end, e.g. "1010-2010". A number Val2 cannot
// read appears as typed, so that the save still happens.
std::string RangeName(std::string_view startText, std::string_view endText);

// rom + " " + the range name, e.g. "mario.nes 1010-2010".
std::string SlotName(std::string_view rom, std::string_view startText, std::string_view endText);

// The menu caption of a slot: "&<slot>: <name>".
std::string SlotCaption(int slot, std::string_view name);

// Saves the window into slot `slot`, named after its ROM and range, keeps it,
// then recaptions the menus from what the store holds; returns why the slot
// could not be kept (the menus then show the slot as it was).
std::optional<StoreFailure> SaveSlot(int slot, SettingsStore& store, FieldControls& controls,
                                     GlobalMenus& menus);

// Loads slot `slot` into the window; a never-saved slot gives the missing-key defaults.
void LoadSlot(int slot, SettingsStore& store, FieldControls& controls);

// Captions every entry "&<slot>: <stored name>", slots 0 to 10 in order.
void UpdateGlobalMenus(SettingsStore& store, GlobalMenus& menus);

// The message box for a store that cannot keep a preset.
std::string PresetNotKeptMessage(int slot, const StoreFailure& failure);

}  // namespace settings
