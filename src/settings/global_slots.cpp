#include "settings/global_slots.h"

#include "engine/failure.h"
#include "engine/number.h"
#include "settings/registry.h"

namespace settings {
namespace {

std::string TextOf(FieldControls& controls, engine::Field field) {
  return engine::StoredText(controls.ReadField(field));
}

std::string HexOrTyped(std::string_view text) {
  try {
    return engine::HexForm(engine::Val2(text));
  } catch (const engine::HostFailure&) {
    return std::string(text);
  }
}

}  // namespace

std::string SlotSection(int slot) { return "Global" + std::to_string(slot); }

std::string RangeName(std::string_view startText, std::string_view endText) {
  std::string name = HexOrTyped(startText);
  name += '-';
  name += HexOrTyped(endText);
  return name;
}

std::string SlotName(std::string_view rom, std::string_view startText, std::string_view endText) {
  std::string name(rom);
  name += ' ';
  name += RangeName(startText, endText);
  return name;
}

std::string SlotCaption(int slot, std::string_view name) {
  std::string caption = "&";
  caption += std::to_string(slot);
  caption += ": ";
  caption += name;
  return caption;
}

std::optional<StoreFailure> SaveSlot(int slot, SettingsStore& store, FieldControls& controls,
                                     GlobalMenus& menus) {
  using engine::Field;
  const std::string name = SlotName(TextOf(controls, Field::rom), TextOf(controls, Field::start),
                                    TextOf(controls, Field::end));
  SaveReg(SlotSection(slot), name, store, controls);
  std::optional<StoreFailure> failure = store.Sync();
  UpdateGlobalMenus(store, menus);
  return failure;
}

std::string PresetNotKeptMessage(int slot, const StoreFailure& failure) {
  return NotKeptMessage("Preset " + std::to_string(slot) + " was", failure);
}

void LoadSlot(int slot, SettingsStore& store, FieldControls& controls) {
  LoadReg(SlotSection(slot), store, controls);
}

void UpdateGlobalMenus(SettingsStore& store, GlobalMenus& menus) {
  for (int slot = 0; slot < kSlotCount; ++slot) {
    const std::string name = store.Read(SlotSection(slot), kNameKey).value_or("");
    menus.SetSlotCaption(slot, SlotCaption(slot, name));
  }
}

}  // namespace settings
