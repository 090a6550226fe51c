#include "settings/section_reader.h"

#include <string>

namespace settings {

void LoadSection(std::string_view section, DefaultColumn missing, SettingsStore& store,
                 FieldControls& controls) {
  for (const engine::FieldSpec& spec : engine::kFields) {
    const std::string_view fallback =
        missing == DefaultColumn::FirstRun ? spec.firstRunDefault : spec.missingKeyDefault;
    const std::optional<std::string> stored = store.Read(section, spec.key);
    controls.WriteField(spec.field,
                        engine::ConvertStored(spec, stored ? std::string_view(*stored) : fallback));
  }
}

}  // namespace settings
