#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/host.h"

namespace platform {

// Starts the emulator without a shell: the command line is split with
// QProcess::splitCommand (double quotes group), a relative program is looked
// for in the current directory first and then on the PATH, and the process is
// detached with the current directory as its own. A program that is the data
// file itself, by whatever name, link or lookup, is refused before anything starts.
//
// It remembers the programs it started: a program may write into its data
// file until it has ended, and so may the programs it started in turn, which
// on Linux are told by the session the detached start gives it.
class DetachedLauncher : public engine::ProcessLauncher {
 public:
  DetachedLauncher() = default;
  ~DetachedLauncher() override;
  DetachedLauncher(const DetachedLauncher&) = delete;
  DetachedLauncher& operator=(const DetachedLauncher&) = delete;

  void Start(const std::string& commandLine, const std::string& dataFile) override;
  bool MayStillWrite(const std::string& dataFile) override;

 private:
  struct Started {
    std::string dataFile;  // its full name, links followed
    std::int64_t pid = 0;
    std::int64_t session = -1;  // of the programs it starts; -1 where unknown or shared with us
    void* handle = nullptr;     // on Windows, kept open so that the process id stays its own
  };
  std::vector<Started> started_;
};

}  // namespace platform
