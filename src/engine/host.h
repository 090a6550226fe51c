#pragma once

#include <cstdint>
#include <span>
#include <string>

// The services of the host that the engine calls. Every operation that can
// fail throws engine::HostFailure; the callers' failure branches catch it.
namespace engine {

// The fields whose box a refusal may move the keyboard focus into.
enum class FocusTarget { nth, range1, shift };

// What the user sees: message boxes, the status line and the focus.
class UserInterface {
 public:
  virtual ~UserInterface() = default;
  // Modal box with an OK button only, no icon, captioned "ROM Glitchforge 6.0".
  // Lines are separated by "\r\n" in the text.
  virtual void ShowMessage(const std::string& text) = 0;
  // Sets lblStatus and repaints it at once.
  virtual void SetStatus(const std::string& text) = 0;
  virtual void SetFocus(FocusTarget target) = 0;
};

class FileSystem {
 public:
  virtual ~FileSystem() = default;
  // The drive named by the first character of `drive`. Hosts without drive
  // letters have none to change to and throw PathNotFound.
  virtual void ChangeDrive(const std::string& drive) = 0;
  virtual void ChangeDirectory(const std::string& path) = 0;
  // Makes `to` a byte-for-byte copy of `from`, replacing an existing file.
  virtual void Copy(const std::string& from, const std::string& to) = 0;
  // Length in bytes, 64-bit so that disc images of 2 GiB and more measure right.
  virtual std::int64_t FileLength(const std::string& path) = 0;
  // Opens the file for reading and writing, reads exactly out.size() bytes
  // from `offset`, and closes it again; a short read is a failure.
  virtual void ReadAt(const std::string& path, std::int64_t offset, std::span<std::uint8_t> out) = 0;
  // Opens the file, writes all of `data` at `offset`, and closes it again.
  virtual void WriteAt(const std::string& path, std::int64_t offset,
                       std::span<const std::uint8_t> data) = 0;
};

class ProcessLauncher {
 public:
  virtual ~ProcessLauncher() = default;
  // Starts the command line detached, in the current directory, without
  // waiting; throws ProgramNotStartable when it cannot be started. The output
  // file `dataFile` is data, never a program: a command line whose program
  // would be that file (an empty emulator box puts it first) cannot be started.
  virtual void Start(const std::string& commandLine, const std::string& dataFile) = 0;
};

class Clock {
 public:
  virtual ~Clock() = default;
  virtual float SecondsSinceMidnight() = 0;
};

// Uniform random numbers r in [0, 1), handed out as 24-bit numerators:
// r = value / 2^24, so every value lies in [0, 2^24).
class RandomSource {
 public:
  virtual ~RandomSource() = default;
  virtual void Reseed(float seed) = 0;
  // Fills `out` with the next out.size() draws, in order.
  virtual void Draw(std::span<std::uint32_t> out) = 0;
};

inline constexpr int kRandomBits = 24;

// The services one handler call works with. lastError is the description of
// the failure raised last, as the "Error! " and "Create Now" messages show it.
struct Host {
  UserInterface& ui;
  FileSystem& files;
  ProcessLauncher& launcher;
  Clock& clock;
  RandomSource& random;
  std::string lastError;
};

}  // namespace engine
