#include "engine/run.h"

#include <algorithm>
#include <cstdint>
#include <exception>
#include <optional>
#include <string>

#include "engine/emulator.h"
#include "engine/failure.h"
#include "engine/fresh_copy.h"
#include "engine/number.h"
#include "engine/output_record.h"
#include "engine/range_buffer.h"
#include "engine/transform.h"
#include "engine/wrap32.h"

namespace engine {
namespace {

// Runs one stretch of the run. `body` returns whether the run goes on. Any
// failure raised inside the stretch becomes the last error and ends the run
// through the stretch's failure branch: "Status: Error!", then its message
// (built from the last error text and the failure's place), so that the
// status line does not say the run goes on while the message is up. A cancel
// ends the run with what it left said.
template <typename Body, typename Message>
bool Stretch(Host& host, Body&& body, Message&& failureMessage) {
  try {
    return body();
  } catch (const Cancelled&) {
    host.ui.SetStatus(kStatusCancelled);
    host.ui.ShowMessage(kCancelledRunMessage);
    return false;
  } catch (...) {
    host.lastError = DescribeCurrentFailure();
    host.lastPlace = PlaceOfCurrentFailure();
  }
  host.ui.SetStatus(kStatusError);
  host.ui.ShowMessage(failureMessage(host.lastError, host.lastPlace));
  return false;
}

std::string PathError(const std::string&, const std::string& place) {
  return std::string(kPathErrorMessage) + "\r\n" + place;
}
std::string FileError(const std::string&, const std::string& place) {
  return std::string(kFileErrorMessage) + "\r\n" + place;
}
std::string AlteringError(const std::string& lastError, const std::string&) {
  return "Error! " + lastError;
}

// The bytes the range's stretches will move, told before the copy so that one
// progress bar covers the whole run: the shift reads the whole range before it
// writes it. Nothing when the range cannot be read; the run then stops early.
std::uint64_t RangeBytesIfReadable(const JobSettings& job) {
  try {
    const std::int32_t start = Val2(job.start);
    const std::int32_t end = Val2(job.end);
    if (start < 0 || end < start) return 0;
    const auto bytes = static_cast<std::uint64_t>(WrapSubtract(end, start)) + 1;
    return job.optshift ? 2 * bytes : bytes;
  } catch (const std::exception&) {
    return 0;
  }
}

// Keeps host.record true while the run writes the range: the record learns of
// the range once the write has ended, and forgets the output when that was
// changed by someone else or the write fails half-way. A write made while the
// emulator started on the output may still run is not recorded either: what
// that wrote meanwhile would not show. A run on another file than the
// recorded output leaves the record alone.
class RecordedWrite {
 public:
  RecordedWrite(Host& host, const std::string& output, std::uint64_t first, std::uint64_t last)
      : host_(host), output_(output) {
    OutputRecord* record = host.record;
    if (!record) return;
    const auto stamp = host.files.Stamp(output);
    if (stamp && !record->IsOutput(*stamp)) return;
    if (stamp && record->Matches(record->Rom(), *stamp) && !host.launcher.MayStillWrite(output)) {
      rom_ = record->Rom();
      altered_ = record->Altered();
      altered_.Add(first, last);
    }
    record->Forget();
  }

  void Done() {
    if (!rom_) return;
    const auto stamp = host_.files.MarkWritten(output_);
    if (stamp && stamp->settled) host_.record->Keep(*rom_, *stamp, altered_);
  }

 private:
  Host& host_;
  const std::string& output_;
  std::optional<FileStamp> rom_;
  RangeSet altered_;
};

// The range of the output as the run moves it through one buffer: a piece at
// a time, or all of it at once for the shift.
struct RangeInMemory {
  FileSystem& files;
  const std::string& path;
  std::int32_t start = 0;
  std::uint64_t size = 0;
  bool whole = false;
  RangeBuffer buffer{};

  std::int64_t Offset(std::uint64_t at) const { return start + static_cast<std::int64_t>(at); }

  // The first piece, or the whole range.
  void ReadFirst(Progress& progress) {
    buffer.Allocate(whole ? size : std::min(size, kPieceBytes));
    const auto bytes = buffer.Bytes();
    for (std::size_t at = 0; at < bytes.size(); at += kPieceBytes) {
      const auto piece = bytes.subspan(at, std::min<std::size_t>(kPieceBytes, bytes.size() - at));
      files.ReadAt(path, Offset(at), piece);
      if (whole) progress.Advance(piece.size());
    }
  }

