#include "engine/sequence.h"

#include "engine/number.h"

namespace engine {

std::vector<std::uint8_t> ParseSequence(std::string_view text) {
  std::vector<std::uint8_t> values;
  std::size_t at = 0;
  while (at <= text.size()) {
    std::size_t comma = text.find(',', at);
    if (comma == std::string_view::npos) comma = text.size();
    const std::string_view item = text.substr(at, comma - at);
    if (item.find_first_not_of(" \t\r\n") != std::string_view::npos)
      values.push_back(static_cast<std::uint8_t>(Val2(item) & 0xFF));
    at = comma + 1;
  }
  return values;
}

}  // namespace engine
