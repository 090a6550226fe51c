#include "auto/patch_names.h"

#include <cctype>

namespace automode {
namespace {

constexpr std::int64_t kIpsImageLimit = std::int64_t{16} << 20;

std::string_view BareName(std::string_view name, char separator) {
  const auto cut = name.rfind(separator);
  return cut == std::string_view::npos ? name : name.substr(cut + 1);
}

}  // namespace

std::string RomLocation(std::string_view rom, bool chdirChecked, std::string_view path,
                        NameRules rules) {
  std::string location;
  if (chdirChecked && rom.find(rules.separator) == std::string_view::npos) {
    location = path;
    if (!location.empty() && location.back() != rules.separator) location += rules.separator;
  }
  location += rom;
  return location;
}

std::string ProposedPatchName(std::string_view romLocation, std::int64_t romLength,
                              NameRules rules) {
  const std::string_view bare = BareName(romLocation, rules.separator);
  const auto dot = bare.rfind('.');
  std::string name(romLocation.substr(0, romLocation.size() - bare.size()));
  name += dot == std::string_view::npos ? bare : bare.substr(0, dot);
  name += romLength <= kIpsImageLimit ? ".ips" : ".bps";
  return name;
}

std::string LocalSlotKey(std::string_view rom, NameRules rules) {
  std::string key(BareName(rom, rules.separator));
  if (rules.caseBlind) {
    for (char& c : key) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  }
  return key;
}

}  // namespace automode
