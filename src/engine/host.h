#pragma once

#include <cstdint>
#include <exception>
#include <functional>
#include <optional>
#include <span>
#include <string>

// The services of the host that the engine calls. Every operation that can
// fail throws engine::HostFailure; the callers' failure branches catch it.
//
// The thread rule: a handler call runs on the window's thread, and so do the
// calls it makes, except inside a LongWork stretch, which runs on one worker
// thread while the window waits. A stretch calls only the FileSystem, the
// RandomSource and the Progress it is handed. Each interface says which
// thread may call it; a window call from the worker is a bug.
namespace engine {

// The fields whose box a refusal may move the keyboard focus into.
enum class FocusTarget { nth, range1, shift };

// What the user sees: message boxes, the status line and the focus. Window's
// thread only.
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

// Which file a name stands for and when it last changed: device and inode,
// size, and the modification and status-change times in nanoseconds. The
// status-change time moves with every write and every change of the other
// times, and no program can set it back. File systems keep these times in
// steps of their own clock (two seconds on FAT, one on ext2 and ext3, a few
// milliseconds elsewhere): a change within the step of the last one leaves
// them as they were.
struct FileStamp {
  std::uint64_t device = 0;
  std::uint64_t inode = 0;
  std::int64_t size = 0;
  std::int64_t modified = 0;
  std::int64_t changed = 0;
  // The modification time lay further back than the coarsest step when the
  // stamp was taken: any later write gives the file a time of its own, so the
  // stamp tells it. A file written just before may be written again within
  // the same step unseen.
  bool settled = false;

