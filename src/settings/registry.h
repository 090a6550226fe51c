#pragma once

#include <string_view>

#include "settings/field_controls.h"
#include "settings/settings_store.h"

namespace settings {

inline constexpr std::string_view kDefaultsSection = "Defaults";
inline constexpr std::string_view kNameKey = "Name";

// Writes every stored field from `section` into the controls, in store order;
// a missing key or a value its field does not accept takes the missing-key
// default. "Name" is not read.
void LoadReg(std::string_view section, SettingsStore& store, FieldControls& controls);

// Saves every stored field from the controls into `section`, in store order,
// then `name` under "Name". Nothing is removed from the section.
void SaveReg(std::string_view section, std::string_view name, SettingsStore& store,
             FieldControls& controls);

}  // namespace settings
