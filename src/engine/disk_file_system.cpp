#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <system_error>

#include "engine/failure.h"
#include "engine/real_host.h"

#if defined(__unix__) || defined(__APPLE__)
#define GLITCHFORGE_POSIX_FILES 1
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#else
#include <fstream>
#endif
#if defined(_WIN32)
#include <direct.h>
#endif

namespace engine {
namespace {

namespace fs = std::filesystem;

std::string Quoted(const std::string& path) { return "\"" + path + "\""; }

[[noreturn]] void Raise(FailureKind kind, const std::string& path, const std::string& reason) {
  throw HostFailure(kind, Quoted(path) + " (" + reason + ")");
}

#if GLITCHFORGE_POSIX_FILES

// What an errno from opening or measuring a file means to the user.
FailureKind OpenFailureKind(int error) {
  return error == ENOTDIR || error == ENAMETOOLONG || error == ELOOP ? FailureKind::PathNotFound
                                                                     : FailureKind::FileNotFound;
}

[[noreturn]] void RaiseErrno(FailureKind kind, const std::string& path, int error) {
  Raise(kind, path, std::strerror(error));
}

// An open file descriptor, closed on every way out.
class FileHandle {
 public:
  // Non-blocking, so that a FIFO under the name fails the regular-file check
  // instead of hanging the window; regular files ignore the flag.
  FileHandle(const std::string& path, int flags, mode_t mode = 0) : path_(path) {
    do {
      fd_ = ::open(path.c_str(), flags | O_CLOEXEC | O_NONBLOCK, mode);
    } while (fd_ < 0 && errno == EINTR);
    if (fd_ < 0) RaiseErrno(OpenFailureKind(errno), path, errno);
  }
  ~FileHandle() { ::close(fd_); }
  FileHandle(const FileHandle&) = delete;
  FileHandle& operator=(const FileHandle&) = delete;

  int fd() const { return fd_; }
  const std::string& path() const { return path_; }

  struct stat Stat() const {
    struct stat st {};
    if (::fstat(fd_, &st) != 0) RaiseErrno(FailureKind::FileAccess, path_, errno);
    return st;
  }

 private:
  std::string path_;
  int fd_ = -1;
};

void RequireRegularFile(const FileHandle& file, const struct stat& st) {
  if (S_ISDIR(st.st_mode)) Raise(FailureKind::FileNotFound, file.path(), "is a directory");
  if (!S_ISREG(st.st_mode)) Raise(FailureKind::FileNotFound, file.path(), "not a regular file");
}

// Plain read/write copy from the current offsets, for file systems where the
// kernel's own copy is not offered.
void CopyByBuffer(const FileHandle& in, const FileHandle& out, off_t offset, off_t length) {
  constexpr std::size_t kChunk = 1 << 20;
  std::unique_ptr<char[]> chunk(new char[kChunk]);
  while (offset < length) {
    const auto want = static_cast<std::size_t>(std::min<off_t>(length - offset, kChunk));
    const ssize_t got = ::pread(in.fd(), chunk.get(), want, offset);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) RaiseErrno(FailureKind::FileAccess, in.path(), errno);
    if (got == 0) return;  // the source ended early: copy what there was
    for (ssize_t done = 0; done < got;) {
      const ssize_t put = ::pwrite(out.fd(), chunk.get() + done, static_cast<std::size_t>(got - done),
                                   offset + done);
      if (put < 0 && errno == EINTR) continue;
      if (put <= 0) RaiseErrno(FailureKind::FileAccess, out.path(), put < 0 ? errno : ENOSPC);
      done += put;
    }
    offset += got;
  }
}

// Copies with the kernel's copy (no trip through user memory), falling back
// to a buffered copy where the file system does not offer it.
void CopyContents(const FileHandle& in, const FileHandle& out, off_t length) {
  off_t offset = 0;
#if defined(__linux__)
  while (offset < length) {
    const auto want = static_cast<std::size_t>(length - offset);
    loff_t inOffset = offset;
    loff_t outOffset = offset;
    ssize_t got = ::copy_file_range(in.fd(), &inOffset, out.fd(), &outOffset, want, 0);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0 && (errno == EXDEV || errno == ENOSYS || errno == EINVAL || errno == EOPNOTSUPP ||
                    errno == EBADF)) {
      break;
    }
    if (got < 0) RaiseErrno(FailureKind::FileAccess, out.path(), errno);
    if (got == 0) return;
    offset += got;
  }
#endif
  CopyByBuffer(in, out, offset, length);
}

#endif  // GLITCHFORGE_POSIX_FILES

}  // namespace

void DiskFileSystem::ChangeDrive(const std::string& drive) {
#if defined(_WIN32)
  const char letter = drive.empty() ? '\0' : static_cast<char>(std::toupper(static_cast<unsigned char>(drive[0])));
  if (letter < 'A' || letter > 'Z' || _chdrive(letter - 'A' + 1) != 0)
    Raise(FailureKind::PathNotFound, drive, "no such drive");
#else
  Raise(FailureKind::PathNotFound, drive, "this system has no drive letters");
#endif
}

