#pragma once

#include <cstdint>
#include <functional>

#include "engine/host.h"
#include "engine/job_settings.h"

// The output file as a fresh copy of the ROM: the full copy, and the restore
// of only what earlier runs altered.
namespace engine {

inline constexpr const char* kNotCreatedMessage = "Error!  New file NOT created!";
// A cancel while the fresh copy was made: the new file is gone.
inline constexpr const char* kCancelledCopyMessage = "Cancelled!\r\nThe output was left as it was.";

// Changes into the working directory when chdir is checked (drive first when
// the path's second character is ":"). Throws HostFailure.
void ChangeToWorkingDirectory(const JobSettings& job, FileSystem& files);

// A range that a full copy writes itself rather than copies: `length` bytes
// at `offset`, put into the new file by `write` (on the worker, reporting its
// bytes) before the new file replaces the output. `written` tells whether the
// copy was the full one that wrote it.
struct RangeOfCopy {
  std::int64_t offset = 0;
  std::int64_t length = 0;
  std::function<void(NewFile&, Progress&)> write;
  bool written = false;
};

// Makes the output file a fresh copy of the ROM. Changes into the working
// directory first when chdir is checked and `changeDirectory` is true. Shows
// nothing; on failure records the description in host.lastError and returns false.
// With a `range`, the copy writes that range itself, and the record keeps it
// as altered.
bool CopyFile(const JobSettings& job, Host& host, bool changeDirectory = true,
              RangeOfCopy* range = nullptr);

// "Create Now": the copy on demand, reported in a message box.
void CreateNow(const JobSettings& job, Host& host);

// The fresh copy of an "Overwrite Old File" run: where host.record proves that
// neither file changed since this program last wrote the output, only the
// bytes that earlier runs altered are put back from the ROM; otherwise, or
// when that fails, CopyFile without its directory change. The output is then
// byte for byte the ROM either way, or, when the full copy wrote `range`
// itself, the ROM with that range written.
bool MakeFreshCopy(const JobSettings& job, Host& host, RangeOfCopy* range = nullptr);

}  // namespace engine
