#include "settings/registry.h"

#include "settings/section_reader.h"

namespace settings {

void Start(SettingsStore& store, FieldControls& controls, GlobalMenus& menus) {
  LoadSection(kDefaultsSection, DefaultColumn::FirstRun, store, controls);
  UpdateGlobalMenus(store, menus);
}

void SaveDefaults(SettingsStore& store, FieldControls& controls) {
  SaveReg(kDefaultsSection, kDefaultsSection, store, controls);
}

}  // namespace settings
