#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "settings/field_controls.h"
#include "settings/global_slots.h"
#include "settings/settings_store.h"

namespace settings {

// The options in use that belong to no job: kept in "Defaults", each under a
// key of its own, and carried by no preset.
struct WindowOptions {
  bool closeEmulator = false;  // File > Close Previous Emulator, "1" or "0"
};
inline constexpr std::string_view kCloseEmulatorKey = "CloseEmulator";

// Fills the window from "Defaults" (a missing key takes its first-run
// default), then captions the Global menus. Writes nothing to the store.
// The window options are unchecked unless stored as "1".
void Start(SettingsStore& store, FieldControls& controls, GlobalMenus& menus,
           WindowOptions& options);

// Saves the window and its options into "Defaults" under the name "Defaults"
// and keeps them; returns why they could not be kept.
std::optional<StoreFailure> SaveDefaults(SettingsStore& store, FieldControls& controls,
                                         const WindowOptions& options);

// The message box for a store that cannot keep the options in use at the close.
std::string OptionsNotKeptMessage(const StoreFailure& failure);

}  // namespace settings
