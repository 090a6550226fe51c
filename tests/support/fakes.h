#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "engine/failure.h"
#include "engine/fast_random.h"
#include "engine/host.h"
#include "engine/job_settings.h"
#include "host/disk_file_system.h"

// Records everything the user would see, in order: "message: ...", "status: ...", "focus: txtNth".
class RecordingUi : public engine::UserInterface {
 public:
  std::vector<std::string> events;
  void ShowMessage(const std::string& text) override { events.push_back("message: " + text); }
  void SetStatus(const std::string& text) override { events.push_back("status: " + text); }
  void SetFocus(engine::FocusTarget target) override {
    static const char* names[] = {"txtNth", "txtRange1", "txtShift"};
    events.push_back(std::string("focus: ") + names[static_cast<int>(target)]);
  }
  std::string Seen() const {
    std::string seen;
    for (const auto& event : events) seen += event + "|";
    return seen;
  }
};

class FixedClock : public engine::Clock {
 public:
  float SecondsSinceMidnight() override { return 12345.5f; }
};

// Hands out the given 24-bit draws over and over; records reseeds and how many draws were taken.
class ScriptedRandom : public engine::RandomSource {
 public:
  explicit ScriptedRandom(std::vector<std::uint32_t> draws = {0}) : draws_(std::move(draws)) {}
  void Reseed(float seed) override {
    seeds.push_back(seed);
    next_ = 0;
  }
  void Draw(std::span<std::uint32_t> out) override {
    for (auto& v : out) v = draws_[next_++ % draws_.size()];
    drawn += out.size();
  }
  std::vector<float> seeds;
  std::size_t drawn = 0;

  // 97 draws: a length that shares no factor with the spacings or the chunk sizes tests use.
  static std::vector<std::uint32_t> Script() {
    std::vector<std::uint32_t> script;
    for (std::uint32_t v = 0; v < 97; ++v) script.push_back((v * 2654435761u) >> 8);
    return script;
  }

  // The smallest draw r for which floor(r * count) equals `value`.
  static std::uint32_t For(int value, int count) {
    return static_cast<std::uint32_t>(((static_cast<std::uint64_t>(value) << engine::kRandomBits) + count - 1) / count);
  }

 private:
  std::vector<std::uint32_t> draws_;
  std::size_t next_ = 0;
};

class RecordingLauncher : public engine::ProcessLauncher {
 public:
  void Start(const std::string& commandLine, const std::string& dataFile) override {
    calls.push_back("Start");
    if (fail) throw engine::HostFailure(engine::FailureKind::ProgramNotStartable, commandLine);
    started.push_back(commandLine);
    dataFiles.push_back(dataFile);
  }
  bool MayStillWrite(const std::string&) override { return running; }
  void EndPrevious() override { calls.push_back("EndPrevious"); }
  std::vector<std::string> started, dataFiles;
  std::vector<std::string> calls;  // "Start" and "EndPrevious", in order
  bool fail = false;
  bool running = false;  // the programs started are still running
};

// The real disk, with operations that can be made to fail: a hook runs before one and may throw or change the disk.
class FaultyFileSystem : public host::DiskFileSystem {
 public:
  std::map<std::string, std::function<void(const std::string& path)>> before;  // keyed by operation, e.g. "ReadAt"
  // The copy through reads and writes, as where the kernel offers no copy of its own.
  void CopyByReadsAndWrites(bool readsAndWrites) { kernelCopy_ = !readsAndWrites; }
  // Stamps as a file system gives them whose clock moves in steps this long (nanoseconds), 0: exact.
  std::int64_t clockStep = 0;
  std::optional<engine::FileStamp> Stamp(const std::string& path) override {
    auto stamp = Disk::Stamp(path);
    if (stamp && clockStep) {
      stamp->modified -= stamp->modified % clockStep;
      stamp->changed -= stamp->changed % clockStep;
    }
    return stamp;
  }

