#include "engine/fresh_copy.h"

#include <algorithm>
#include <exception>
#include <new>

#include "engine/failure.h"
#include "engine/output_record.h"
#include "engine/status.h"

namespace engine {
namespace {

// When the stamps prove the output unchanged since this program wrote it.
// Every write by any program sets the file's modification time to the moment
// of that write, rounded down to the file system's step. Right after each of
// its own writes this program sets that time a few seconds back (MarkWritten)
// and keeps the stamp only then: no later write can give the file that time
// again, however coarse the clock, so a write since shows in the stamp. The
// ROM is only read; its stamp counts when its time already lay that far back
// (FileStamp::settled). Two things stamps cannot show, and so make the full
// copy:
// - a write made while this program wrote, which its own setting of the time
//   hides. The one program known to write into the output is the emulator
//   started on it: while one may still run, the output is not trusted, and no
//   write made then is recorded;
// - a program that sets the time back to what it was within one step of the
//   clock after writing; the status-change time shows it once the step is over.
bool Trusted(const FileStamp& rom, const FileStamp& output) {
  return rom.settled && output.settled;
}

// Puts the ROM's bytes back over the ranges that runs altered since the last
// full copy, when the stamps show that neither file changed in between. False
// when that cannot be shown or a step fails; the record is then forgotten.
bool RestoreFromRom(const JobSettings& job, Host& host) {
  OutputRecord* record = host.record;
  if (!record) return false;
  try {
    const auto rom = host.files.Stamp(job.rom);
    const auto output = host.files.Stamp(job.create);
    if (!rom || !output || rom->SameFile(*output) || !record->Matches(*rom, *output) ||
        host.launcher.MayStillWrite(job.create)) {
      record->Forget();
      return false;
    }
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
    const auto restored = host.files.MarkWritten(job.create);
    if (host.files.Stamp(job.rom) != rom || !restored) return false;
    if (Trusted(*rom, *restored)) record->Keep(*rom, *restored, {});
    return true;
  } catch (const Cancelled&) {
    record->Forget();
    throw;
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

// A full copy leaves the output the ROM, nothing altered but the range it
// wrote itself, if any: that is what the record keeps when the ROM stayed as
// it was throughout.
bool CopyFile(const JobSettings& job, Host& host, bool changeDirectory, RangeOfCopy* range) {
  try {
    if (changeDirectory) ChangeToWorkingDirectory(job, host.files);
    if (host.record) host.record->Forget();
    const auto rom = host.files.Stamp(job.rom);
    const bool recorded = host.record && rom && !host.launcher.MayStillWrite(job.create);
    // The copy's bytes but the range's, which came with the run's; measured
    // apart from the stamp, which Windows does not tell, so that the bar
    // follows the copy there too. A ROM that cannot be measured fails below.
    std::int64_t length = -1;
    try {
      length = host.files.FileLength(job.rom);
    } catch (const HostFailure&) {
    }
    if (length >= 0)
      host.work.Expect(static_cast<std::uint64_t>(length - (range ? range->length : 0)));
    host.work.Run([&](Progress& progress) {
      if (!range) return host.files.Copy(job.rom, job.create, progress);
      host.files.Replace(job.create, [&](NewFile& file) {
        file.CopyFromExcept(job.rom, range->offset, range->length, progress);
        range->write(file, progress);
      });
    });
    RangeSet altered;
    if (range) {
      range->written = true;
      altered.Add(static_cast<std::uint64_t>(range->offset),
                  static_cast<std::uint64_t>(range->offset + range->length - 1));
    }
    if (recorded && host.files.Stamp(job.rom) == rom) {
      const auto output = host.files.MarkWritten(job.create);
      if (output && Trusted(*rom, *output)) host.record->Keep(*rom, *output, altered);
    }
    return true;
  } catch (const Cancelled&) {
    throw;
  } catch (...) {
    host.lastError = DescribeCurrentFailure();
    host.lastPlace = PlaceOfCurrentFailure();
  }
  return false;
}

bool MakeFreshCopy(const JobSettings& job, Host& host, RangeOfCopy* range) {
  return RestoreFromRom(job, host) || CopyFile(job, host, false, range);
}

void CreateNow(const JobSettings& job, Host& host) {
  bool copied = false;
  try {
    copied = CopyFile(job, host);
  } catch (const Cancelled&) {
    host.ui.SetStatus(kStatusCancelled);
    host.ui.ShowMessage(kCancelledCopyMessage);
    return;
  }
  if (copied)
    host.ui.ShowMessage(job.create + " created successfully!");
  else
    host.ui.ShowMessage(std::string(kNotCreatedMessage) + "\r\n" + host.lastError);
}

}  // namespace engine
