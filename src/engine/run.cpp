#include "engine/run.h"

#include <algorithm>
#include <cstdint>
#include <exception>
#include <functional>
#include <future>
#include <optional>
#include <span>
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
// progress bar covers the whole run: the shift reads the range's original
// bytes (from the ROM, or into a scratch copy) besides writing the range.
// Nothing when the range cannot be read; the run then stops early.
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

// Whether the two names may stand for the same file: the shift then cannot
// read the range's original bytes from one while it writes the other.
bool SameFile(FileSystem& files, const std::string& a, const std::string& b) {
  if (a == b) return true;
  const auto first = files.Stamp(a);
  const auto second = files.Stamp(b);
  return first && second && first->SameFile(*second);
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

// The range as the run moves it through memory, a piece at a time: read from
// the output and written back into it, or, when a full copy writes the range
// itself, read from the ROM and written into the new file. The shift, which
// moves bytes across the whole range, takes each piece's shifted bytes through
// another buffer from the range's original bytes: in the ROM when the output
// is a fresh copy of it, else in a scratch copy of the range made beside the
// output before the first write.
struct RangeInMemory {
  FileSystem& files;
  const std::string& path;
  std::int32_t start = 0;
  std::uint64_t size = 0;
  std::string rom{};  // a file that holds the range's original bytes, if any
  RangeBuffer buffer{};
  RangeBuffer shifted{};
  RangeBuffer spare{};  // the piece read while the one before is written

  // Reads `out` from `at` in the range of a file that holds the original bytes.
  using Originals = std::function<void(std::uint64_t at, std::span<std::uint8_t> out)>;

  std::int64_t Offset(std::uint64_t at) const { return start + static_cast<std::int64_t>(at); }

  // The fresh copy that the range goes into as it is read from the ROM, when
  // the copy writes the range itself; else the range is the output's.
  NewFile* copy = nullptr;

  void Read(std::uint64_t at, std::span<std::uint8_t> out) {
    if (copy) return files.ReadOnlyAt(rom, Offset(at), out);
    files.ReadAt(path, Offset(at), out);
  }
  void Write(std::uint64_t at, std::span<const std::uint8_t> bytes) {
    if (copy) return copy->WriteAt(Offset(at), bytes);
    files.WriteAt(path, Offset(at), bytes);
  }

  void ReadFirst() {
    buffer.Allocate(std::min(size, kPieceBytes));
    Read(0, buffer.Bytes());
  }

  // The range as the fresh copy writes it: read from the ROM, altered.
  void WriteInto(NewFile& file, Alteration& alteration, Progress& progress) {
    copy = &file;
    ReadFirst();
    WriteBack(alteration, progress);
  }

  // Each piece altered, written back and followed by the next.
  void WriteBack(Alteration& alteration, Progress& progress) {
    if (!alteration.Shifts()) return Pieces(alteration, progress, nullptr, false);
    shifted.Allocate(buffer.Bytes().size());
    if (!rom.empty()) {
      const auto fromRom = [&](std::uint64_t at, std::span<std::uint8_t> out) {
        files.ReadOnlyAt(rom, Offset(at), out);
      };
      return Pieces(alteration, progress, fromRom, true);
    }
    // The scratch copy is a new file that is never moved over its name: its
    // fill ends by throwing, which removes it.
    struct Discard {};
    try {
      files.Replace(path + ".shift", [&](NewFile& scratch) {
        const auto transfer = shifted.Bytes();
        for (std::uint64_t at = 0; at < size;) {
          const auto part =
              transfer.first(static_cast<std::size_t>(std::min(size - at, kPieceBytes)));
          files.ReadAt(path, Offset(at), part);
          scratch.WriteAt(static_cast<std::int64_t>(at), part);
          progress.Advance(part.size());
          at += part.size();
        }
        const auto fromScratch = [&](std::uint64_t at, std::span<std::uint8_t> out) {
          scratch.ReadAt(static_cast<std::int64_t>(at), out);
        };
        Pieces(alteration, progress, fromScratch, false);
        throw Discard{};
      });
    } catch (const Discard&) {
    }
  }

  // Into a fresh copy, each piece is written on a thread of its own while the
  // next is read and altered in a second buffer (one write under way at a
  // time), so that the writes into new blocks and the alteration's work
  // overlap. Into the output itself, the pieces go one after the other
  // through one buffer. A piece counts as done once it is written.
  void Pieces(Alteration& alteration, Progress& progress, const Originals& originals,
              bool countReads) {
    if (copy) spare.Allocate(buffer.Bytes().size());
    const std::span<std::uint8_t> buffers[] = {buffer.Bytes(),
                                               copy ? spare.Bytes() : buffer.Bytes()};
    std::span<std::uint8_t> piece = buffers[0];
    std::future<void> writing;
    std::size_t writingBytes = 0;
    const auto endWriting = [&] {
      if (!writing.valid()) return;
      writing.get();
      progress.Advance(writingBytes);
    };
    for (std::uint64_t at = 0;;) {
      if (originals) {
        const auto from = shifted.Bytes().first(piece.size());
        const std::uint64_t first = alteration.ShiftedFrom(at);
        const auto head =
            static_cast<std::size_t>(std::min<std::uint64_t>(from.size(), size - first));
        originals(first, from.first(head));
        if (head < from.size()) originals(0, from.subspan(head));
        if (countReads) progress.Advance(from.size());
        alteration.ApplyShifted(piece, from);
      } else {
        alteration.Apply(piece);
      }
      endWriting();
      if (copy) {
        writing = std::async(std::launch::async, [this, at, piece] { Write(at, piece); });
        writingBytes = piece.size();
      } else {
        Write(at, piece);
        progress.Advance(piece.size());
      }
      at += piece.size();
      if (at == size) break;
      piece = buffers[piece.data() == buffers[0].data() ? 1 : 0].first(
          static_cast<std::size_t>(std::min(size - at, kPieceBytes)));
      Read(at, piece);
    }
    endWriting();
    buffer.Release();
    spare.Release();
    shifted.Release();
  }
};

// The alteration of the range when the run's full copy can write the range
// itself: the range and the numbers are good for the ROM, and the ROM is not
// the output. Otherwise nothing: the copy is made first, and the run refuses
// or fails after it as always.
std::optional<Alteration> OnePassAlteration(const JobSettings& job, Host& host,
                                            RangeInMemory& range) {
  try {
    const std::int32_t start = Val2(job.start);
    const std::int32_t end = Val2(job.end);
    if (start < 0 || end < start || end >= host.files.FileLength(job.rom) ||
        SameFile(host.files, job.rom, job.create))
      return std::nullopt;
    range.start = start;
    range.size = static_cast<std::uint64_t>(WrapSubtract(end, start)) + 1;
    range.rom = job.rom;
    if (!Alteration::Acceptable(job, range.size, host)) return std::nullopt;
    return Alteration::Prepare(job, range.size, host);
  } catch (const std::exception&) {
    return std::nullopt;
  }
}

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
  RangeInMemory range{host.files, job.create};
  std::optional<Alteration> alteration;
  std::string commandLine;
  const auto launch = [&] {
    if (job.emu.find_first_not_of(" \t") == std::string::npos)
      throw HostFailure(FailureKind::ProgramNotStartable, "no emulator command",
                        "the \"Run Emulator:\" box is empty");
    StartEmulator(job, commandLine, host.launcher);
    host.ui.SetStatus(kStatusReady);
    return true;
  };
  if (job.optoverwrite == kChecked) {
    // A full copy writes the range itself, read from the ROM and altered, so
    // that the range is read and written once; the status line then tells
    // the steps once the copy is in place.
    RangeOfCopy written;
    alteration = OnePassAlteration(job, host, range);
    if (alteration) {
      written.offset = range.start;
      written.length = static_cast<std::int64_t>(range.size);
      written.write = [&](NewFile& file, Progress& progress) {
        range.WriteInto(file, *alteration, progress);
      };
    }
    try {
      if (!MakeFreshCopy(job, host, alteration ? &written : nullptr)) {
        host.ui.ShowMessage(std::string(kCopyFailedMessage) + "\r\n" + host.lastPlace);
        return;
      }
    } catch (const Cancelled&) {
      host.ui.SetStatus(kStatusCancelled);
      host.ui.ShowMessage(kCancelledCopyMessage);
      return;
    }
    if (written.written) {
      host.ui.SetStatus(kStatusLoading);
      const auto command = [&] {
        commandLine = BuildCommandLine(job.emu, job.create);
        return true;
      };
      if (!Stretch(host, command, FileError)) return;
      host.ui.SetStatus(kStatusAltering);
      Stretch(host, launch, FileError);
      return;
    }
    alteration.reset();
    range.rom = SameFile(host.files, job.rom, job.create) ? std::string() : job.rom;
  }

  // The first piece of the range is read here; each piece is altered, written
  // back and followed by the next in the last stretch.
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
    host.work.Run([&](Progress&) { range.ReadFirst(); });
    commandLine = BuildCommandLine(job.emu, job.create);
    return true;
  };
  if (!Stretch(host, checkAndRead, FileError)) return;

  const auto alter = [&] {
    host.ui.SetStatus(kStatusAltering);
    alteration = Alteration::Prepare(job, range.size, host);
    if (!alteration) return false;
    return true;
  };
  if (!Stretch(host, alter, AlteringError)) return;

  const auto writeAndLaunch = [&] {
    const auto first = static_cast<std::uint64_t>(range.start);
    RecordedWrite recorded(host, job.create, first, first + range.size - 1);
    host.work.Run([&](Progress& progress) { range.WriteBack(*alteration, progress); });
    recorded.Done();
    return launch();
  };
  Stretch(host, writeAndLaunch, FileError);
}

}  // namespace engine
