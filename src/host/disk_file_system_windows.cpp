// The disk on Windows: wide-character calls on names given in UTF-8,
// positioned reads and writes, and a copy written beside the output and moved
// over it. Failure kinds and wording follow the POSIX adapter.
#define WIN32_LEAN_AND_MEAN
#define NOMINMAX
#include <windows.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdio>
#include <cwctype>
#include <memory>
#include <optional>
#include <string>

#include "engine/failure.h"
#include "host/disk_file_system.h"
#include "host/temporary_name.h"

namespace host {

using engine::FailureKind;
using engine::FileStamp;
using engine::Progress;
using engine::RaiseAbout;

namespace {

std::string Narrow(const std::wstring& text) {
  const int size = ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                         nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<std::size_t>(size), '\0');
  ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), size,
                        nullptr, nullptr);
  return out;
}

// The errors a user meets every day in the words the other hosts use for
// them; the rest in the system's own words.
std::string Reason(DWORD error) {
  switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND: return "No such file or directory";
    case ERROR_ACCESS_DENIED: return "Permission denied";
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL: return "No space left on device";
    case ERROR_FILENAME_EXCED_RANGE: return "File name too long";
    case ERROR_DIRECTORY: return "Not a directory";
  }
  wchar_t* text = nullptr;
  ::FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  std::string reason = text ? Narrow(text) : "system error " + std::to_string(error);
  ::LocalFree(text);
  while (!reason.empty() &&
         (std::isspace(static_cast<unsigned char>(reason.back())) || reason.back() == '.'))
    reason.pop_back();
  return reason;
}

// What an error from opening `path` means to the user: a missing name in an
// existing directory is a missing file (Windows says so itself), a missing
// directory or drive a missing path; a file that is there but refuses to
// open cannot be opened.
FailureKind OpenFailureKind(DWORD error) {
  switch (error) {
    case ERROR_FILE_NOT_FOUND: return FailureKind::FileNotFound;
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
    case ERROR_BAD_NETPATH:
    case ERROR_DIRECTORY: return FailureKind::PathNotFound;
    default: return FailureKind::FileNotOpenable;
  }
}

// A name the system refuses is no missing path: the user learns why.
void RaiseIfNameRefused(const std::string& path, DWORD error) {
  if (error == ERROR_FILENAME_EXCED_RANGE)
    RaiseAbout(FailureKind::FileNotOpenable, path, "name too long");
  if (error == ERROR_INVALID_NAME)
    RaiseAbout(FailureKind::FileNotOpenable, path, "not valid on this system");
}

// A failed write of a full copy: the copy needs room for a second image
// beside the output it replaces.
[[noreturn]] void RaiseCopyFailure(const std::string& path, DWORD error) {
  if (error == ERROR_DISK_FULL || error == ERROR_HANDLE_DISK_FULL) {
    RaiseAbout(FailureKind::FileAccess, path,
               "no room for a second copy of the image: " + Reason(error));
  }
  RaiseAbout(FailureKind::FileAccess, path, Reason(error));
}

// No file or directory can have a name that holds a NUL byte, nor one that
// is not UTF-8; the wide-character calls would take the part before a NUL
// for the whole name. No file system of Windows takes a name of more than
// 255 characters, and some report it as a missing path.
std::wstring Wide(const std::string& path, FailureKind kind) {
  if (path.find('\0') != std::string::npos) RaiseAbout(kind, path, "the name holds a NUL byte");
  if (path.empty()) return {};
  const int size = ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, path.data(),
                                         static_cast<int>(path.size()), nullptr, 0);
  if (size == 0) RaiseAbout(kind, path, "the name is not UTF-8");
  std::wstring out(static_cast<std::size_t>(size), L'\0');
  ::MultiByteToWideChar(CP_UTF8, 0, path.data(), static_cast<int>(path.size()), out.data(), size);
  for (std::size_t start = 0, end; start < out.size(); start = end + 1) {
    end = std::min(out.find_first_of(L"\\/", start), out.size());
    if (end - start > 255) RaiseAbout(FailureKind::FileNotOpenable, path, "name too long");
  }
  return out;
}

