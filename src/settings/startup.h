#pragma once

#include <optional>
#include <string>

#include "settings/field_controls.h"
#include "settings/global_slots.h"
#include "settings/settings_store.h"

namespace settings {

// Fills the window from "Defaults" (a missing key takes its first-run
// default), then captions the Global menus. Writes nothing to the store.
void Start(SettingsStore& store, FieldControls& controls, GlobalMenus& menus);

// Saves the window into "Defaults" under the name "Defaults" and keeps it;
// returns why it could not be kept.
std::optional<StoreFailure> SaveDefaults(SettingsStore& store, FieldControls& controls);

// The message box for a store that cannot keep the options in use at the close.
std::string OptionsNotKeptMessage(const StoreFailure& failure);

}  // namespace settings
