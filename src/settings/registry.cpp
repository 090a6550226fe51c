#include "settings/registry.h"

#include "settings/section_reader.h"

namespace settings {

void LoadReg(std::string_view section, SettingsStore& store, FieldControls& controls) {
  LoadSection(section, DefaultColumn::MissingKey, store, controls);
}

void SaveReg(std::string_view section, std::string_view name, SettingsStore& store,
             FieldControls& controls) {
  for (const engine::FieldRow& row : engine::kFields)
    store.Save(section, row.key, engine::StoredText(controls.ReadField(row.field)));
  store.Save(section, kNameKey, name);
}

}  // namespace settings
