// The disk on Linux and macOS: POSIX calls with positioned reads and writes.
#include "host/disk_file_system.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <system_error>

#include "engine/failure.h"
#include "host/temporary_name.h"

namespace host {

using engine::FailureKind;
using engine::FileStamp;
using engine::Progress;
using engine::RaiseAbout;

namespace {

namespace fs = std::filesystem;

// No file or directory can have a name that holds a NUL byte; the system
// calls would silently take the part before it for the whole name.
void RequireNoNul(const std::string& path, FailureKind kind) {
  if (path.find('\0') != std::string::npos) RaiseAbout(kind, path, "the name holds a NUL byte");
}

bool IsDirectory(const std::string& path) {
  struct stat st {};
  return ::stat(path.empty() ? "." : path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// What an errno from opening or measuring `path` means to the user: a missing
// name in an existing directory is a missing file, a missing directory a
// missing path; a file that is there but refuses to open cannot be opened.
FailureKind OpenFailureKind(const std::string& path, int error) {
  switch (error) {
    case ENOENT:
      return IsDirectory(fs::path(path).parent_path().string()) ? FailureKind::FileNotFound
                                                                : FailureKind::PathNotFound;
    case ENOTDIR:
    case ELOOP: return FailureKind::PathNotFound;
    default: return FailureKind::FileNotOpenable;
  }
}

[[noreturn]] void RaiseErrno(FailureKind kind, const std::string& path, int error) {
  RaiseAbout(kind, path, std::strerror(error));
}

// A name the system refuses is no missing path: the user learns why.
void RaiseIfNameRefused(const std::string& shown, int error) {
  if (error == ENAMETOOLONG) RaiseAbout(FailureKind::FileNotOpenable, shown, "name too long");
  if (error == EINVAL || error == EILSEQ)
    RaiseAbout(FailureKind::FileNotOpenable, shown, "not valid on this system");
}

[[noreturn]] void RaiseOpenFailure(const std::string& path, const std::string& shown, int error) {
  RaiseIfNameRefused(shown, error);
  RaiseErrno(OpenFailureKind(path, error), shown, error);
}

// A failed write of a full copy: the copy needs room for a second image
// beside the output it replaces.
[[noreturn]] void RaiseCopyFailure(const std::string& shown, int error) {
  if (error == ENOSPC || error == EDQUOT) {
    RaiseAbout(FailureKind::FileAccess, shown,
               std::string("no room for a second copy of the image: ") + std::strerror(error));
  }
  RaiseErrno(FailureKind::FileAccess, shown, error);
}

// An open file descriptor, closed on every way out. Failures name `shown`,
// the name the user typed, which may differ from the name opened.
class FileHandle {
 public:
  // Non-blocking, so that a FIFO under the name fails the regular-file check
  // instead of hanging the window; regular files ignore the flag.
  FileHandle(const std::string& path, int flags) : path_(path) {
    RequireNoNul(path, FailureKind::FileNotFound);
    do {
      fd_ = ::open(path.c_str(), flags | O_CLOEXEC | O_NONBLOCK);
    } while (fd_ < 0 && errno == EINTR);
    if (fd_ < 0) RaiseOpenFailure(path, path_, errno);
  }
  // Takes over a descriptor that is open already.
  FileHandle(int fd, const std::string& shown) : path_(shown), fd_(fd) {}
  ~FileHandle() {
    if (fd_ >= 0) ::close(fd_);
  }
  FileHandle(const FileHandle&) = delete;
  FileHandle& operator=(const FileHandle&) = delete;

  int fd() const { return fd_; }
  const std::string& path() const { return path_; }

  struct stat Stat() const {
    struct stat st {};
    if (::fstat(fd_, &st) != 0) RaiseErrno(FailureKind::FileAccess, path_, errno);
    return st;
  }

  // Closes now and reports what the close reports: some file systems tell
  // only here that the data did not fit.
  void Close() {
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0 && errno != EINTR) RaiseCopyFailure(path_, errno);
  }

 private:
  std::string path_;
  int fd_ = -1;
};

void RequireRegularFile(const std::string& shown, const struct stat& st) {
  if (S_ISDIR(st.st_mode)) RaiseAbout(FailureKind::FileNotOpenable, shown, "is a directory");
  if (!S_ISREG(st.st_mode)) RaiseAbout(FailureKind::FileNotOpenable, shown, "not a regular file");
}

// The file a name stands for once symbolic links in its last part are
// followed, whether or not that file exists yet: the link itself stays.
std::string FinalTarget(const std::string& path) {
  fs::path current = path;
  for (int hops = 0; hops < 40; ++hops) {
    struct stat st {};
    if (::lstat(current.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return current.string();
    std::string link(static_cast<std::size_t>(st.st_size > 0 ? st.st_size : 255) + 1, '\0');
    const ssize_t length = ::readlink(current.c_str(), link.data(), link.size());
    if (length < 0) RaiseErrno(FailureKind::PathNotFound, path, errno);
    link.resize(static_cast<std::size_t>(length));
    const fs::path next(link);
    current = next.is_absolute() ? next : current.parent_path() / next;
  }
  RaiseErrno(FailureKind::PathNotFound, path, ELOOP);
}

// Removes the temporary copies that copies into this folder left behind when
// their program was killed or lost its power: files of this program's own
// name that nobody holds locked. A copy being written holds its lock until
// its file has been moved onto the output.
void RemoveLeftovers(int folder) {
  const int listing = ::openat(folder, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (listing < 0) return;
  DIR* entries = ::fdopendir(listing);
  if (!entries) {
    ::close(listing);
    return;
  }
  while (const dirent* entry = ::readdir(entries)) {
    const std::string name = entry->d_name;
    struct stat seen {};
    if (!IsTemporaryName(name) ||
        ::fstatat(folder, name.c_str(), &seen, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(seen.st_mode))
      continue;
    const int fd = ::openat(folder, name.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) continue;
    struct stat opened {};
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0 && ::fstat(fd, &opened) == 0 &&
        ::fstatat(folder, name.c_str(), &seen, AT_SYMLINK_NOFOLLOW) == 0 &&
        opened.st_dev == seen.st_dev && opened.st_ino == seen.st_ino)
      ::unlinkat(folder, name.c_str(), 0);
    ::close(fd);
  }
  ::closedir(entries);
}

// A folder opened only to name files in it, which takes no permission to read it.
#if defined(O_PATH)
constexpr int kFolderOnly = O_PATH;
#else
constexpr int kFolderOnly = O_RDONLY;
#endif

// The new file that becomes the output, in the output's folder, created with
// the mode of any new file (0666 less the umask), never the source's. Where
// the file system offers unnamed files (O_TMPFILE), it gets a name only once
// it is complete, right before it is moved onto the output: a program killed
// while copying leaves nothing. Elsewhere it has a temporary name from the
// start, which the next copy into the folder removes if this one never ends.
// Names are taken relative to the folder, so the output's own name and path
// may be as long as the system allows.
class TemporaryCopy {
 public:
  TemporaryCopy(const fs::path& target, const std::string& shown, bool unnamed)
      : shown_(shown), base_(target.filename().string()) {
    const std::string folder = target.has_parent_path() ? target.parent_path().string() : ".";
    folder_ = ::open(folder.c_str(), kFolderOnly | O_DIRECTORY | O_CLOEXEC);
    if (folder_ < 0) RaiseOpenFailure(folder, shown, errno);
    RemoveLeftovers(folder_);
    if (!unnamed || !OpenUnnamed()) OpenNamed();
  }
  ~TemporaryCopy() {
    if (!name_.empty()) ::unlinkat(folder_, name_.c_str(), 0);
    file_.reset();
    ::close(folder_);
  }
  TemporaryCopy(const TemporaryCopy&) = delete;
  TemporaryCopy& operator=(const TemporaryCopy&) = delete;

  const FileHandle& file() const { return *file_; }

  // Closes the copy and puts it in the target's place in one step. The lock
  // stays on a second descriptor until then, so that no other copy takes the
  // named file for a leftover.
  void MoveOnto() {
    if (name_.empty()) Name();
    const int locked = ::dup(file_->fd());
    try {
      file_->Close();
    } catch (...) {
      if (locked >= 0) ::close(locked);
      throw;
    }
    const int moved = ::renameat(folder_, name_.c_str(), folder_, base_.c_str());
    const int error = errno;
    if (locked >= 0) ::close(locked);
    if (moved != 0) {
      RaiseIfNameRefused(shown_, error);
      RaiseCopyFailure(shown_, error);
    }
    name_.clear();
  }

 private:
  [[noreturn]] void RaiseCreateFailure(int error) {
    if (error == ENOSPC || error == EDQUOT) RaiseCopyFailure(shown_, error);
    RaiseOpenFailure(base_, shown_, error);
  }

  bool OpenUnnamed() {
#if defined(O_TMPFILE)
    // The name is given through /proc, the one way open to every user.
    if (::access("/proc/self/fd", X_OK) != 0) return false;
    const int fd = ::openat(folder_, ".", O_TMPFILE | O_RDWR | O_CLOEXEC, 0666);
    if (fd < 0 && (errno == EOPNOTSUPP || errno == EISDIR || errno == EINVAL)) return false;
    if (fd < 0) RaiseCreateFailure(errno);
    file_ = std::make_unique<FileHandle>(fd, shown_);
    ::flock(fd, LOCK_EX | LOCK_NB);
    return true;
#else
    return false;
#endif
  }

  // Another copy into the folder may take a new file for a leftover before it
  // is locked: then it is gone or locked by that copy, and another name is tried.
  void OpenNamed() {
    for (unsigned attempt = 0; attempt < 100; ++attempt) {
      const std::string name = TemporaryName();
      const int fd =
          ::openat(folder_, name.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
      if (fd < 0 && errno == EEXIST) continue;
      if (fd < 0) RaiseCreateFailure(errno);
      auto file = std::make_unique<FileHandle>(fd, shown_);
      const bool locked = ::flock(fd, LOCK_EX | LOCK_NB) == 0 || errno != EWOULDBLOCK;
      struct stat opened {};
      struct stat named {};
      if (locked && ::fstat(fd, &opened) == 0 &&
          ::fstatat(folder_, name.c_str(), &named, AT_SYMLINK_NOFOLLOW) == 0 &&
          opened.st_dev == named.st_dev && opened.st_ino == named.st_ino) {
        file_ = std::move(file);
        name_ = name;
        return;
      }
    }
    RaiseErrno(FailureKind::FileNotOpenable, shown_, EEXIST);
  }

  // Links the unnamed file into the folder under a temporary name.
  void Name() {
    const std::string self = "/proc/self/fd/" + std::to_string(file_->fd());
    for (unsigned attempt = 0; attempt < 100; ++attempt) {
      const std::string name = TemporaryName();
      if (::linkat(AT_FDCWD, self.c_str(), folder_, name.c_str(), AT_SYMLINK_FOLLOW) == 0) {
        name_ = name;
        return;
      }
      if (errno != EEXIST) RaiseCopyFailure(shown_, errno);
    }
    RaiseErrno(FailureKind::FileAccess, shown_, EEXIST);
  }

  std::string shown_;
  std::string base_;
  int folder_ = -1;
  std::string name_;  // while the file has a temporary name
  std::unique_ptr<FileHandle> file_;
};

// Copies bytes [from, to) of `in` to the same places of `out` and returns
// where the source ended: `to`, or earlier when it was shorter. Uses the
// kernel's copy (no trip through user memory, and shared blocks where the
// file system offers them), falling back to reads and writes where it is not
// offered. Reports progress every few MiB.
off_t CopySegment(const FileHandle& in, const FileHandle& out, off_t from, off_t to,
                  Progress& progress, bool kernelCopy, bool fullCopy = false) {
  const auto raiseWriteFailure = [&](int error) {
    if (fullCopy) RaiseCopyFailure(out.path(), error);
    RaiseErrno(FailureKind::FileAccess, out.path(), error);
  };
  constexpr off_t kStep = off_t{8} << 20;
  off_t at = from;
#if defined(__linux__)
  while (kernelCopy && at < to) {
    loff_t inOffset = at;
    loff_t outOffset = at;
    const auto want = static_cast<std::size_t>(std::min(to - at, kStep));
    const ssize_t got = ::copy_file_range(in.fd(), &inOffset, out.fd(), &outOffset, want, 0);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0 && (errno == EXDEV || errno == ENOSYS || errno == EINVAL || errno == EOPNOTSUPP ||
                    errno == EBADF)) {
      break;
    }
    if (got < 0) raiseWriteFailure(errno);
    if (got == 0) return at;
    at += got;
    progress.Advance(static_cast<std::uint64_t>(got));
  }
#endif
  std::unique_ptr<char[]> chunk;
  while (at < to) {
    if (!chunk) chunk.reset(new char[static_cast<std::size_t>(kStep)]);
    const auto want = static_cast<std::size_t>(std::min(to - at, kStep));
    const ssize_t got = ::pread(in.fd(), chunk.get(), want, at);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) RaiseErrno(FailureKind::FileAccess, in.path(), errno);
    if (got == 0) return at;
    for (ssize_t done = 0; done < got;) {
      const ssize_t put =
          ::pwrite(out.fd(), chunk.get() + done, static_cast<std::size_t>(got - done), at + done);
      if (put < 0 && errno == EINTR) continue;
      if (put <= 0) raiseWriteFailure(put < 0 ? errno : ENOSPC);
      done += put;
    }
    at += got;
    progress.Advance(static_cast<std::uint64_t>(got));
  }
  return at;
}

// Copies `length` bytes of `in` into the empty `out`, except the bytes
// [skipFrom, skipTo), which are neither copied nor reported. Only the data that
// SEEK_DATA and SEEK_HOLE find is copied and the length is set at the end, so
// a sparse file's holes stay holes. A source that ends early gives a copy of
// what there was.
void CopyContents(const FileHandle& in, const FileHandle& out, off_t length, Progress& progress,
                  bool kernelCopy, off_t skipFrom = 0, off_t skipTo = 0) {
  const auto outside = [&](off_t from, off_t to) {
    return (to - from) - std::max<off_t>(0, std::min(to, skipTo) - std::max(from, skipFrom));
  };
  off_t at = 0;
  while (at < length) {
    off_t data = at;
    off_t hole = length;
#if defined(SEEK_DATA) && defined(SEEK_HOLE)
    data = ::lseek(in.fd(), at, SEEK_DATA);
    if (data < 0 && errno == ENXIO) {
      data = length;  // nothing but a hole is left
    } else if (data < 0) {
      data = at;  // holes are not told apart here: all of it is data
    } else {
      data = std::min(data, length);
      hole = ::lseek(in.fd(), data, SEEK_HOLE);
      hole = hole < 0 ? length : std::min(hole, length);
    }
#endif
    progress.Advance(static_cast<std::uint64_t>(outside(at, data)));
    at = data;
    if (at == length) break;
    const off_t cut = std::clamp(skipFrom, at, hole);
    const off_t resume = std::max(cut, std::clamp(skipTo, at, hole));
    off_t reached = at < cut ? CopySegment(in, out, at, cut, progress, kernelCopy, true) : cut;
    if (reached == cut) reached = resume;
    if (reached == resume && resume < hole)
      reached = CopySegment(in, out, resume, hole, progress, kernelCopy, true);
    if (reached < hole) {
      length = reached;
      break;
    }
    at = hole;
  }
  if (::ftruncate(out.fd(), length) != 0) RaiseCopyFailure(out.path(), errno);
}

off_t At(std::int64_t offset, std::size_t done) {
  return static_cast<off_t>(offset + static_cast<std::int64_t>(done));
}

// Repeats a positioned read or write until `size` bytes have moved; `step`
// moves what it can from `done` on and returns that count, as pread does.
template <typename Step>
void MoveAll(const std::string& path, std::size_t size, const char* stalled, Step step) {
  std::size_t done = 0;
  while (done < size) {
    const ssize_t moved = step(done);
    if (moved < 0 && errno == EINTR) continue;
    if (moved < 0) RaiseErrno(FailureKind::FileAccess, path, errno);
    if (moved == 0) RaiseAbout(FailureKind::FileAccess, path, stalled);
    done += static_cast<std::size_t>(moved);
  }
}

}  // namespace

void DiskFileSystem::ChangeDrive(const std::string& drive) {
  RaiseAbout(FailureKind::PathNotFound, drive, "this system has no drive letters");
}

void DiskFileSystem::ChangeDirectory(const std::string& path) {
  if (path.empty()) RaiseAbout(FailureKind::PathNotFound, path, "no directory given");
  RequireNoNul(path, FailureKind::PathNotFound);
  std::error_code error;
  fs::current_path(fs::path(path), error);
  if (!error) return;
  RaiseIfNameRefused(path, error.value());
  const bool missing = error == std::errc::no_such_file_or_directory ||
                       error == std::errc::not_a_directory ||
                       error == std::errc::too_many_symbolic_link_levels;
  RaiseAbout(missing ? FailureKind::PathNotFound : FailureKind::PathNotAccessible, path,
             error.message());
}

// The copy goes to a new file beside the output (beside the target of a
// symbolic link, so that the link stays) and replaces the output only when
// complete: a failed copy leaves the old output as it was and nothing else.
namespace {

// The file a new one will replace under `to`, checked: a regular file, or no
// file yet in an existing folder, and never the `source` itself.
std::string CheckedTarget(const std::string& to, const struct stat* source) {
  RequireNoNul(to, FailureKind::FileNotFound);
  const std::string target = FinalTarget(to);
  struct stat existing {};
  if (::stat(target.c_str(), &existing) == 0) {
    // Another spelling of the source, a link or a hard link to it.
    if (source && existing.st_dev == source->st_dev && existing.st_ino == source->st_ino)
      RaiseAbout(FailureKind::FileAccess, to, "it is the source file itself");
    RequireRegularFile(to, existing);
  } else if (const int error = errno;
             error != ENOENT || !IsDirectory(fs::path(target).parent_path().string())) {
    RaiseOpenFailure(target, to, error);
  }
  return target;
}

}  // namespace

void DiskFileSystem::Copy(const std::string& from, const std::string& to, Progress& progress) {
  FileHandle in(from, O_RDONLY);
  const struct stat source = in.Stat();
  RequireRegularFile(from, source);
  TemporaryCopy copy(CheckedTarget(to, &source), to, unnamedTemporary_);
  CopyContents(in, copy.file(), source.st_size, progress, kernelCopy_);
  copy.MoveOnto();
}

void DiskFileSystem::CopyRange(const std::string& from, const std::string& to, std::int64_t offset,
                               std::int64_t length, Progress& progress) {
  if (offset < 0 || length < 0) RaiseAbout(FailureKind::InvalidArgument, to, "negative position");
  FileHandle in(from, O_RDONLY);
  RequireRegularFile(from, in.Stat());
  FileHandle out(to, O_WRONLY);
  RequireRegularFile(to, out.Stat());
  const auto end = static_cast<off_t>(offset + length);
  if (CopySegment(in, out, static_cast<off_t>(offset), end, progress, kernelCopy_) < end)
    RaiseAbout(FailureKind::FileAccess, from, "the file ended before the range did");
}

namespace {

std::int64_t Nanoseconds(const struct timespec& t) {
  return static_cast<std::int64_t>(t.tv_sec) * 1000000000 + t.tv_nsec;
}

std::int64_t Now() {
  struct timespec now {};
  ::clock_gettime(CLOCK_REALTIME, &now);
  return Nanoseconds(now);
}

// The coarsest step of a file system's clock (FAT's two seconds), with room
// for the kernel's clock lagging the one read here.
constexpr std::int64_t kCoarsestStep = 3'000'000'000;

}  // namespace

std::optional<FileStamp> DiskFileSystem::Stamp(const std::string& path) {
  struct stat st {};
  const std::int64_t now = Now();
  if (path.find('\0') != std::string::npos || ::stat(path.c_str(), &st) != 0 ||
      !S_ISREG(st.st_mode))
    return std::nullopt;
  const std::int64_t modified = Nanoseconds(st.st_mtim);
  return FileStamp{static_cast<std::uint64_t>(st.st_dev),
                   static_cast<std::uint64_t>(st.st_ino),
                   static_cast<std::int64_t>(st.st_size),
                   modified,
                   Nanoseconds(st.st_ctim),
                   modified <= now - kCoarsestStep};
}

// A moment a step before the coarsest one: a write from now on gets a later
// time, even rounded down to FAT's two seconds, so the stamp tells it.
std::optional<FileStamp> DiskFileSystem::MarkWritten(const std::string& path) {
  if (path.find('\0') != std::string::npos) return std::nullopt;
  const std::int64_t back = Now() - kCoarsestStep - 1'000'000'000;
  const struct timespec times[2] = {{0, UTIME_OMIT}, {back / 1000000000, back % 1000000000}};
  if (::utimensat(AT_FDCWD, path.c_str(), times, 0) != 0) return std::nullopt;
  const auto stamp = Stamp(path);
  if (!stamp || stamp->modified > back) return std::nullopt;
  return stamp;
}

std::int64_t DiskFileSystem::FileLength(const std::string& path) {
  RequireNoNul(path, FailureKind::FileNotFound);
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) RaiseOpenFailure(path, path, errno);
  RequireRegularFile(path, st);
  return static_cast<std::int64_t>(st.st_size);
}

void DiskFileSystem::ReadAt(const std::string& path, std::int64_t offset,
                            std::span<std::uint8_t> out) {
  ReadFrom(path, O_RDWR, offset, out);
}

void DiskFileSystem::ReadOnlyAt(const std::string& path, std::int64_t offset,
                                std::span<std::uint8_t> out) {
  ReadFrom(path, O_RDONLY, offset, out);
}

void DiskFileSystem::ReadFrom(const std::string& path, int flags, std::int64_t offset,
                              std::span<std::uint8_t> out) {
  if (offset < 0) RaiseAbout(FailureKind::InvalidArgument, path, "negative position");
  FileHandle file(path, flags);
  RequireRegularFile(path, file.Stat());
  MoveAll(path, out.size(), "the file ended before the range did", [&](std::size_t done) {
    return ::pread(file.fd(), out.data() + done, out.size() - done, At(offset, done));
  });
}

void DiskFileSystem::WriteAt(const std::string& path, std::int64_t offset,
                             std::span<const std::uint8_t> data) {
  if (offset < 0) RaiseAbout(FailureKind::InvalidArgument, path, "negative position");
  FileHandle file(path, O_RDWR);
  RequireRegularFile(path, file.Stat());
  MoveAll(path, data.size(), "nothing could be written", [&](std::size_t done) {
    return ::pwrite(file.fd(), data.data() + done, data.size() - done, At(offset, done));
  });
}

namespace {

// The new file of a Replace, open for reading and writing.
class DiskNewFile : public engine::NewFile {
 public:
  DiskNewFile(const FileHandle& file, const std::string& target, bool kernelCopy)
      : file_(file), target_(target), kernelCopy_(kernelCopy) {}

  void CopyFrom(const std::string& from, Progress& progress) override {
    CopyFromExcept(from, 0, 0, progress);
  }
  // Never from the file this one will replace, under any name.
  void CopyFromExcept(const std::string& from, std::int64_t offset, std::int64_t length,
                      Progress& progress) override {
    FileHandle in(from, O_RDONLY);
    const struct stat source = in.Stat();
    RequireRegularFile(from, source);
    CheckedTarget(target_, &source);
    CopyContents(in, file_, source.st_size, progress, kernelCopy_, static_cast<off_t>(offset),
                 static_cast<off_t>(offset + length));
  }
  // In writes of 64 KiB: on ext4 (Linux 6.18) writes of 4 MiB into blocks
  // not yet allocated often took three times as long as the kernel's copy of
  // the same bytes, while writes of 64 KiB kept its pace.
  void WriteAt(std::int64_t offset, std::span<const std::uint8_t> data) override {
    constexpr std::size_t kWriteBytes = std::size_t{64} << 10;
    if (offset < 0) RaiseAbout(FailureKind::InvalidArgument, file_.path(), "negative position");
    MoveAll(file_.path(), data.size(), "nothing could be written", [&](std::size_t done) {
      return ::pwrite(file_.fd(), data.data() + done, std::min(data.size() - done, kWriteBytes),
                      At(offset, done));
    });
  }
  void ReadAt(std::int64_t offset, std::span<std::uint8_t> out) override {
    if (offset < 0) RaiseAbout(FailureKind::InvalidArgument, file_.path(), "negative position");
    MoveAll(file_.path(), out.size(), "the file ended before the range did", [&](std::size_t done) {
      return ::pread(file_.fd(), out.data() + done, out.size() - done, At(offset, done));
    });
  }
  void Resize(std::int64_t size) override {
    if (size < 0 || ::ftruncate(file_.fd(), static_cast<off_t>(size)) != 0)
      RaiseErrno(FailureKind::FileAccess, file_.path(), size < 0 ? EINVAL : errno);
  }

 private:
  const FileHandle& file_;
  const std::string& target_;
  bool kernelCopy_;
};

}  // namespace

void DiskFileSystem::Replace(const std::string& path,
                             const std::function<void(engine::NewFile&)>& fill) {
  TemporaryCopy copy(CheckedTarget(path, nullptr), path, unnamedTemporary_);
  DiskNewFile file(copy.file(), path, kernelCopy_);
  fill(file);
  copy.MoveOnto();
}

}  // namespace host
