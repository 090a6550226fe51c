#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#ifndef _WIN32
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include "engine/failure.h"
#include "host/disk_file_system.h"
#include "support/fakes.h"
#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;

const std::vector<unsigned char> kTen{1, 2, 3, 4, 5, 6, 7, 8, 9, 10};

// Each kind says what happened: a file that is there but refuses to open is no missing file. A pipe is refused
// at once rather than waiting for a partner that never comes; a name holding NUL is not cut there. Files and
// folders that are there but not the user's are tried as the user nobody, in the tests run as root.
TEST(DiskFileSystem, FailuresNameTheirKindAndThePath) {
  TempDir dir;
  host::DiskFileSystem disk;
  const std::string file = dir.Write("small.bin", kTen), missing = dir / "missing.bin";
  const std::string old = dir.Write("old.bin", kTen), copy = dir / "copy.bin";
  const std::string nul = file + std::string(1, '\0') + "x";
#ifdef _WIN32
  const std::string pipe = "NUL";  // a device: no more a file than a pipe
#else
  const std::string pipe = dir / "pipe";
  ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
#endif
  std::vector<std::uint8_t> range(11), two(2);
  struct : engine::Progress {  // stops a copy part-way, after its temporary file exists
    void Advance(std::uint64_t) override { throw engine::HostFailure(engine::FailureKind::FileAccess, "stopped"); }
  } stopping;
  const std::string notOpenable = "Cannot open file: ", noPath = "Path not found: ";
  const Operations operations{
      {[&] { disk.FileLength(dir / "nowhere/x.bin"); }, noPath},
      {[&] { disk.FileLength(file + "/x"); }, noPath},
      {[&] { disk.WriteAt(missing, 0, range); }, "File not found: "},
      {[&] { disk.ChangeDirectory(file); }, noPath},
      {[&] { disk.Copy(pipe, copy); }, notOpenable},
      {[&] { disk.Copy(file, pipe); }, notOpenable},
      {[&] { disk.Copy(file, dir / "nowhere/copy.bin"); }, noPath},
      {[&] { disk.Copy(file, old, stopping); }, "File access error: stopped"},
      // A new file filled from the very file it replaces, all of it or all but a range.
      {[&] { disk.Replace(old, [&](engine::NewFile& f) { f.CopyFrom(dir / "./old.bin", stopping); }); },
       "File access error: \"" + old + "\" (it is the source file itself)"},
      {[&] { disk.Replace(old, [&](engine::NewFile& f) { f.CopyFromExcept(old, 2, 3, stopping); }); },
       "File access error: \"" + old + "\" (it is the source file itself)"},
      {[&] { disk.FileLength(pipe); }, notOpenable},
      {[&] { disk.ReadAt(pipe, 0, range); }, notOpenable},
      {[&] { disk.WriteAt(pipe, 0, range); }, notOpenable},
      // A name holding NUL names no file; cut at the NUL it would name small.bin.
      {[&] { disk.FileLength(nul); }, "File not found: \"" + file + "\\0x\" (the name holds a NUL byte)"},
      {[&] { disk.ReadAt(nul, 0, two); }, "File not found: "},
      {[&] { disk.ChangeDirectory(dir.path().string() + std::string(1, '\0') + "x"); }, noPath},
  };
  EXPECT_EQ(Mismatches(operations), "");
  for (const std::string& none : {missing, copy}) EXPECT_FALSE(fs::exists(none)) << none;
  for (const auto& entry : fs::directory_iterator(dir.path())) EXPECT_NE(entry.path().filename().string()[0], '.');
  EXPECT_EQ(TempDir::Read(file), kTen);
  EXPECT_EQ(TempDir::Read(old), kTen);
}

