#pragma once

#include <string>
#include <string_view>

namespace host {

// The temporary copies in the output's folder: ".glitchforge-", 16 hex digits
// and ".tmp", short whatever the output's own name.
std::string TemporaryName();
bool IsTemporaryName(std::string_view name);

}  // namespace host
