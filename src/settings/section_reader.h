#pragma once

#include <string_view>

#include "settings/field_controls.h"
#include "settings/settings_store.h"

namespace settings {

// Which default a key missing from the section takes.
enum class DefaultColumn { FirstRun, MissingKey };

// Reads the 26 fields of `section` in store order and writes each into its
// control before reading the next. A stored value that its field does not
// accept always takes the missing-key default.
void LoadSection(std::string_view section, DefaultColumn missing, SettingsStore& store,
                 FieldControls& controls);

}  // namespace settings
