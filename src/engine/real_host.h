#pragma once

#include <array>
#include <cstdint>

#include "engine/host.h"

// The real host services that need no window: the disk, the clock and the
// random generator. The window and the process launcher live in ui/ and platform/.
namespace engine {

// The real file system, through the host's own calls: POSIX on Linux and
// macOS (disk_file_system.cpp), wide-character Windows calls on Windows
// (disk_file_system_windows.cpp). Only one of the two is compiled.
class DiskFileSystem : public FileSystem {
 public:
  void ChangeDrive(const std::string& drive) override;
  void ChangeDirectory(const std::string& path) override;
  using FileSystem::Copy;
  void Copy(const std::string& from, const std::string& to, Progress& progress) override;
  void CopyRange(const std::string& from, const std::string& to, std::int64_t offset,
                 std::int64_t length, Progress& progress) override;
  std::int64_t FileLength(const std::string& path) override;
  void ReadAt(const std::string& path, std::int64_t offset, std::span<std::uint8_t> out) override;
  void WriteAt(const std::string& path, std::int64_t offset,
               std::span<const std::uint8_t> data) override;
  std::optional<FileStamp> Stamp(const std::string& path) override;

  // False copies through reads and writes, as where the kernel offers no copy
  // of its own; lets tests reach that path. Windows always copies that way.
  bool kernelCopy = true;
};

// Local time of day in seconds since midnight.
class SystemClock : public Clock {
 public:
  float SecondsSinceMidnight() override;
};

// A fast generator of 16 interleaved lanes, vectorised at run time where the
// processor allows; draw j comes from lane j mod 16, so every code path gives
// the same sequence for the same seed.
class FastRandom : public RandomSource {
 public:
  static constexpr int kLanes = 16;
  FastRandom();
  void Reseed(float seed) override;
  void Draw(std::span<std::uint32_t> out) override;

 private:
  // xoshiro128+ per lane, word-major (see transform_kernels.h).
  alignas(64) std::array<std::uint32_t, 4 * kLanes> state_{};
  // Draws of the current round not handed out yet (Draw sizes need not be
  // multiples of kLanes).
  alignas(64) std::array<std::uint32_t, kLanes> pending_{};
  int pendingAt_ = kLanes;
};

}  // namespace engine
