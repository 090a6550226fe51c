// Conversion of stored text for every field, and the stored text of the
// result converting back to the same value.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "engine/job_settings.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  for (const engine::FieldSpec& field : engine::kFields) {
    const engine::FieldValue value = engine::ConvertStored(field, text);
    switch (field.kind) {
      case engine::FieldKind::Text:
        if (std::get<std::string>(value) != text) std::abort();
        break;
      case engine::FieldKind::Check: {
        const int state = std::get<int>(value);
        if (state != 0 && state != 1) std::abort();
        break;
      }
      case engine::FieldKind::Option: std::get<bool>(value); break;
    }
    if (engine::ConvertStored(field, engine::StoredText(value)) != value) std::abort();
  }
  engine::ConvertCheck(text);
  engine::ConvertOption(text);
  return 0;
}
