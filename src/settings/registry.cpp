#include "settings/registry.h"

#include "settings/section_reader.h"

namespace settings {

std::string SlotSection(int slot) { return "Global" + std::to_string(slot); }

void LoadReg(std::string_view section, SettingsStore& store, FieldControls& controls) {
  LoadSection(section, DefaultColumn::MissingKey, store, controls);
}

void SaveReg(std::string_view section, std::string_view name, SettingsStore& store,
             FieldControls& controls) {
  for (int i = 0; i < engine::kFieldCount; ++i) {
    const engine::FieldSpec& field = engine::kFields[static_cast<std::size_t>(i)];
    store.Save(section, field.key, engine::StoredText(controls.ReadField(i)));
  }
  store.Save(section, kNameKey, name);
}

}  // namespace settings
