#include "engine/run.h"

#include <cerrno>
#include <cstdint>
#include <memory>
#include <new>
#include <span>
#include <string>

#include "engine/emulator.h"
#include "engine/failure.h"
#include "engine/number.h"
#include "engine/transform.h"

#if __has_include(<unistd.h>)
#include <unistd.h>
#endif
#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace engine {
namespace {

std::uint64_t PhysicalMemory() {
#if defined(_SC_PHYS_PAGES) && defined(_SC_PAGESIZE)
  const long pages = ::sysconf(_SC_PHYS_PAGES);
  const long pageSize = ::sysconf(_SC_PAGESIZE);
  if (pages > 0 && pageSize > 0)
    return static_cast<std::uint64_t>(pages) * static_cast<std::uint64_t>(pageSize);
#endif
  return UINT64_MAX;
}

std::uint64_t& Limit() {
  static std::uint64_t limit = PhysicalMemory();
  return limit;
}

// The range buffer: exactly the range, left uninitialised because the one
// read fills all of it (a short read is a failure). A large buffer is mapped
// and populated with one call rather than through a page fault per 4 KiB
// during the read, which took a third of a large run's read; memory that is
// not there shows up here as a failure rather than later as the OOM killer.
class RangeBuffer {
 public:
  RangeBuffer() = default;
  RangeBuffer(const RangeBuffer&) = delete;
  RangeBuffer& operator=(const RangeBuffer&) = delete;
  ~RangeBuffer() { Release(); }

  void Allocate(std::uint64_t size) {
    Release();
    if (size > Limit() || size > SIZE_MAX / 2) throw std::bad_alloc();
#if defined(__linux__)
    if (size >= kMapThreshold) return Map(static_cast<std::size_t>(size));
#endif
    heap_.reset(new std::uint8_t[static_cast<std::size_t>(size)]);
    data_ = heap_.get();
    size_ = static_cast<std::size_t>(size);
  }
  void Release() {
#if defined(__linux__)
    if (mapped_ != nullptr) ::munmap(mapped_, size_);
    mapped_ = nullptr;
#endif
    heap_.reset();
    data_ = nullptr;
    size_ = 0;
  }
  std::span<std::uint8_t> Bytes() { return {data_, size_}; }

 private:
#if defined(__linux__)
  static constexpr std::uint64_t kMapThreshold = std::uint64_t{1} << 20;

  void Map(std::size_t size) {
    void* mapped = ::mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (mapped == MAP_FAILED) throw std::bad_alloc();
    mapped_ = mapped;
    data_ = static_cast<std::uint8_t*>(mapped);
    size_ = size;
#if defined(MADV_POPULATE_WRITE)
    // Kernels before 5.14 answer EINVAL; the read then faults the pages in.
    if (::madvise(mapped_, size_, MADV_POPULATE_WRITE) != 0 && errno != EINVAL) {
      Release();
      throw std::bad_alloc();
    }
#endif
  }

  void* mapped_ = nullptr;
#endif
  std::unique_ptr<std::uint8_t[]> heap_;
  std::uint8_t* data_ = nullptr;
  std::size_t size_ = 0;
};

// Ends a run through a failure branch: the message, then "Status: Error!".
void FailureBranch(Host& host, const std::string& message) {
  host.ui.ShowMessage(message);
  host.ui.SetStatus(kStatusError);
}

std::string OutOfMemoryText() { return DescribeFailure(FailureKind::OutOfMemory); }

}  // namespace

std::uint64_t RangeBufferLimit() { return Limit(); }
void SetRangeBufferLimit(std::uint64_t bytes) { Limit() = bytes; }

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
    host.lastError = OutOfMemoryText();
  } catch (const std::exception& failure) {
    host.lastError = failure.what();
  }
  return false;
}

void cmdCreateNow_Click(const JobSettings& job, Host& host) {
  if (CopyFile(job, host))
    host.ui.ShowMessage(job.create + " created successfully!");
  else
    host.ui.ShowMessage("Error!  New file NOT created!\r\n" + host.lastError);
}

void cmdGo_Click(const JobSettings& job, Host& host) {
  // Stretch 1: working directory and copy.
  try {
    ChangeToWorkingDirectory(job, host.files);
  } catch (const HostFailure& failure) {
    host.lastError = failure.what();
    return FailureBranch(host, kPathErrorMessage);
  } catch (const std::bad_alloc&) {
    host.lastError = OutOfMemoryText();
    return FailureBranch(host, kPathErrorMessage);
  }
  // The run has just changed directory; a second change could land elsewhere
  // for a relative path.
  if (job.optoverwrite == kChecked && !CopyFile(job, host, false)) {
    host.ui.ShowMessage(kCopyFailedMessage);
    return;
  }

  // Stretch 2: range check, read and command line.
  std::int32_t start = 0;
  RangeBuffer buffer;
  std::string commandLine;
  try {
    start = Val2(job.start);
    const std::int32_t end = Val2(job.end);
    const auto lastIndex =
        static_cast<std::int32_t>(static_cast<std::uint32_t>(end) - static_cast<std::uint32_t>(start));
    if (start < 0 || end < start) {
      host.ui.ShowMessage("You gave a baaaaad range to corrupt! (" + HexForm(start) + "-" +
                          HexForm(end) + ")");
      return;
    }
    const std::int64_t length = host.files.FileLength(job.create);
    if (end >= length) {
      host.ui.ShowMessage(std::string("The specified end reaches beyond the end of the file!") +
                          "\r\n" + HexForm64(length) + " vs " + HexForm(end));
      return;
    }
    host.ui.SetStatus(kStatusLoading);
    buffer.Allocate(static_cast<std::uint64_t>(lastIndex) + 1);
    host.files.ReadAt(job.create, start, buffer.Bytes());
    commandLine = BuildCommandLine(job.emu, job.create);
  } catch (const HostFailure& failure) {
    host.lastError = failure.what();
    return FailureBranch(host, kFileErrorMessage);
  } catch (const std::bad_alloc&) {
    host.lastError = OutOfMemoryText();
    return FailureBranch(host, kFileErrorMessage);
  }

  // Stretch 3: altering.
  try {
    host.ui.SetStatus(kStatusAltering);
    if (SelectAndTransform(job, buffer.Bytes(), host) == TransformResult::Refused) return;
  } catch (const HostFailure& failure) {
    host.lastError = failure.what();
    return FailureBranch(host, "Error! " + host.lastError);
  } catch (const std::bad_alloc&) {
    host.lastError = OutOfMemoryText();
    return FailureBranch(host, "Error! " + host.lastError);
  }

  // Stretch 4: writing and launch.
  try {
    host.files.WriteAt(job.create, start, buffer.Bytes());
    buffer.Release();
    host.launcher.Start(commandLine);
    host.ui.SetStatus(kStatusReady);
  } catch (const HostFailure& failure) {
    host.lastError = failure.what();
    return FailureBranch(host, kFileErrorMessage);
  } catch (const std::bad_alloc&) {
    host.lastError = OutOfMemoryText();
    return FailureBranch(host, kFileErrorMessage);
  }
}

}  // namespace engine
