#pragma once

#include "engine/host.h"

namespace host {

// How a full copy moves the bytes.
enum class CopyMethod {
  KernelWhereOffered,  // the kernel's own copy where it has one (shares blocks, keeps holes)
  ReadWrite,           // reads and writes through a buffer, as where the kernel offers none
};

// What the copy is written into before it replaces the output.
enum class TemporaryFile {
  UnnamedWhereOffered,  // a file without a name until complete, where the file system has them
  Named,                // a file with a temporary name, as where the file system has none
};

// The real file system, through the host's own calls: POSIX on Linux and
// macOS (disk_file_system.cpp), wide-character Windows calls on Windows
// (disk_file_system_windows.cpp). Only one of the two is compiled. Safe to
// call from the worker thread as well as the window's, one call at a time.
class DiskFileSystem : public engine::FileSystem {
 public:
  // Windows always copies by reads and writes, into a named file.
  explicit DiskFileSystem(CopyMethod copyMethod = CopyMethod::KernelWhereOffered,
                          TemporaryFile temporary = TemporaryFile::UnnamedWhereOffered)
      : kernelCopy_(copyMethod == CopyMethod::KernelWhereOffered),
        unnamedTemporary_(temporary == TemporaryFile::UnnamedWhereOffered) {}

  void ChangeDrive(const std::string& drive) override;
  void ChangeDirectory(const std::string& path) override;
  using FileSystem::Copy;
  void Copy(const std::string& from, const std::string& to, engine::Progress& progress) override;
  void CopyRange(const std::string& from, const std::string& to, std::int64_t offset,
                 std::int64_t length, engine::Progress& progress) override;
  std::int64_t FileLength(const std::string& path) override;
  void ReadAt(const std::string& path, std::int64_t offset, std::span<std::uint8_t> out) override;
  void WriteAt(const std::string& path, std::int64_t offset,
               std::span<const std::uint8_t> data) override;
  void ReadOnlyAt(const std::string& path, std::int64_t offset,
                  std::span<std::uint8_t> out) override;
  std::optional<engine::FileStamp> Stamp(const std::string& path) override;
  void Replace(const std::string& path, const std::function<void(engine::NewFile&)>& fill) override;
  std::optional<engine::FileStamp> MarkWritten(const std::string& path) override;

 protected:
  [[maybe_unused]] bool kernelCopy_;
  [[maybe_unused]] bool unnamedTemporary_;

 private:
  // ReadAt with the given open mode.
  void ReadFrom(const std::string& path, int mode, std::int64_t offset,
                std::span<std::uint8_t> out);
};

}  // namespace host
