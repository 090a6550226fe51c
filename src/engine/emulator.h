#pragma once

#include <string>
#include <string_view>

#include "engine/host.h"
#include "engine/job_settings.h"

namespace engine {

// The emulator text with its first "%1" replaced by the output name, or else
// the text, a space and the output name.
std::string BuildCommandLine(std::string_view emulatorText, std::string_view outputName);

// Starts `commandLine` on the job's output, first ending the emulator started
// before when the job asks for that. Throws as ProcessLauncher::Start does.
void StartEmulator(const JobSettings& job, const std::string& commandLine,
                   ProcessLauncher& launcher);

}  // namespace engine
