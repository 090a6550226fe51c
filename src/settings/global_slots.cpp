#include "engine/failure.h"
#include "engine/number.h"
#include "settings/registry.h"

namespace settings {
namespace {

int FieldOf(std::string_view key) { return engine::FieldIndex(key).value(); }

std::string TextOf(FieldControls& controls, std::string_view key) {
  const engine::FieldValue value = controls.ReadField(FieldOf(key));
  return engine::StoredText(value);
}

std::string HexOrTyped(std::string_view text) {
  try {
    return engine::HexForm(engine::Val2(text));
  } catch (const engine::HostFailure&) {
    return std::string(text);
  }
}

}  // namespace

std::string SlotName(std::string_view rom, std::string_view startText, std::string_view endText) {
  std::string name(rom);
  name += ' ';
  name += HexOrTyped(startText);
  name += '-';
  name += HexOrTyped(endText);
  return name;
}

std::optional<StoreFailure> SaveSlot(int slot, SettingsStore& store, FieldControls& controls,
                                     GlobalMenus& menus) {
  const std::string name =
      SlotName(TextOf(controls, "rom"), TextOf(controls, "start"), TextOf(controls, "end"));
  SaveReg(SlotSection(slot), name, store, controls);
  std::optional<StoreFailure> failure = store.Sync();
  UpdateGlobalMenus(store, menus);
  return failure;
}

std::string PresetNotKeptMessage(int slot, const StoreFailure& failure) {
  return "Preset " + std::to_string(slot) + " was NOT kept!\r\nThe settings file \"" +
         failure.file + "\" cannot be written: " + failure.reason + ".";
}

void LoadSlot(int slot, SettingsStore& store, FieldControls& controls) {
  LoadReg(SlotSection(slot), store, controls);
}

void UpdateGlobalMenus(SettingsStore& store, GlobalMenus& menus) {
  for (int slot = 0; slot < kSlotCount; ++slot) {
    const std::string name = store.Read(SlotSection(slot), kNameKey).value_or("");
    std::string caption = "&";
    caption += std::to_string(slot);
    caption += ": ";
    caption += name;
    menus.SetSlotCaption(slot, caption);
  }
}

}  // namespace settings
