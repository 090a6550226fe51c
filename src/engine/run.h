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
// A cancel while the range was read or written.
inline constexpr const char* kCancelledRunMessage =
    "Cancelled!\r\nThe output holds the pieces altered before the stop; the next run makes a "
    "fresh copy.";

// One GO press: working directory, copy, range check, read, alter, write,
// emulator start. Everything the user sees goes through host.ui; the long
// stretches run through host.work.
void RunJob(const JobSettings& job, Host& host);

}  // namespace engine