  void Copy(const std::string& from, const std::string& to, engine::Progress& progress) override {
    Before("Copy", to)->Disk::Copy(from, to, progress);
  }
  void CopyRange(const std::string& from, const std::string& to, std::int64_t offset, std::int64_t length, engine::Progress& progress) override {
    Before("CopyRange", to)->Disk::CopyRange(from, to, offset, length, progress);
  }
  void ReadAt(const std::string& path, std::int64_t offset, std::span<std::uint8_t> out) override {
    Before("ReadAt", path)->Disk::ReadAt(path, offset, out);
  }
  void ReadOnlyAt(const std::string& path, std::int64_t offset, std::span<std::uint8_t> out) override {
    Before("ReadOnlyAt", path)->Disk::ReadOnlyAt(path, offset, out);
  }
  void WriteAt(const std::string& path, std::int64_t offset, std::span<const std::uint8_t> data) override {
    Before("WriteAt", path)->Disk::WriteAt(path, offset, data);
  }
  void Replace(const std::string& path, const std::function<void(engine::NewFile&)>& fill) override {
    Before("Replace", path)->Disk::Replace(path, fill);
  }

 private:
  using Disk = host::DiskFileSystem;
  Disk* Before(const std::string& op, const std::string& path) {
    if (auto it = before.find(op); it != before.end()) it->second(path);
    return this;
  }
};

// Counts the bytes announced and advanced; the user cancels once `cancelAt` bytes are advanced.
class CountingWork : public engine::LongWork, public engine::Progress {
 public:
  std::uint64_t expected = 0, advanced = 0, cancelAt = UINT64_MAX;
  void Expect(std::uint64_t bytes) override { expected += bytes; }
  void Run(const std::function<void(engine::Progress&)>& stretch) override { stretch(*this); }
  void Advance(std::uint64_t bytes) override {
    advanced += bytes;
    if (advanced >= cancelAt) throw engine::Cancelled();
  }
};

struct FakeHost {
  RecordingUi ui;
  FaultyFileSystem files;
  RecordingLauncher launcher;
  FixedClock clock;
  ScriptedRandom random;
  CountingWork work;
  engine::Host host{ui, files, launcher, clock, random, {}, work};
};

// Sets "key=text" items separated by ";"; a key alone checks its box or option, "key=2" greys a check box.
inline engine::JobSettings& SetItems(engine::JobSettings& job, std::string_view items) {
  while (!items.empty()) {
    const std::string_view item = items.substr(0, items.find(';'));
    items.remove_prefix(std::min(items.size(), item.size() + 1));
    if (item.empty()) continue;
    const auto equals = item.find('=');
    const engine::FieldRow& row = engine::RowOf(engine::FieldNamed(item.substr(0, equals)).value());
    const std::string_view text = equals == item.npos ? "1" : item.substr(equals + 1);
    engine::SetField(job, row.field,
                     text == "2" && row.kind == engine::FieldKind::Check ? engine::FieldValue(engine::kGrey) : engine::ConvertStored(row, text));
  }
  return job;
}

// A job over "Change ALL bytes" with every check box clear, then `items`.
inline engine::JobSettings MakeJob(std::string_view items) {
  engine::JobSettings job;
  job.chdir = job.autocreate = job.optrandomseq = job.optoverwrite = engine::kUnchecked;
  job.optall = true;
  return SetItems(job, items);
}

// Operations, each with the start of the failure it must raise.
using Operations = std::vector<std::pair<std::function<void()>, std::string>>;

// The operations whose failure does not start as given, with what they raised ("none" when nothing).
inline std::string Mismatches(const Operations& operations) {
  std::string wrong;
  for (const auto& [operation, start] : operations) {
    std::string failure = "none";
    try {
      operation();
    } catch (const engine::HostFailure& raised) {
      failure = raised.what();
    }
    if (!failure.starts_with(start)) wrong += failure + " instead of " + start + "\n";
  }
  return wrong;
}
