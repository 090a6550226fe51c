#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace engine {

// The byte values of a "Looping Sequence:" list: comma-separated numbers in
// Val2 notation, blank items skipped, each value cut to its low 8 bits.
// Throws HostFailure as Val2 does.
std::vector<std::uint8_t> ParseSequence(std::string_view text);

}  // namespace engine
