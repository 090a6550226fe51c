#include "engine/patch_format.h"

#include <cctype>

#include "engine/bps_patch.h"
#include "engine/ips_patch.h"

namespace engine {

std::optional<PatchFormat> PatchFormatOfName(std::string_view name) {
  const auto dot = name.rfind('.');
  if (dot == std::string_view::npos) return std::nullopt;
  std::string extension;
  for (const char c : name.substr(dot + 1))
    extension += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (extension == "ips") return PatchFormat::Ips;
  if (extension == "bps") return PatchFormat::Bps;
  return std::nullopt;
}

std::unique_ptr<PatchWriter> MakePatchWriter(PatchFormat format, std::int64_t size, ByteSink sink) {
  if (format == PatchFormat::Ips) return MakeIpsWriter(std::move(sink));
  return MakeBpsWriter(size, std::move(sink));
}

PatchFormat DetectPatchFormat(PatchReader& patch) {
  if (LooksLikeIps(patch)) return PatchFormat::Ips;
  if (LooksLikeBps(patch)) return PatchFormat::Bps;
  throw PatchFailure(PatchFailure::Kind::Malformed, "neither an IPS nor a BPS patch");
}

void CheckPatch(PatchFormat format, PatchReader& patch, PatchTarget& target) {
  if (format == PatchFormat::Ips)
    CheckIps(patch);
  else
    CheckBps(patch, target);
}

void ApplyPatch(PatchFormat format, PatchReader& patch, PatchTarget& target) {
  if (format == PatchFormat::Ips)
    ApplyIps(patch, target);
  else
    ApplyBps(patch, target);
}

}  // namespace engine