void DiskFileSystem::ChangeDirectory(const std::string& path) {
  std::error_code error;
  if (path.empty()) Raise(FailureKind::PathNotFound, path, "no directory given");
  fs::current_path(fs::path(path), error);
  if (error) Raise(FailureKind::PathNotFound, path, error.message());
}

#if GLITCHFORGE_POSIX_FILES

void DiskFileSystem::Copy(const std::string& from, const std::string& to) {
  FileHandle in(from, O_RDONLY);
  const struct stat source = in.Stat();
  RequireRegularFile(in, source);

  // Opened without truncating, so that a destination that turns out to be the
  // source itself (another spelling, a link) is refused before it is emptied.
  FileHandle out(to, O_WRONLY | O_CREAT, source.st_mode & 0777);
  const struct stat target = out.Stat();
  if (target.st_dev == source.st_dev && target.st_ino == source.st_ino)
    Raise(FailureKind::FileAccess, to, "it is the source file itself");
  RequireRegularFile(out, target);
  if (::ftruncate(out.fd(), 0) != 0) RaiseErrno(FailureKind::FileAccess, to, errno);
  CopyContents(in, out, source.st_size);
}

std::int64_t DiskFileSystem::FileLength(const std::string& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) RaiseErrno(OpenFailureKind(errno), path, errno);
  if (S_ISDIR(st.st_mode)) Raise(FailureKind::FileNotFound, path, "is a directory");
  if (!S_ISREG(st.st_mode)) Raise(FailureKind::FileNotFound, path, "not a regular file");
  return static_cast<std::int64_t>(st.st_size);
}

void DiskFileSystem::ReadAt(const std::string& path, std::int64_t offset,
                            std::span<std::uint8_t> out) {
  if (offset < 0) Raise(FailureKind::InvalidArgument, path, "negative position");
  FileHandle file(path, O_RDWR);
  RequireRegularFile(file, file.Stat());
  std::size_t done = 0;
  while (done < out.size()) {
    const ssize_t got = ::pread(file.fd(), out.data() + done, out.size() - done,
                                static_cast<off_t>(offset + static_cast<std::int64_t>(done)));
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) RaiseErrno(FailureKind::FileAccess, path, errno);
    if (got == 0) Raise(FailureKind::FileAccess, path, "the file ended before the range did");
    done += static_cast<std::size_t>(got);
  }
}

void DiskFileSystem::WriteAt(const std::string& path, std::int64_t offset,
                             std::span<const std::uint8_t> data) {
  if (offset < 0) Raise(FailureKind::InvalidArgument, path, "negative position");
  FileHandle file(path, O_RDWR);
  RequireRegularFile(file, file.Stat());
  std::size_t done = 0;
  while (done < data.size()) {
    const ssize_t put = ::pwrite(file.fd(), data.data() + done, data.size() - done,
                                 static_cast<off_t>(offset + static_cast<std::int64_t>(done)));
    if (put < 0 && errno == EINTR) continue;
    if (put < 0) RaiseErrno(FailureKind::FileAccess, path, errno);
    if (put == 0) Raise(FailureKind::FileAccess, path, "nothing could be written");
    done += static_cast<std::size_t>(put);
  }
}

#else  // portable fallback over the standard library

void DiskFileSystem::Copy(const std::string& from, const std::string& to) {
  std::error_code error;
  if (!fs::is_regular_file(from, error))
    Raise(FailureKind::FileNotFound, from, error ? error.message() : "not a regular file");
  if (fs::exists(to, error) && fs::equivalent(from, to, error))
    Raise(FailureKind::FileAccess, to, "it is the source file itself");
  if (!fs::copy_file(from, to, fs::copy_options::overwrite_existing, error))
    Raise(FailureKind::FileAccess, to, error.message());
}

std::int64_t DiskFileSystem::FileLength(const std::string& path) {
  std::error_code error;
  if (!fs::is_regular_file(path, error))
    Raise(FailureKind::FileNotFound, path, error ? error.message() : "not a regular file");
  const auto size = fs::file_size(path, error);
  if (error) Raise(FailureKind::FileNotFound, path, error.message());
  return static_cast<std::int64_t>(size);
}

void DiskFileSystem::ReadAt(const std::string& path, std::int64_t offset,
                            std::span<std::uint8_t> out) {
  std::fstream file(path, std::ios::in | std::ios::out | std::ios::binary);
  if (!file) Raise(FailureKind::FileNotFound, path, "cannot be opened");
  file.seekg(offset);
  file.read(reinterpret_cast<char*>(out.data()), static_cast<std::streamsize>(out.size()));
  if (static_cast<std::size_t>(file.gcount()) != out.size())
    Raise(FailureKind::FileAccess, path, "the file ended before the range did");
}

void DiskFileSystem::WriteAt(const std::string& path, std::int64_t offset,
                             std::span<const std::uint8_t> data) {
  std::fstream file(path, std::ios::in | std::ios::out | std::ios::binary);
  if (!file) Raise(FailureKind::FileNotFound, path, "cannot be opened");
  file.seekp(offset);
  file.write(reinterpret_cast<const char*>(data.data()), static_cast<std::streamsize>(data.size()));
  file.flush();
  if (!file) Raise(FailureKind::FileAccess, path, "the write did not complete");
}

#endif

}  // namespace engine
