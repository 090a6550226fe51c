#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#ifndef _WIN32
#include <sys/stat.h>
#endif

#include "engine/failure.h"
#include "engine/real_host.h"
#include "support/hostile_host.h"
#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;
using engine::FailureKind;
using engine::HostFailure;

const std::vector<unsigned char> kTen{1, 2, 3, 4, 5, 6, 7, 8, 9, 10};

// The failure an operation raises, as its description; "none" when it raised none.
std::string FailureOf(const std::function<void()>& operation) {
  try {
    operation();
    return "none";
  } catch (const HostFailure& failure) {
    return failure.what();
  }
}

// Each kind says what happened: a file that is there but refuses to open is no
// missing file. A pipe is refused at once rather than waiting for a partner
// that never comes; a name holding NUL is not cut there. Permissions are tried
// as the user nobody, since they do not stop root.
TEST(DiskFileSystem, FailuresNameTheirKindAndThePath) {
  TempDir dir;
  engine::DiskFileSystem disk;
  const std::string file = dir.Write("small.bin", kTen), missing = dir / "missing.bin";
  const std::string locked = dir.Write("locked.bin", kTen), closed = dir / "closed", copy = dir / "copy.bin";
  const std::string nul = file + std::string(1, '\0') + "x";
  fs::create_directory(dir.path() / "folder");
  fs::create_directory(closed);
  dir.Write("closed/inside.bin", kTen);
#ifdef _WIN32
  const std::string pipe = "NUL";  // a device: no more a file than a pipe
#else
  const std::string pipe = dir / "pipe";
  fs::permissions(locked, fs::perms::owner_read | fs::perms::owner_write);
  fs::permissions(closed, fs::perms::owner_all);
  ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
#endif
  std::vector<std::uint8_t> range(11), two(2);
  const struct {
    std::function<void()> operation;
    FailureKind kind;
    std::string description;  // its start
    bool asNobody = false;
  } cases[] = {
      {[&] { disk.FileLength(missing); }, FailureKind::FileNotFound, "File not found: \"" + missing + "\""},
      {[&] { disk.FileLength(dir / "nowhere/x.bin"); }, FailureKind::PathNotFound, "Path not found: "},
      {[&] { disk.FileLength(dir / "folder"); }, FailureKind::FileNotOpenable, "Cannot open file: "},
      {[&] { disk.FileLength(file + "/x"); }, FailureKind::PathNotFound, "Path not found: "},
      {[&] { disk.ReadAt(file, 0, range); }, FailureKind::FileAccess, "File access error: \"" + file + "\""},
      {[&] { disk.WriteAt(missing, 0, range); }, FailureKind::FileNotFound, "File not found: "},
      {[&] { disk.ChangeDirectory(dir / "nowhere"); }, FailureKind::PathNotFound, "Path not found: "},
      {[&] { disk.ChangeDirectory(file); }, FailureKind::PathNotFound, "Path not found: "},
      {[&] { disk.ChangeDrive(MissingDrive()); }, FailureKind::PathNotFound, "Path not found: \"" + MissingDrive()},
      {[&] { disk.Copy(dir / "folder", copy); }, FailureKind::FileNotOpenable, "Cannot open file: "},
      {[&] { disk.Copy(pipe, copy); }, FailureKind::FileNotOpenable, "Cannot open file: "},
      {[&] { disk.Copy(file, pipe); }, FailureKind::FileNotOpenable, "Cannot open file: "},
      {[&] { disk.Copy(file, dir / "nowhere/copy.bin"); }, FailureKind::PathNotFound, "Path not found: "},
      {[&] { disk.FileLength(pipe); }, FailureKind::FileNotOpenable, "Cannot open file: "},
      {[&] { disk.ReadAt(pipe, 0, range); }, FailureKind::FileNotOpenable, "Cannot open file: "},
      {[&] { disk.WriteAt(pipe, 0, range); }, FailureKind::FileNotOpenable, "Cannot open file: "},
      // A name holding NUL names no file; cut at the NUL it would name small.bin.
      {[&] { disk.FileLength(nul); }, FailureKind::FileNotFound,
       "File not found: \"" + file + "\\0x\" (the name holds a NUL byte)"},
      {[&] { disk.ReadAt(nul, 0, two); }, FailureKind::FileNotFound, "File not found: "},
      {[&] { disk.WriteAt(nul, 0, two); }, FailureKind::FileNotFound, "File not found: "},
      {[&] { disk.Copy(nul, copy); }, FailureKind::FileNotFound, "File not found: "},
      {[&] { disk.Copy(file, copy + std::string(1, '\0')); }, FailureKind::FileNotFound, "File not found: "},
      {[&] { disk.ChangeDirectory(dir.path().string() + std::string(1, '\0') + "x"); }, FailureKind::PathNotFound,
       "Path not found: "},
#ifndef _WIN32
      // As nobody: files and folders that are there but not theirs.
      {[&] { disk.ReadAt(locked, 0, two); }, FailureKind::FileNotOpenable,
       "Cannot open file: \"" + locked + "\" (Permission denied)", true},
      {[&] { disk.WriteAt(locked, 0, two); }, FailureKind::FileNotOpenable, "Cannot open file: ", true},
      {[&] { disk.Copy(locked, dir / "closed/copy.bin"); }, FailureKind::FileNotOpenable, "Cannot open file: ", true},
      {[&] { disk.Copy(file, dir / "closed/copy.bin"); }, FailureKind::FileNotOpenable, "Cannot open file: ", true},
      {[&] { disk.FileLength(dir / "closed/inside.bin"); }, FailureKind::FileNotOpenable, "Cannot open file: ", true},
      {[&] { disk.ChangeDirectory(closed); }, FailureKind::PathNotAccessible,
       "Path not accessible: \"" + closed + "\" (Permission denied)", true},
#endif
  };
  for (const auto& c : cases) {
#ifdef _WIN32
    const std::string failure = FailureOf(c.operation);
#else
    const std::string failure = c.asNobody ? AsNobody([&] { return FailureOf(c.operation); }) : FailureOf(c.operation);
#endif
    EXPECT_EQ(failure.substr(0, c.description.size()), c.description) << failure;
    EXPECT_EQ(failure.rfind(engine::DescribeFailure(c.kind), 0), 0u) << failure;
  }
  EXPECT_FALSE(fs::exists(missing));
  EXPECT_FALSE(fs::exists(copy));
  EXPECT_FALSE(fs::exists(dir / "closed/copy.bin"));
  EXPECT_EQ(TempDir::Read(file), kTen);
  EXPECT_EQ(TempDir::Read(locked), kTen);
}

// A sparse image stays sparse in its copy, down to the hole at its end, and
// a copy over an earlier full one does not fill the holes in.
TEST(DiskFileSystem, CopyKeepsTheHolesOfASparseFile) {
#ifdef _WIN32
  GTEST_SKIP() << "the copy on Windows writes a sparse file's holes out as zeros";
#else
  TempDir dir;
  engine::DiskFileSystem disk;
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

}  // namespace
