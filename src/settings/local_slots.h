#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "settings/field_controls.h"
#include "settings/settings_store.h"

// The Local slots 0 to 10 of one ROM: each keeps a whole job, as a Global
// slot does, and the name of a file in the user's data folder that keeps the
// glitch itself (a BPS patch from the ROM to the output as it was saved).
namespace settings {

// "Local<slot> <rom key>", e.g. "Local3 mario.nes"; the key is the ROM's file
// name as automode::LocalSlotKey gives it.
std::string LocalSection(int slot, std::string_view romKey);

// The Save Local and Load Local submenus, entries 0 to 10.
class LocalMenus {
 public:
  virtual ~LocalMenus() = default;
  // Captions mnuSL(slot) and mnuLL(slot); a slot not `kept` is greyed in Load.
  virtual void SetLocalCaption(int slot, const std::string& caption, bool kept) = 0;
};

// "&<slot>: <range>" for each slot kept for this ROM, "&<slot>" alone for the others.
void UpdateLocalMenus(SettingsStore& store, std::string_view romKey, LocalMenus& menus);

// The glitch file a kept slot names; nothing for a slot never kept.
std::optional<std::string> LocalGlitch(int slot, std::string_view romKey, SettingsStore& store);

// A name for a new glitch file of this slot, unlike the one it names now.
std::string NewGlitchFileName(int slot, std::string_view romKey, SettingsStore& store);

// Saves the window into the slot, named by its range, with the glitch file's
// name, and keeps it; returns why it could not be kept.
std::optional<StoreFailure> SaveLocalSlot(int slot, std::string_view romKey,
                                          std::string_view glitchFile, SettingsStore& store,
                                          FieldControls& controls);

// Loads the slot's job into the window.
void LoadLocalSlot(int slot, std::string_view romKey, SettingsStore& store,
                   FieldControls& controls);

// The message box for a Local preset that was not kept: the reason follows.
std::string LocalNotKeptMessage(int slot, const std::string& reason);

}  // namespace settings