  bool operator==(const FileStamp&) const = default;
  bool SameFile(const FileStamp& other) const {
    return device == other.device && inode == other.inode;
  }
};

// What Progress::Advance throws when the user asked the long work to stop:
// the stretch ends between two pieces, and the handler says what was left.
class Cancelled : public std::exception {
 public:
  const char* what() const noexcept override { return "Cancelled"; }
};

// How far a long stretch has come, in bytes. Called on the worker thread
// that runs the stretch, between pieces; may throw Cancelled.
class Progress {
 public:
  virtual ~Progress() = default;
  virtual void Advance(std::uint64_t bytes) = 0;
};

// A new file that FileSystem::Replace is writing beside the name it will
// take. Offsets are from its start; it starts empty. Called from the thread
// that runs the fill, except that WriteAt may run on a thread of the fill's
// own while the fill reads other files.
class NewFile {
 public:
  virtual ~NewFile() = default;
  // Makes it a byte-for-byte copy of `from`, reporting the bytes copied.
  virtual void CopyFrom(const std::string& from, Progress& progress) = 0;
  // The same, except for the `length` bytes at `offset`, left for WriteAt:
  // only the bytes copied are reported.
  virtual void CopyFromExcept(const std::string& from, std::int64_t offset, std::int64_t length,
                              Progress& progress) = 0;
  virtual void WriteAt(std::int64_t offset, std::span<const std::uint8_t> data) = 0;
  // A short read is a failure.
  virtual void ReadAt(std::int64_t offset, std::span<std::uint8_t> out) = 0;
  virtual void Resize(std::int64_t size) = 0;
};

// Names are UTF-8 text, used as typed: relative ones resolve against the
// current directory. Called from the window's thread or, inside a stretch,
// from the worker, never from both at once.
class FileSystem {
 public:
  virtual ~FileSystem() = default;
  // The drive named by the first character of `drive`. Hosts without drive
  // letters have none to change to and throw PathNotFound.
  virtual void ChangeDrive(const std::string& drive) = 0;
  virtual void ChangeDirectory(const std::string& path) = 0;
  // Makes `to` a byte-for-byte copy of `from`, replacing an existing file,
  // and reports the bytes copied as it goes.
  virtual void Copy(const std::string& from, const std::string& to, Progress& progress) = 0;
  void Copy(const std::string& from, const std::string& to);
  // Copies `length` bytes of `from` at `offset` to the same place of the
  // existing file `to`, reading `from` only; a `from` that ends before the
  // range does is a failure.
  virtual void CopyRange(const std::string& from, const std::string& to, std::int64_t offset,
                         std::int64_t length, Progress& progress) = 0;
  // Length in bytes, 64-bit so that disc images of 2 GiB and more measure right.
  virtual std::int64_t FileLength(const std::string& path) = 0;
  // Opens the file for reading and writing, reads exactly out.size() bytes
  // from `offset`, and closes it again; a short read is a failure.
  virtual void ReadAt(const std::string& path, std::int64_t offset,
                      std::span<std::uint8_t> out) = 0;
  // The same, opening the file for reading only: for files that are only
  // read, which may be read-only.
  virtual void ReadOnlyAt(const std::string& path, std::int64_t offset,
                          std::span<std::uint8_t> out) = 0;
  // Opens the file, writes all of `data` at `offset`, and closes it again.
  virtual void WriteAt(const std::string& path, std::int64_t offset,
                       std::span<const std::uint8_t> data) = 0;
  // The regular file under `path` as it is now; nothing when that cannot be
  // told, which makes every copy a full one.
  virtual std::optional<FileStamp> Stamp(const std::string& /*path*/) { return std::nullopt; }
  // Writes a new file through `fill` beside `path` (beside the target of a
  // symbolic link, which stays) and moves it over `path` once fill returns.
  // When fill throws, `path` stays as it was and the new file is gone. The new
  // file is ordinary data: 0666 less the umask, whatever was there before.
  virtual void Replace(const std::string& path, const std::function<void(NewFile&)>& fill) = 0;
  // Called right after this program wrote the file: sets its modification
  // time a few seconds back, to a moment no later write can give it, and
  // returns its stamp then, settled. Nothing where times cannot be set, or
  // when the file was written again meanwhile.
  virtual std::optional<FileStamp> MarkWritten(const std::string& /*path*/) { return std::nullopt; }
};

// Window's thread only.
class ProcessLauncher {
 public:
  virtual ~ProcessLauncher() = default;
  // Starts the command line detached, in the current directory, without
  // waiting; throws ProgramNotStartable when it cannot be started. The output
  // file `dataFile` is data, never a program: a command line whose program
  // would be that file (an empty emulator box puts it first) cannot be started.
  virtual void Start(const std::string& commandLine, const std::string& dataFile) = 0;
  // Whether a program started on the file `dataFile`, or one that program
  // started in turn, may still be running and so writing into it. Errs toward
  // yes where that cannot be told. Called on the thread that calls Start.
  virtual bool MayStillWrite(const std::string& dataFile) = 0;
  // Ends the program Start started last, and the programs it started in turn,
  // without waiting: asks them to end now and makes them end after a short
  // grace. Touches no other program. Called on the thread that calls Start.
  virtual void EndPrevious() = 0;
};

// Window's thread only.
class Clock {
 public:
  virtual ~Clock() = default;
  virtual float SecondsSinceMidnight() = 0;
};

// Uniform random numbers r in [0, 1), handed out as 24-bit numerators:
// r = value / 2^24, so every value lies in [0, 2^24). Reseeded on the window's
// thread; drawn from there or, inside a stretch, from the worker.
class RandomSource {
 public:
  virtual ~RandomSource() = default;
  virtual void Reseed(float seed) = 0;
  // Fills `out` with the next out.size() draws, in order.
  virtual void Draw(std::span<std::uint32_t> out) = 0;
};

inline constexpr int kRandomBits = 24;

// Runs the long stretches of a handler call: copying, reading, altering and
// writing. The window runs them off its own thread and keeps answering while
// it waits; without a window they run in place. Either way the call returns
// only when the stretch has ended, so the handler's effects keep their order.
// Window's thread only; the stretch itself runs on the worker.
class LongWork {
 public:
  virtual ~LongWork() = default;
  // `bytes` more bytes are to be moved in this handler call; sizes the
  // progress shown.
  virtual void Expect(std::uint64_t bytes) = 0;
  // Runs `stretch` to its end; rethrows what it threw.
  virtual void Run(const std::function<void(Progress&)>& stretch) = 0;
};

// Runs every stretch in place and shows no progress.
LongWork& InPlace();
// Progress that goes nowhere.
Progress& NoProgress();

class OutputRecord;

// The services one handler call works with. lastError is the description of
// the failure raised last, as the "Error! " and "Create Now" messages show it;
// lastPlace its file or program and reason, as second lines show them.
// Without a record every "Overwrite Old File" run makes a full copy.
struct Host {
  UserInterface& ui;
  FileSystem& files;
  ProcessLauncher& launcher;
  Clock& clock;
  RandomSource& random;
  std::string lastError;
  LongWork& work = InPlace();
  OutputRecord* record = nullptr;
  std::string lastPlace{};
};

}  // namespace engine