  // Each piece altered (unless the whole range was altered at once), written
  // back and followed by the next.
  void WriteBack(Alteration& alteration, Progress& progress) {
    std::span<std::uint8_t> piece = buffer.Bytes();
    for (std::uint64_t at = 0;;) {
      if (!whole) alteration.Apply(piece);
      for (std::size_t done = 0; done < piece.size(); done += kPieceBytes) {
        const auto part =
            piece.subspan(done, std::min<std::size_t>(kPieceBytes, piece.size() - done));
        files.WriteAt(path, Offset(at + done), part);
        progress.Advance(part.size());
      }
      at += piece.size();
      if (at == size) break;
      piece = piece.first(static_cast<std::size_t>(std::min(size - at, kPieceBytes)));
      files.ReadAt(path, Offset(at), piece);
    }
    buffer.Release();
  }
};

}  // namespace

void RunJob(const JobSettings& job, Host& host) {
  const auto workingDirectory = [&] {
    ChangeToWorkingDirectory(job, host.files);
    return true;
  };
  if (!Stretch(host, workingDirectory, PathError)) return;
  host.work.Expect(RangeBytesIfReadable(job));
  // The run has just changed directory; a second change could land elsewhere
  // for a relative path.
  if (job.optoverwrite == kChecked) {
    try {
      if (!MakeFreshCopy(job, host)) {
        host.ui.ShowMessage(std::string(kCopyFailedMessage) + "\r\n" + host.lastPlace);
        return;
      }
    } catch (const Cancelled&) {
      host.ui.SetStatus(kStatusCancelled);
      host.ui.ShowMessage(kCancelledCopyMessage);
      return;
    }
  }

  // The first piece of the range is read here; each piece is altered, written
  // back and followed by the next in the last stretch.
  RangeInMemory range{host.files, job.create};
  range.whole = job.optshift;
  std::string commandLine;
  const auto checkAndRead = [&] {
    range.start = Val2(job.start);
    const std::int32_t end = Val2(job.end);
    if (range.start < 0 || end < range.start) {
      host.ui.ShowMessage("You gave a baaaaad range to corrupt! (" + HexForm(range.start) + "-" +
                          HexForm(end) + ")");
      return false;
    }
    const std::int64_t length = host.files.FileLength(job.create);
    if (end >= length) {
      host.ui.ShowMessage(std::string("The specified end reaches beyond the end of the file!") +
                          "\r\n" + HexForm64(length) + " vs " + HexForm(end));
      return false;
    }
    host.ui.SetStatus(kStatusLoading);
    range.size = static_cast<std::uint64_t>(WrapSubtract(end, range.start)) + 1;
    host.work.Run([&](Progress& progress) { range.ReadFirst(progress); });
    commandLine = BuildCommandLine(job.emu, job.create);
    return true;
  };
  if (!Stretch(host, checkAndRead, FileError)) return;

  std::optional<Alteration> alteration;
  const auto alter = [&] {
    host.ui.SetStatus(kStatusAltering);
    alteration = Alteration::Prepare(job, range.size, host);
    if (!alteration) return false;
    if (range.whole) host.work.Run([&](Progress&) { alteration->Apply(range.buffer.Bytes()); });
    return true;
  };
  if (!Stretch(host, alter, AlteringError)) return;

  const auto writeAndLaunch = [&] {
    const auto first = static_cast<std::uint64_t>(range.start);
    RecordedWrite recorded(host, job.create, first, first + range.size - 1);
    host.work.Run([&](Progress& progress) { range.WriteBack(*alteration, progress); });
    recorded.Done();
    if (job.emu.find_first_not_of(" \t") == std::string::npos)
      throw HostFailure(FailureKind::ProgramNotStartable, "no emulator command",
                        "the \"Run Emulator:\" box is empty");
    StartEmulator(job, commandLine, host.launcher);
    host.ui.SetStatus(kStatusReady);
    return true;
  };
  Stretch(host, writeAndLaunch, FileError);
}

}  // namespace engine
