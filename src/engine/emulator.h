#pragma once

#include <string>
#include <string_view>

namespace engine {

// The emulator text with its first "%1" replaced by the output name, or else
// the text, a space and the output name.
std::string BuildCommandLine(std::string_view emulatorText, std::string_view outputName);

}  // namespace engine
