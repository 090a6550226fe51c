#include "settings/local_slots.h"

#include <cstdint>
#include <cstdio>

#include "settings/global_slots.h"
#include "settings/registry.h"

namespace settings {
namespace {

constexpr std::string_view kGlitchKey = "Glitch";

// FNV-1a: a short, stable tag of the ROM key for file names, which may not
// hold every character a ROM's name can.
std::uint64_t Tag(std::string_view text) {
  std::uint64_t hash = 14695981039346656037ull;
  for (const char c : text) {
    hash ^= static_cast<unsigned char>(c);
    hash *= 1099511628211ull;
  }
  return hash;
}

std::string TextOf(FieldControls& controls, engine::Field field) {
  return engine::StoredText(controls.ReadField(field));
}

}  // namespace

std::string LocalSection(int slot, std::string_view romKey) {
  std::string section = "Local";
  section += std::to_string(slot);
  section += ' ';
  section += romKey;
  return section;
}

void UpdateLocalMenus(SettingsStore& store, std::string_view romKey, LocalMenus& menus) {
  for (int slot = 0; slot < kSlotCount; ++slot) {
    const std::string section = LocalSection(slot, romKey);
    const bool kept = store.Read(section, kGlitchKey).has_value();
    const std::optional<std::string> name = store.Read(section, kNameKey);
    std::string caption = "&";
    caption += std::to_string(slot);
    if (kept) caption = SlotCaption(slot, name.value_or(""));
    menus.SetLocalCaption(slot, caption, kept);
  }
}

std::optional<std::string> LocalGlitch(int slot, std::string_view romKey, SettingsStore& store) {
  return store.Read(LocalSection(slot, romKey), kGlitchKey);
}

std::string NewGlitchFileName(int slot, std::string_view romKey, SettingsStore& store) {
  const std::optional<std::string> now = LocalGlitch(slot, romKey, store);
  for (int generation = 0;; ++generation) {
    char name[64];
    std::snprintf(name, sizeof name, "%016llx-%d-%d.bps",
                  static_cast<unsigned long long>(Tag(romKey)), slot, generation);
    if (!now || *now != name) return name;
  }
}

std::optional<StoreFailure> SaveLocalSlot(int slot, std::string_view romKey,
                                          std::string_view glitchFile, SettingsStore& store,
                                          FieldControls& controls) {
  using engine::Field;
  const std::string section = LocalSection(slot, romKey);
  SaveReg(section, RangeName(TextOf(controls, Field::start), TextOf(controls, Field::end)), store,
          controls);
  store.Save(section, kGlitchKey, glitchFile);
  return store.Sync();
}

void LoadLocalSlot(int slot, std::string_view romKey, SettingsStore& store,
                   FieldControls& controls) {
  LoadReg(LocalSection(slot, romKey), store, controls);
}

std::string LocalNotKeptMessage(int slot, const std::string& reason) {
  std::string message = "Local preset ";
  message += std::to_string(slot);
  message += " was NOT kept!\r\n";
  message += reason;
  return message;
}

}  // namespace settings
