#pragma once

#include <string>

#include "engine/host.h"
#include "engine/job_settings.h"
#include "engine/patch_format.h"

// Keeping and sharing a glitch: the output's difference from the ROM written
// as a patch, and a patch put onto a fresh copy of the ROM.
namespace engine {

inline constexpr const char* kPatchNotExportedMessage = "Error!  Patch NOT exported!";
inline constexpr const char* kNothingToExportMessage =
    "Nothing to export: the output does not differ from the ROM!";
inline constexpr const char* kLengthsDifferMessage =
    "Can't export: the output and the ROM differ in length!";
inline constexpr const char* kChooseBpsMessage =
    "Can't export as IPS: the output changes bytes past 16 MiB. Choose BPS!";
inline constexpr const char* kPatchNotWellFormedMessage = "The patch is not well formed!";
inline constexpr const char* kPatchForAnotherFileMessage = "The patch was made for another file!";

// File > Export...: every byte where the output differs from the ROM, written
// to `patchPath` as `format`. Reads both files a piece at a time as long work.
// Changes into the working directory first when chdir is checked. The outcome
// goes to a message box; a refusal or failure leaves an earlier file under
// `patchPath` as it was and no temporary file.
void ExportPatch(const JobSettings& job, const std::string& patchPath, PatchFormat format,
                 Host& host);

// The glitch of a Local slot: as Export as BPS, also when nothing differs,
// with no message. Throws HostFailure (and PatchFailure) on failure.
void KeepGlitch(const JobSettings& job, const std::string& patchPath, Host& host);

// File > Import... and Load Local: makes the output a fresh copy of the ROM
// as "Create Now" does, with the same refusals and messages, puts the patch
// onto it before it replaces the output, and starts the emulator as GO does.
// A patch that is not well formed or made for another file is refused with
// its reason, and the previous output stays byte for byte as it was.
void ImportPatch(const JobSettings& job, const std::string& patchPath, Host& host);

}  // namespace engine
