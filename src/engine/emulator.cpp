#include "engine/emulator.h"

namespace engine {

std::string BuildCommandLine(std::string_view emulatorText, std::string_view outputName) {
  std::string line(emulatorText);
  const auto marker = line.find("%1");
  if (marker == std::string::npos) {
    line += ' ';
    line += outputName;
  } else {
    line.replace(marker, 2, outputName);
  }
  return line;
}

void StartEmulator(const JobSettings& job, const std::string& commandLine,
                   ProcessLauncher& launcher) {
  if (job.closePreviousEmulator) launcher.EndPrevious();
  launcher.Start(commandLine, job.create);
}

}  // namespace engine