// A sparse image stays sparse in its copy, down to the hole at its end, even over an earlier full copy.
TEST(DiskFileSystem, CopyKeepsTheHolesOfASparseFile) {
#ifdef _WIN32
  GTEST_SKIP() << "the copy on Windows writes a sparse file's holes out as zeros";
#else
  TempDir dir;
  host::DiskFileSystem disk;
  const std::string from = dir.Write("sparse.iso", kTen);
  const std::string to = dir.Write("copy.iso", std::vector<unsigned char>(3 << 20, 1));
  fs::resize_file(from, 8 << 20);
  disk.WriteAt(from, 5 << 20, std::vector<std::uint8_t>(kTen.begin(), kTen.end()));
  fs::resize_file(from, (8 << 20) + 7);
  disk.Copy(from, to);
  EXPECT_TRUE(TempDir::Read(to) == TempDir::Read(from));
  struct stat st {};
  ASSERT_EQ(::stat(to.c_str(), &st), 0);
  EXPECT_LT(st.st_blocks * 512, 64 << 10);
#endif
}

// The names in a folder other than the ROM.
std::vector<std::string> Others(const TempDir& dir) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(dir.path()))
    if (entry.path().filename() != "rom.iso") names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

// The next copy into a folder removes the temporary file of a copy that was killed there, and nothing that only looks
// like one.
TEST(DiskFileSystem, ACopyRemovesWhatAKilledCopyLeftInItsFolderAndNothingElse) {
  TempDir dir;
  const std::string rom = dir.Write("rom.iso", kTen);
  for (const char* name : {".glitchforge-0123456789abcdef.tmp", ".glitchforge-0123456789abcdef.tmp.txt", ".glitchforge-0123456789abcdeg.tmp",
                           "glitchforge-0123456789abcdef.tmp"})
    dir.Write(name, kTen);
  host::DiskFileSystem().Copy(rom, dir / "out.iso");
  EXPECT_EQ(Others(dir), (std::vector<std::string>{".glitchforge-0123456789abcdef.tmp.txt", ".glitchforge-0123456789abcdeg.tmp",
                                                   "glitchforge-0123456789abcdef.tmp", "out.iso"}));
}

#ifndef _WIN32
// A copy killed part-way, as by kill -9 or a power cut: where the file system has unnamed files, nothing of it is left
// in the folder; elsewhere its named file is, until the next copy into the folder after it was killed. A copy made
// there while it still runs leaves that file alone.
TEST(DiskFileSystem, ACopyKilledPartWayLeavesNothingOnceTheNextCopyIntoItsFolderIsDone) {
  const struct {
    host::TemporaryFile temporary;
    std::size_t leftByTheKill;
  } rows[] = {{.temporary = host::TemporaryFile::UnnamedWhereOffered, .leftByTheKill = 0},
              {.temporary = host::TemporaryFile::Named, .leftByTheKill = 1}};
  for (const auto& row : rows) {
    TempDir dir;
    host::DiskFileSystem disk;
    const std::string rom = dir.Write("rom.iso", std::vector<unsigned char>(20 << 20, 7));
    int started[2];
    ASSERT_EQ(::pipe(started), 0);
    const pid_t copying = ::fork();
    if (copying == 0) {
      struct : engine::Progress {  // tells the test once the first bytes are in, then waits to be killed
        void Advance(std::uint64_t) override {
          (void)!::write(fd, "+", 1);
          for (;;) ::pause();
        }
        int fd = -1;
      } stuck;
      stuck.fd = started[1];
      host::DiskFileSystem(host::CopyMethod::KernelWhereOffered, row.temporary).Copy(rom, dir / "out.iso", stuck);
      ::_exit(0);
    }
    char signal;
    ASSERT_EQ(::read(started[0], &signal, 1), 1);
    disk.Copy(rom, dir / "other.iso");
    ::kill(copying, SIGKILL);
    ::waitpid(copying, nullptr, 0);
    ::close(started[0]);
    ::close(started[1]);
    EXPECT_EQ(Others(dir).size(), 1 + row.leftByTheKill);
    disk.Copy(rom, dir / "other.iso");
    EXPECT_EQ(Others(dir), std::vector<std::string>{"other.iso"});
  }
}
#endif

}  // namespace
