#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string_view>

#include "engine/patch_io.h"

// The two patch formats emulators load beside a ROM: IPS (offsets up to
// 16 MiB, run-length records) and BPS (any size, CRC-32 checks). Writing
// streams a source and a target of equal length piece by piece; applying
// reads the patch in order and works on the source and target by offset,
// so neither side needs the image in memory.
namespace engine {

enum class PatchFormat { Ips, Bps };

// By the name's extension, in any letter case; nothing for another one.
std::optional<PatchFormat> PatchFormatOfName(std::string_view name);

std::unique_ptr<PatchWriter> MakePatchWriter(PatchFormat format, std::int64_t size, ByteSink sink);

// The format the patch's first bytes name; Malformed when neither does.
PatchFormat DetectPatchFormat(PatchReader& patch);

// Checks the patch before anything is written: its form and, for BPS, its
// own checksum and the source's size and checksum.
void CheckPatch(PatchFormat format, PatchReader& patch, PatchTarget& target);

// Applies a checked patch from its start. IPS records go onto a target that
// holds a copy of the source; a BPS target starts empty, and one whose
// checksum differs afterwards is an OtherFile failure.
void ApplyPatch(PatchFormat format, PatchReader& patch, PatchTarget& target);

}  // namespace engine
