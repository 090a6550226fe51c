#pragma once

#include <cstdint>
#include <memory>

#include "engine/patch_io.h"

namespace engine {

// Unchanged stretches become source reads, changed ones target reads; the
// patch ends with the CRC-32 of the source, the target and itself.
std::unique_ptr<PatchWriter> MakeBpsWriter(std::int64_t size, ByteSink sink);

// True when the patch starts as a BPS patch does.
bool LooksLikeBps(PatchReader& patch);
// Reads the whole patch and the whole source: the patch's own checksum and
// form, then the source's size and checksum against those the patch names.
void CheckBps(PatchReader& patch, PatchTarget& target);
// Writes the target from its start, which must be empty, then compares its
// checksum with the patch's.
void ApplyBps(PatchReader& patch, PatchTarget& target);

// The largest target a BPS patch may make from a source of this size, so that
// a few bytes of patch cannot fill the disk.
std::int64_t LargestBpsTarget(std::int64_t sourceSize);

}  // namespace engine
