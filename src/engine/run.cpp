#include "engine/run.h"

#include <cstdint>
#include <new>
#include <string>

#include "engine/emulator.h"
#include "engine/failure.h"
#include "engine/number.h"
#include "engine/range_buffer.h"
#include "engine/transform.h"
#include "engine/wrap32.h"

namespace engine {
namespace {

// Runs one stretch of the run. `body` returns whether the run goes on. A
// failure raised inside the stretch becomes the last error and ends the run
// through the stretch's failure branch: its message (built from the last
// error text), then "Status: Error!".
template <typename Body, typename Message>
bool Stretch(Host& host, Body&& body, Message&& failureMessage) {
  try {
    return body();
  } catch (const HostFailure& failure) {
    host.lastError = failure.what();
  } catch (const std::bad_alloc&) {
    host.lastError = DescribeFailure(FailureKind::OutOfMemory);
  }
  host.ui.ShowMessage(failureMessage(host.lastError));
  host.ui.SetStatus(kStatusError);
  return false;
}

std::string PathError(const std::string&) { return kPathErrorMessage; }
std::string FileError(const std::string&) { return kFileErrorMessage; }
std::string AlteringError(const std::string& lastError) { return "Error! " + lastError; }

}  // namespace

void ChangeToWorkingDirectory(const JobSettings& job, FileSystem& files) {
  if (job.chdir != kChecked) return;
  if (job.path.size() >= 2 && job.path[1] == ':') files.ChangeDrive(job.path.substr(0, 1));
  files.ChangeDirectory(job.path);
}

bool CopyFile(const JobSettings& job, Host& host, bool changeDirectory) {
  try {
    if (changeDirectory) ChangeToWorkingDirectory(job, host.files);
    host.files.Copy(job.rom, job.create);
    return true;
  } catch (const std::bad_alloc&) {
    host.lastError = DescribeFailure(FailureKind::OutOfMemory);
  } catch (const std::exception& failure) {
    host.lastError = failure.what();
  }
  return false;
}

void CreateNow(const JobSettings& job, Host& host) {
  if (CopyFile(job, host))
    host.ui.ShowMessage(job.create + " created successfully!");
  else
    host.ui.ShowMessage("Error!  New file NOT created!\r\n" + host.lastError);
}

void RunJob(const JobSettings& job, Host& host) {
  const auto workingDirectory = [&] {
    ChangeToWorkingDirectory(job, host.files);
    return true;
  };
  if (!Stretch(host, workingDirectory, PathError)) return;
  // The run has just changed directory; a second change could land elsewhere
  // for a relative path.
  if (job.optoverwrite == kChecked && !CopyFile(job, host, false)) {
    host.ui.ShowMessage(kCopyFailedMessage);
    return;
  }

  std::int32_t start = 0;
  RangeBuffer buffer;
  std::string commandLine;
  const auto checkAndRead = [&] {
    start = Val2(job.start);
    const std::int32_t end = Val2(job.end);
    if (start < 0 || end < start) {
      host.ui.ShowMessage("You gave a baaaaad range to corrupt! (" + HexForm(start) + "-" +
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
    const std::int32_t lastIndex = WrapSubtract(end, start);
    buffer.Allocate(static_cast<std::uint64_t>(lastIndex) + 1);
    host.files.ReadAt(job.create, start, buffer.Bytes());
    commandLine = BuildCommandLine(job.emu, job.create);
    return true;
  };
  if (!Stretch(host, checkAndRead, FileError)) return;

  const auto alter = [&] {
    host.ui.SetStatus(kStatusAltering);
    return SelectAndTransform(job, buffer.Bytes(), host) == TransformResult::Done;
  };
  if (!Stretch(host, alter, AlteringError)) return;

  const auto writeAndLaunch = [&] {
    host.files.WriteAt(job.create, start, buffer.Bytes());
    buffer.Release();
    host.launcher.Start(commandLine, job.create);
    host.ui.SetStatus(kStatusReady);
    return true;
  };
  Stretch(host, writeAndLaunch, FileError);
}

}  // namespace engine
