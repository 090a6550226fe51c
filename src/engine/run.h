#pragma once

#include "engine/host.h"
#include "engine/job_settings.h"
#include "engine/status.h"

namespace engine {

// Messages of the run, word for word.
inline constexpr const char* kCopyFailedMessage =
    "Can't copy the original file to the corrupt name for some reason!";
inline constexpr const char* kPathErrorMessage = "Path/Drive errors!  Re-check your directory!";
inline constexpr const char* kFileErrorMessage = "There were problems accessing files!";

// One GO press: working directory, copy, range check, read, alter, write,
// emulator start. Everything the user sees goes through host.ui; the long
// stretches run through host.work.
void RunJob(const JobSettings& job, Host& host);

// Changes into the working directory when chdir is checked (drive first when
// the path's second character is ":"). Throws HostFailure.
void ChangeToWorkingDirectory(const JobSettings& job, FileSystem& files);

// Makes the output file a fresh copy of the ROM. Changes into the working
// directory first when chdir is checked and `changeDirectory` is true. Shows
// nothing; on failure records the description in host.lastError and returns false.
bool CopyFile(const JobSettings& job, Host& host, bool changeDirectory = true);

// "Create Now": the copy on demand, reported in a message box.
void CreateNow(const JobSettings& job, Host& host);

// The fresh copy of an "Overwrite Old File" run: where host.record proves that
// neither file changed since this program last wrote the output, only the
// bytes that earlier runs altered are put back from the ROM; otherwise, or
// when that fails, CopyFile without its directory change. The output is then
// byte for byte the ROM either way.
bool MakeFreshCopy(const JobSettings& job, Host& host);

}  // namespace engine