[[noreturn]] void RaiseOpenFailure(const std::string& path, const std::wstring& name, DWORD error) {
  // Windows refuses to open a directory as a file with "access denied".
  if (error == ERROR_ACCESS_DENIED) {
    const DWORD attributes = ::GetFileAttributesW(name.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
      RaiseAbout(FailureKind::FileNotOpenable, path, "is a directory");
  }
  RaiseIfNameRefused(path, error);
  RaiseAbout(OpenFailureKind(error), path, Reason(error));
}

// An open file handle, closed on every way out. Failures name `path`, the
// name the user typed, which for a temporary copy is the output's name.
class FileHandle {
 public:
  // An open that fails with `expected` leaves the handle closed instead.
  FileHandle(const std::string& path, const std::wstring& name, DWORD access, DWORD disposition,
             DWORD expected = ERROR_SUCCESS,
             DWORD sharing = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE)
      : path_(path) {
    handle_ = ::CreateFileW(name.c_str(), access, sharing, nullptr, disposition,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle_ != INVALID_HANDLE_VALUE) return;
    const DWORD error = ::GetLastError();
    if (error != expected) RaiseOpenFailure(path, name, error);
  }
  FileHandle(const std::string& path, DWORD access)
      : FileHandle(path, Wide(path, FailureKind::FileNotFound), access, OPEN_EXISTING) {}
  ~FileHandle() {
    if (IsOpen()) ::CloseHandle(handle_);
  }
  FileHandle(const FileHandle&) = delete;
  FileHandle& operator=(const FileHandle&) = delete;

  bool IsOpen() const { return handle_ != INVALID_HANDLE_VALUE; }
  HANDLE get() const { return handle_; }
  const std::string& path() const { return path_; }

  BY_HANDLE_FILE_INFORMATION Info() const {
    BY_HANDLE_FILE_INFORMATION info{};
    if (!::GetFileInformationByHandle(handle_, &info))
      RaiseAbout(FailureKind::FileAccess, path_, Reason(::GetLastError()));
    return info;
  }

  // Devices (NUL, CON, COM1), pipes and directories are no files to copy or alter.
  void RequireRegularFile() const {
    if (::GetFileType(handle_) != FILE_TYPE_DISK)
      RaiseAbout(FailureKind::FileNotOpenable, path_, "not a regular file");
    if (Info().dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
      RaiseAbout(FailureKind::FileNotOpenable, path_, "is a directory");
  }

 private:
  std::string path_;
  HANDLE handle_ = INVALID_HANDLE_VALUE;
};

constexpr std::size_t kMaxTransfer = 1u << 30;

OVERLAPPED At(std::int64_t offset) {
  OVERLAPPED at{};
  at.Offset = static_cast<DWORD>(offset);
  at.OffsetHigh = static_cast<DWORD>(static_cast<std::uint64_t>(offset) >> 32);
  return at;
}

// Reads up to `size` bytes at `offset`; 0 at the end of the file.
std::size_t ReadSome(const FileHandle& file, std::int64_t offset, void* out, std::size_t size) {
  OVERLAPPED at = At(offset);
  DWORD got = 0;
  if (!::ReadFile(file.get(), out, static_cast<DWORD>(std::min(size, kMaxTransfer)), &got, &at)) {
    const DWORD error = ::GetLastError();
    if (error == ERROR_HANDLE_EOF) return 0;
    RaiseAbout(FailureKind::FileAccess, file.path(), Reason(error));
  }
  return got;
}

void WriteAll(const FileHandle& file, std::int64_t offset, const std::uint8_t* data,
              std::size_t size, bool fullCopy = false) {
  while (size > 0) {
    OVERLAPPED at = At(offset);
    DWORD put = 0;
    if (!::WriteFile(file.get(), data, static_cast<DWORD>(std::min(size, kMaxTransfer)), &put,
                     &at)) {
      const DWORD error = ::GetLastError();
      if (fullCopy) RaiseCopyFailure(file.path(), error);
      RaiseAbout(FailureKind::FileAccess, file.path(), Reason(error));
    }
    if (put == 0) RaiseAbout(FailureKind::FileAccess, file.path(), "nothing could be written");
    data += put, offset += put, size -= put;
  }
}

// Copies bytes [from, to) of `in` to the same places of `out` and returns
// where the source ended: `to`, or earlier when it was shorter. Holes of a
// sparse source are written out as zeros.
std::int64_t CopySegment(const FileHandle& in, const FileHandle& out, std::int64_t from,
                         std::int64_t to, Progress& progress, bool fullCopy = false) {
  constexpr std::int64_t kStep = std::int64_t{8} << 20;
  std::unique_ptr<std::uint8_t[]> chunk(new std::uint8_t[kStep]);
  for (std::int64_t at = from; at < to;) {
    const std::size_t got =
        ReadSome(in, at, chunk.get(), static_cast<std::size_t>(std::min(to - at, kStep)));
    if (got == 0) return at;
    WriteAll(out, at, chunk.get(), got, fullCopy);
    at += static_cast<std::int64_t>(got);
    progress.Advance(got);
  }
  return to;
}

// The full name of the file a handle has open, links resolved; empty when the
// system cannot tell.
std::wstring FinalName(HANDLE handle) {
  std::wstring name(MAX_PATH, L'\0');
  for (;;) {
    const DWORD size =
        ::GetFinalPathNameByHandleW(handle, name.data(), static_cast<DWORD>(name.size()),
                                    FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
    if (size == 0) return {};
    if (size < name.size()) return name.substr(0, size);
    name.resize(size);
  }
}

// The folder part of `target` as a full name in the long form ("\\?\"), with
// its separator, so that a short name added to it works however close the
// output's own path comes to the limit of ordinary names.
std::wstring LongFolder(const std::wstring& target) {
  if (target.starts_with(LR"(\\?\)")) return target.substr(0, target.find_last_of(L'\\') + 1);
  const std::size_t cut = target.find_last_of(L"\\/:");
  std::wstring folder = cut == std::wstring::npos ? L"." : target.substr(0, cut + 1);
  if (folder.back() == L':') folder += L'.';
  std::wstring full(MAX_PATH, L'\0');
  for (;;) {
    const DWORD size =
        ::GetFullPathNameW(folder.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
    if (size == 0) return folder.back() == L'.' ? folder.substr(0, folder.size() - 1) : folder;
    if (size < full.size()) {
      full.resize(size);
      break;
    }
    full.resize(size);
  }
  if (full.back() != L'\\') full += L'\\';
  if (full.starts_with(LR"(\\)")) return LR"(\\?\UNC\)" + full.substr(2);
  return LR"(\\?\)" + full;
}

// Removes the temporary copies that copies into this folder left behind when
// their program was killed or lost its power. A copy being written keeps its
// file open without sharing its deletion, so Windows refuses to delete that one.
void RemoveLeftovers(const std::wstring& folder) {
  WIN32_FIND_DATAW found{};
  const HANDLE search = ::FindFirstFileW((folder + L".glitchforge-*.tmp").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return;
  do {
    if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
        IsTemporaryName(Narrow(found.cFileName)))
      ::DeleteFileW((folder + found.cFileName).c_str());
  } while (::FindNextFileW(search, &found));
  ::FindClose(search);
}

// A new ordinary file in the output's folder, never read-only or hidden
// whatever the source was, under a short temporary name of its own. Removed
// again unless it was moved onto the output; one a killed program left goes
// with the next copy into the folder.
class TemporaryCopy {
 public:
  TemporaryCopy(const std::wstring& target, const std::string& shown) {
    const std::wstring folder = LongFolder(target);
    RemoveLeftovers(folder);
    for (unsigned attempt = 0; attempt < 100; ++attempt) {
      const std::string name = TemporaryName();  // ASCII
      name_ = folder + std::wstring(name.begin(), name.end());
      file_ = std::make_unique<FileHandle>(shown, name_, GENERIC_READ | GENERIC_WRITE, CREATE_NEW,
                                           ERROR_FILE_EXISTS, FILE_SHARE_READ);
      if (file_->IsOpen()) return;
    }
    RaiseAbout(FailureKind::FileNotOpenable, shown, Reason(ERROR_FILE_EXISTS));
  }
  ~TemporaryCopy() {
    file_.reset();
    if (!name_.empty()) ::DeleteFileW(name_.c_str());
  }
  TemporaryCopy(const TemporaryCopy&) = delete;
  TemporaryCopy& operator=(const TemporaryCopy&) = delete;

  const FileHandle& file() const { return *file_; }

  // Closes the copy and puts it in the target's place in one step. Windows
  // replaces no read-only file, and an old output may be one (copied with a
  // read-only ROM's attributes); it loses the attribute only if replaced.
  void MoveOnto(const std::wstring& target, DWORD targetAttributes) {
    const std::string shown = file_->path();
    file_.reset();
    const bool readOnly = targetAttributes & FILE_ATTRIBUTE_READONLY;
    if (readOnly) ::SetFileAttributesW(target.c_str(), targetAttributes & ~FILE_ATTRIBUTE_READONLY);
    if (!::MoveFileExW(name_.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING)) {
      const DWORD error = ::GetLastError();
      if (readOnly) ::SetFileAttributesW(target.c_str(), targetAttributes);
      RaiseIfNameRefused(shown, error);
      RaiseCopyFailure(shown, error);
    }
    name_.clear();
  }

 private:
  std::wstring name_;
  std::unique_ptr<FileHandle> file_;
};

}  // namespace

void DiskFileSystem::ChangeDrive(const std::string& drive) {
  const char letter =
      drive.empty() ? '\0' : static_cast<char>(std::toupper(static_cast<unsigned char>(drive[0])));
  if (letter < 'A' || letter > 'Z') RaiseAbout(FailureKind::PathNotFound, drive, "no such drive");
  // The directory left behind on the old drive is kept where the command
  // prompt keeps it, so that "X:" leads back there, as it does in a prompt.
  wchar_t here[MAX_PATH];
  const DWORD length = ::GetCurrentDirectoryW(MAX_PATH, here);
  if (length >= 2 && length < MAX_PATH && here[1] == L':') {
    const wchar_t variable[] = {L'=', static_cast<wchar_t>(std::towupper(here[0])), L':', L'\0'};
    ::SetEnvironmentVariableW(variable, here);
  }
  const wchar_t target[] = {static_cast<wchar_t>(letter), L':', L'\0'};
  if (!::SetCurrentDirectoryW(target))
    RaiseAbout(FailureKind::PathNotFound, drive, "no such drive");
}

void DiskFileSystem::ChangeDirectory(const std::string& path) {
  if (path.empty()) RaiseAbout(FailureKind::PathNotFound, path, "no directory given");
  if (::SetCurrentDirectoryW(Wide(path, FailureKind::PathNotFound).c_str())) return;
  const DWORD error = ::GetLastError();
  const bool denied = error == ERROR_ACCESS_DENIED || error == ERROR_SHARING_VIOLATION;
  RaiseAbout(denied ? FailureKind::PathNotAccessible : FailureKind::PathNotFound, path,
             Reason(error));
}

namespace {

// The file a new one will replace under `to`, with its attributes: a regular
// file or none yet, never the `source` itself; a link's target gets the new
// file, the link stays.
std::wstring CheckedTarget(const std::string& to, const BY_HANDLE_FILE_INFORMATION* source,
                           DWORD& targetAttributes) {
  std::wstring target = Wide(to, FailureKind::FileNotFound);
  targetAttributes = 0;
  if (const FileHandle out(to, target, FILE_READ_ATTRIBUTES, OPEN_EXISTING, ERROR_FILE_NOT_FOUND);
      out.IsOpen()) {
    out.RequireRegularFile();
    const BY_HANDLE_FILE_INFORMATION info = out.Info();
    if (source && info.dwVolumeSerialNumber == source->dwVolumeSerialNumber &&
        info.nFileIndexHigh == source->nFileIndexHigh &&
        info.nFileIndexLow == source->nFileIndexLow)
      RaiseAbout(FailureKind::FileAccess, to, "it is the source file itself");
    targetAttributes = info.dwFileAttributes;
    if (std::wstring resolved = FinalName(out.get()); !resolved.empty()) target = resolved;
  }
  return target;
}

}  // namespace

void DiskFileSystem::Copy(const std::string& from, const std::string& to, Progress& progress) {
  FileHandle in(from, GENERIC_READ);
  in.RequireRegularFile();
  const BY_HANDLE_FILE_INFORMATION source = in.Info();
  DWORD targetAttributes = 0;
  const std::wstring target = CheckedTarget(to, &source, targetAttributes);
  TemporaryCopy copy(target, to);
  CopySegment(in, copy.file(), 0, INT64_MAX, progress, true);
  copy.MoveOnto(target, targetAttributes);
}

void DiskFileSystem::CopyRange(const std::string& from, const std::string& to, std::int64_t offset,
                               std::int64_t length, Progress& progress) {
  if (offset < 0 || length < 0) RaiseAbout(FailureKind::InvalidArgument, to, "negative position");
  const FileHandle in(from, GENERIC_READ);
  in.RequireRegularFile();
  const FileHandle out(to, GENERIC_WRITE);
  out.RequireRegularFile();
  if (CopySegment(in, out, offset, offset + length, progress) < offset + length)
    RaiseAbout(FailureKind::FileAccess, from, "the file ended before the range did");
}

// Windows lets any program set a file's change time back, so no stamp can
// prove that nobody touched the output: every copy is a full one.
std::optional<FileStamp> DiskFileSystem::Stamp(const std::string&) { return std::nullopt; }
std::optional<FileStamp> DiskFileSystem::MarkWritten(const std::string&) { return std::nullopt; }

std::int64_t DiskFileSystem::FileLength(const std::string& path) {
  const FileHandle file(path, FILE_READ_ATTRIBUTES);
  file.RequireRegularFile();
  LARGE_INTEGER size{};
  if (!::GetFileSizeEx(file.get(), &size))
    RaiseAbout(FailureKind::FileAccess, path, Reason(::GetLastError()));
  return size.QuadPart;
}

void DiskFileSystem::ReadAt(const std::string& path, std::int64_t offset,
                            std::span<std::uint8_t> out) {
  ReadFrom(path, GENERIC_READ | GENERIC_WRITE, offset, out);
}

void DiskFileSystem::ReadOnlyAt(const std::string& path, std::int64_t offset,
                                std::span<std::uint8_t> out) {
  ReadFrom(path, GENERIC_READ, offset, out);
}

void DiskFileSystem::ReadFrom(const std::string& path, int mode, std::int64_t offset,
                              std::span<std::uint8_t> out) {
  if (offset < 0) RaiseAbout(FailureKind::InvalidArgument, path, "negative position");
  const FileHandle file(path, static_cast<DWORD>(mode));
  file.RequireRegularFile();
  for (std::size_t done = 0; done < out.size();) {
    const std::size_t got = ReadSome(file, offset + static_cast<std::int64_t>(done),
                                     out.data() + done, out.size() - done);
    if (got == 0) RaiseAbout(FailureKind::FileAccess, path, "the file ended before the range did");
    done += got;
  }
}

void DiskFileSystem::WriteAt(const std::string& path, std::int64_t offset,
                             std::span<const std::uint8_t> data) {
  if (offset < 0) RaiseAbout(FailureKind::InvalidArgument, path, "negative position");
  const FileHandle file(path, GENERIC_READ | GENERIC_WRITE);
  file.RequireRegularFile();
  WriteAll(file, offset, data.data(), data.size());
}

namespace {

// The new file of a Replace, open for reading and writing.
class DiskNewFile : public engine::NewFile {
 public:
  DiskNewFile(const FileHandle& file, const std::string& target) : file_(file), target_(target) {}

  void CopyFrom(const std::string& from, Progress& progress) override {
    CopyFromExcept(from, 0, 0, progress);
  }
  // Never from the file this one will replace, under any name.
  void CopyFromExcept(const std::string& from, std::int64_t offset, std::int64_t length,
                      Progress& progress) override {
    const FileHandle in(from, GENERIC_READ);
    in.RequireRegularFile();
    const BY_HANDLE_FILE_INFORMATION source = in.Info();
    DWORD attributes = 0;
    CheckedTarget(target_, &source, attributes);
    if (CopySegment(in, file_, 0, offset, progress, true) == offset)
      CopySegment(in, file_, offset + length, INT64_MAX, progress, true);
  }
  void WriteAt(std::int64_t offset, std::span<const std::uint8_t> data) override {
    if (offset < 0) RaiseAbout(FailureKind::InvalidArgument, file_.path(), "negative position");
    WriteAll(file_, offset, data.data(), data.size());
  }
  void ReadAt(std::int64_t offset, std::span<std::uint8_t> out) override {
    if (offset < 0) RaiseAbout(FailureKind::InvalidArgument, file_.path(), "negative position");
    for (std::size_t done = 0; done < out.size();) {
      const std::size_t got = ReadSome(file_, offset + static_cast<std::int64_t>(done),
                                       out.data() + done, out.size() - done);
      if (got == 0)
        RaiseAbout(FailureKind::FileAccess, file_.path(), "the file ended before the range did");
      done += got;
    }
  }
  void Resize(std::int64_t size) override {
    FILE_END_OF_FILE_INFO end{};
    end.EndOfFile.QuadPart = size;
    if (size < 0 || !::SetFileInformationByHandle(file_.get(), FileEndOfFileInfo, &end, sizeof end))
      RaiseAbout(FailureKind::FileAccess, file_.path(), Reason(::GetLastError()));
  }

 private:
  const FileHandle& file_;
  const std::string& target_;
};

}  // namespace

void DiskFileSystem::Replace(const std::string& path,
                             const std::function<void(engine::NewFile&)>& fill) {
  DWORD targetAttributes = 0;
  const std::wstring target = CheckedTarget(path, nullptr, targetAttributes);
  TemporaryCopy copy(target, path);
  DiskNewFile file(copy.file(), path);
  fill(file);
  copy.MoveOnto(target, targetAttributes);
}

}  // namespace host
