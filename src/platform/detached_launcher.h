#pragma once

#include <QObject>
#include <chrono>
#include <cstdint>
#include <optional>
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
//
// EndPrevious sends the polite signal (SIGTERM; on Windows WM_CLOSE to the
// windows of the job the program was put into) and, from a timer on the
// calling thread's event loop, the forcible end (SIGKILL; the job's end) once
// the grace is over. Each process is checked just before each signal: the
// program by its start time, the others by their session and a start no
// earlier than the program's, so a process whose id went to another program
// is not hit.
// Programs still in their grace when the launcher goes are ended at once.
class DetachedLauncher : public engine::ProcessLauncher {
 public:
  static constexpr std::chrono::milliseconds kGrace{2000};

  explicit DetachedLauncher(std::chrono::milliseconds grace = kGrace) : grace_(grace) {}
  ~DetachedLauncher() override;
  DetachedLauncher(const DetachedLauncher&) = delete;
  DetachedLauncher& operator=(const DetachedLauncher&) = delete;

  void Start(const std::string& commandLine, const std::string& dataFile) override;
  bool MayStillWrite(const std::string& dataFile) override;
  void EndPrevious() override;

 private:
  struct Started {
    std::string dataFile;  // its full name, links followed
    std::int64_t pid = 0;
    std::int64_t session = -1;  // of the programs it starts; -1 where unknown or shared with us
    void* handle = nullptr;     // on Windows, kept open so that the process id stays its own
  };
  // The programs of one start, to be ended: the program with its start time
  // (clock ticks since boot) and session on Linux, its job object on Windows.
  struct Programs {
    std::int64_t pid = 0;
    std::int64_t session = -1;
    std::uint64_t since = 0;
    void* job = nullptr;
  };
  void EndForcibly();

  std::chrono::milliseconds grace_;
  std::vector<Started> started_;
  std::optional<Programs> previous_;  // those of the last start
  std::vector<Programs> ending_;      // asked to end, oldest first
  QObject timers_;                    // no grace ends after the launcher is gone
};

}  // namespace platform
