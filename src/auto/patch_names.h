#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "auto/output_name.h"

namespace automode {

// Where a run finds the ROM: a bare name lies in `path` when chdir is
// checked, as the run changes into it first; any other name is used as given.
std::string RomLocation(std::string_view rom, bool chdirChecked, std::string_view path,
                        NameRules rules = {});

// The name Export proposes, where emulators that load patches by themselves
// look: the ROM's name with its extension replaced by ".ips" when the image
// fits IPS (16 MiB), else ".bps", in the ROM's directory.
std::string ProposedPatchName(std::string_view romLocation, std::int64_t romLength,
                              NameRules rules = {});

// What the Local slots of a ROM are kept under: its file name without the
// directory, lower-cased where the host's names are case-blind.
std::string LocalSlotKey(std::string_view rom, NameRules rules = {});

}  // namespace automode
