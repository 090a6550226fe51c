#include "engine/patch_job.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "engine/emulator.h"
#include "engine/failure.h"
#include "engine/fresh_copy.h"
#include "engine/number.h"
#include "engine/output_record.h"
#include "engine/range_buffer.h"
#include "engine/run.h"
#include "engine/status.h"

namespace engine {
namespace {

constexpr std::size_t kSinkBuffer = std::size_t{1} << 20;

// Refusals of an export that are no failure of a file.
struct ExportRefusal {
  std::string message;
};

// Collects the patch's small writes and hands them to the new file in large ones.
class BufferedSink {
 public:
  explicit BufferedSink(NewFile& file) : file_(file) { buffer_.reserve(kSinkBuffer); }
  void Write(std::span<const std::uint8_t> bytes) {
    if (buffer_.size() + bytes.size() > kSinkBuffer) Flush();
    if (bytes.size() >= kSinkBuffer) {
      file_.WriteAt(written_, bytes);
      written_ += static_cast<std::int64_t>(bytes.size());
      return;
    }
    buffer_.insert(buffer_.end(), bytes.begin(), bytes.end());
  }
  void Flush() {
    if (buffer_.empty()) return;
    file_.WriteAt(written_, buffer_);
    written_ += static_cast<std::int64_t>(buffer_.size());
    buffer_.clear();
  }

 private:
  NewFile& file_;
  std::vector<std::uint8_t> buffer_;
  std::int64_t written_ = 0;
};

// Writes the patch; false when nothing differs, in which case `patchPath` is
// left alone unless `keepUnchanged`.
bool WritePatch(const JobSettings& job, const std::string& patchPath, PatchFormat format,
                bool keepUnchanged, Host& host) {
  const std::int64_t romLength = host.files.FileLength(job.rom);
  const std::int64_t outputLength = host.files.FileLength(job.create);
  if (romLength != outputLength)
    throw ExportRefusal{std::string(kLengthsDifferMessage) + "\r\n" + HexForm64(romLength) +
                        " vs " + HexForm64(outputLength)};
  bool changed = false;
  host.work.Expect(2 * static_cast<std::uint64_t>(romLength));
  host.work.Run([&](Progress& progress) {
    host.files.Replace(patchPath, [&](NewFile& file) {
      BufferedSink sink(file);
      auto writer = MakePatchWriter(
          format, romLength, [&](std::span<const std::uint8_t> bytes) { sink.Write(bytes); });
      RangeBuffer rom, output;
      const std::uint64_t piece = std::min<std::uint64_t>(kPieceBytes, romLength);
      rom.Allocate(piece);
      output.Allocate(piece);
      for (std::int64_t at = 0; at < romLength;) {
        const auto n = static_cast<std::size_t>(std::min<std::int64_t>(romLength - at, piece));
        host.files.ReadOnlyAt(job.rom, at, rom.Bytes().first(n));
        host.files.ReadOnlyAt(job.create, at, output.Bytes().first(n));
        writer->Compare(rom.Bytes().first(n), output.Bytes().first(n));
        progress.Advance(2 * n);
        at += static_cast<std::int64_t>(n);
      }
      changed = writer->Finish();
      if (!changed && !keepUnchanged) throw ExportRefusal{kNothingToExportMessage};
      sink.Flush();
    });
  });
  return changed;
}

// The ROM as the patch's source and the new output as its target.
class NewOutput : public PatchTarget {
 public:
  NewOutput(FileSystem& files, const std::string& rom, NewFile& file)
      : files_(files), rom_(rom), file_(file), romLength_(files.FileLength(rom)) {}
  std::int64_t SourceSize() override { return romLength_; }
  void ReadSource(std::int64_t offset, std::span<std::uint8_t> out) override {
    files_.ReadOnlyAt(rom_, offset, out);
  }
  void ReadTarget(std::int64_t offset, std::span<std::uint8_t> out) override {
    file_.ReadAt(offset, out);
  }
  void WriteTarget(std::int64_t offset, std::span<const std::uint8_t> data) override {
    file_.WriteAt(offset, data);
  }
  void ResizeTarget(std::int64_t size) override { file_.Resize(size); }

 private:
  FileSystem& files_;
  const std::string& rom_;
  NewFile& file_;
  std::int64_t romLength_;
};

void ShowFailure(Host& host, const std::string& firstLine) {
  host.ui.ShowMessage(firstLine + "\r\n" + host.lastError);
  host.ui.SetStatus(kStatusError);
}

}  // namespace

void ExportPatch(const JobSettings& job, const std::string& patchPath, PatchFormat format,
                 Host& host) {
  try {
    ChangeToWorkingDirectory(job, host.files);
    WritePatch(job, patchPath, format, false, host);
  } catch (const ExportRefusal& refusal) {
    host.ui.ShowMessage(refusal.message);
    return;
  } catch (const PatchFailure& failure) {
    host.ui.ShowMessage(failure.kind() == PatchFailure::Kind::TooFarForIps
                            ? std::string(kChooseBpsMessage)
                            : std::string(kPatchNotExportedMessage) + "\r\n" + failure.what());
    return;
  } catch (...) {
    host.lastError = DescribeCurrentFailure();
    host.ui.ShowMessage(std::string(kPatchNotExportedMessage) + "\r\n" + host.lastError);
    return;
  }
  host.ui.ShowMessage(patchPath + " exported successfully!");
}

void KeepGlitch(const JobSettings& job, const std::string& patchPath, Host& host) {
  try {
    ChangeToWorkingDirectory(job, host.files);
    WritePatch(job, patchPath, PatchFormat::Bps, true, host);
  } catch (const ExportRefusal& refusal) {
    throw HostFailure(FailureKind::FileAccess, refusal.message);
  }
}

void ImportPatch(const JobSettings& job, const std::string& patchPath, Host& host) {
  try {
    ChangeToWorkingDirectory(job, host.files);
    if (host.record) host.record->Forget();
    host.ui.SetStatus(kStatusLoading);
    PatchReader patch(
        [&](std::int64_t offset, std::span<std::uint8_t> out) {
          host.files.ReadOnlyAt(patchPath, offset, out);
        },
        host.files.FileLength(patchPath));
    host.work.Expect(2 * static_cast<std::uint64_t>(host.files.FileLength(job.rom)));
    host.work.Run([&](Progress& progress) {
      const PatchFormat format = DetectPatchFormat(patch);
      host.files.Replace(job.create, [&](NewFile& file) {
        NewOutput output(host.files, job.rom, file);
        CheckPatch(format, patch, output);
        if (format == PatchFormat::Ips) file.CopyFrom(job.rom, progress);
        ApplyPatch(format, patch, output);
      });
    });
  } catch (const PatchFailure& failure) {
    host.lastError = failure.what();
    ShowFailure(host, failure.kind() == PatchFailure::Kind::OtherFile ? kPatchForAnotherFileMessage
                                                                      : kPatchNotWellFormedMessage);
    return;
  } catch (...) {
    host.lastError = DescribeCurrentFailure();
    ShowFailure(host, kNotCreatedMessage);
    return;
  }
  try {
    StartEmulator(job, BuildCommandLine(job.emu, job.create), host.launcher);
  } catch (...) {
    host.lastError = DescribeCurrentFailure();
    ShowFailure(host, kFileErrorMessage);
    return;
  }
  host.ui.SetStatus(kStatusReady);
}

}  // namespace engine
