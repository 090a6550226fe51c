#include "engine/fresh_copy.h"

#include <algorithm>
#include <exception>
#include <new>

#include "engine/failure.h"
#include "engine/output_record.h"

namespace engine {
namespace {

// Puts the ROM's bytes back over the ranges that runs altered since the last
// full copy, when the stamps show that neither file changed in between. False
// when that cannot be shown or a step fails; the record is then forgotten.
bool RestoreFromRom(const JobSettings& job, Host& host) {
  OutputRecord* record = host.record;
  if (!record) return false;
  try {
    const auto rom = host.files.Stamp(job.rom);
    const auto output = host.files.Stamp(job.create);
    if (!rom || !output || rom->SameFile(*output) || !record->Matches(*rom, *output)) return false;
    const RangeSet altered = record->Altered();
    record->Forget();
    host.work.Expect(altered.Bytes());
    host.work.Run([&](Progress& progress) {
      for (const auto& [first, last] : altered.Ranges()) {
        host.files.CopyRange(job.rom, job.create, static_cast<std::int64_t>(first),
                             static_cast<std::int64_t>(last - first + 1), progress);
      }
    });
    // The ROM must not have changed while it was read.
    const auto restored = host.files.Stamp(job.create);
    if (host.files.Stamp(job.rom) != rom || !restored) return false;
    record->Keep(*rom, *restored, {});
    return true;
  } catch (const std::exception&) {
    record->Forget();
    return false;
  }
}

}  // namespace

void ChangeToWorkingDirectory(const JobSettings& job, FileSystem& files) {
  if (job.chdir != kChecked) return;
  if (job.path.size() >= 2 && job.path[1] == ':') files.ChangeDrive(job.path.substr(0, 1));
  files.ChangeDirectory(job.path);
}

// A full copy leaves the output the ROM, nothing altered: that is what the
// record keeps when the ROM stayed as it was throughout.
bool CopyFile(const JobSettings& job, Host& host, bool changeDirectory) {
  try {
    if (changeDirectory) ChangeToWorkingDirectory(job, host.files);
    if (host.record) host.record->Forget();
    const auto rom = host.files.Stamp(job.rom);
    if (rom) host.work.Expect(static_cast<std::uint64_t>(rom->size));
    host.work.Run([&](Progress& progress) { host.files.Copy(job.rom, job.create, progress); });
    if (host.record && rom && host.files.Stamp(job.rom) == rom) {
      if (const auto output = host.files.Stamp(job.create)) host.record->Keep(*rom, *output, {});
    }
    return true;
  } catch (...) {
    host.lastError = DescribeCurrentFailure();
  }
  return false;
}

bool MakeFreshCopy(const JobSettings& job, Host& host) {
  return RestoreFromRom(job, host) || CopyFile(job, host, false);
}

void CreateNow(const JobSettings& job, Host& host) {
  if (CopyFile(job, host))
    host.ui.ShowMessage(job.create + " created successfully!");
  else
    host.ui.ShowMessage(std::string(kNotCreatedMessage) + "\r\n" + host.lastError);
}

}  // namespace engine
