#include "settings/section_reader.h"

#include <string>

namespace settings {

void LoadSection(std::string_view section, DefaultColumn missing, SettingsStore& store,
                 FieldControls& controls) {
  for (const engine::FieldRow& row : engine::kFields) {
    const std::string_view fallback =
        missing == DefaultColumn::FirstRun ? row.firstRunDefault : row.missingKeyDefault;
    const std::optional<std::string> stored = store.Read(section, row.key);
    controls.WriteField(row.field,
                        engine::ConvertStored(row, stored ? std::string_view(*stored) : fallback));
  }
}

}  // namespace settings
