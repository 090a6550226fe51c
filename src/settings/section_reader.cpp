#include "settings/section_reader.h"

#include <string>

namespace settings {

void LoadSection(std::string_view section, DefaultColumn missing, SettingsStore& store,
                 FieldControls& controls) {
  for (int i = 0; i < engine::kFieldCount; ++i) {
    const engine::FieldSpec& field = engine::kFields[static_cast<std::size_t>(i)];
    const std::string_view fallback =
        missing == DefaultColumn::FirstRun ? field.firstRunDefault : field.missingKeyDefault;
    const std::optional<std::string> stored = store.Read(section, field.key);
    controls.WriteField(
        i, engine::ConvertStored(field, stored ? std::string_view(*stored) : fallback));
  }
}

}  // namespace settings
