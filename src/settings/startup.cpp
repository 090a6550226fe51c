#include "settings/startup.h"

#include "settings/registry.h"
#include "settings/section_reader.h"

namespace settings {

void Start(SettingsStore& store, FieldControls& controls, GlobalMenus& menus) {
  LoadSection(kDefaultsSection, DefaultColumn::FirstRun, store, controls);
  UpdateGlobalMenus(store, menus);
}

std::optional<StoreFailure> SaveDefaults(SettingsStore& store, FieldControls& controls) {
  SaveReg(kDefaultsSection, kDefaultsSection, store, controls);
  return store.Sync();
}

std::string OptionsNotKeptMessage(const StoreFailure& failure) {
  return NotKeptMessage("The options in use were", failure);
}

}  // namespace settings
