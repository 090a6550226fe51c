// Conversion of stored text for every field, and the stored text of the
// result converting back to the same value.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "engine/job_settings.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  for (const engine::FieldRow& field : engine::kFields) {
    const engine::FieldValue value = engine::ConvertStored(field, text);
    const bool fits = field.kind == engine::FieldKind::Text ? std::get<std::string>(value) == text
                      : field.kind == engine::FieldKind::Option
                          ? std::holds_alternative<bool>(value)
                          : std::get<int>(value) == 0 || std::get<int>(value) == 1;
    if (!fits || engine::ConvertStored(field, engine::StoredText(value)) != value) std::abort();
  }
  return 0;
}
