#pragma once

#include <cstdint>
#include <memory>

#include "engine/patch_io.h"

namespace engine {

// IPS offsets are three bytes: every change must lie below this.
inline constexpr std::int64_t kIpsLimit = std::int64_t{1} << 24;
// The offset whose three bytes read "EOF": no record may start there.
inline constexpr std::int64_t kIpsEndMarkerOffset = 0x454F46;

// Runs of one repeated value become run-length records; a change at or past
// kIpsLimit is a TooFarForIps failure.
std::unique_ptr<PatchWriter> MakeIpsWriter(ByteSink sink);

// True when the patch starts as an IPS patch does.
bool LooksLikeIps(PatchReader& patch);
// Walks every record to the end marker without writing anything.
void CheckIps(PatchReader& patch);
// Writes every record into the target, which holds a copy of the source;
// records past its end extend it.
void ApplyIps(PatchReader& patch, PatchTarget& target);

}  // namespace engine
