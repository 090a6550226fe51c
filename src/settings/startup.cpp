#include "settings/startup.h"

#include "settings/registry.h"
#include "settings/section_reader.h"

namespace settings {

void Start(SettingsStore& store, FieldControls& controls, GlobalMenus& menus,
           WindowOptions& options) {
  LoadSection(kDefaultsSection, DefaultColumn::FirstRun, store, controls);
  options.closeEmulator = store.Read(kDefaultsSection, kCloseEmulatorKey) == "1";
  UpdateGlobalMenus(store, menus);
}

std::optional<StoreFailure> SaveDefaults(SettingsStore& store, FieldControls& controls,
                                         const WindowOptions& options) {
  SaveReg(kDefaultsSection, kDefaultsSection, store, controls);
  store.Save(kDefaultsSection, kCloseEmulatorKey, options.closeEmulator ? "1" : "0");
  return store.Sync();
}

std::string OptionsNotKeptMessage(const StoreFailure& failure) {
  return NotKeptMessage("The options in use were", failure);
}

}  // namespace settings
