#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include <sys/stat.h>

#include "engine/failure.h"
#include "engine/real_host.h"
#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;
using engine::FailureKind;
using engine::HostFailure;

const std::vector<unsigned char> kTen{1, 2, 3, 4, 5, 6, 7, 8, 9, 10};

// A pipe is refused at once rather than waiting for a partner that never comes.
TEST(DiskFileSystem, FailuresNameTheirKindAndThePath) {
  TempDir dir;
  engine::DiskFileSystem disk;
  const std::string file = dir.Write("small.bin", kTen), missing = dir / "missing.bin", pipe = dir / "pipe";
  fs::create_directory(dir.path() / "folder");
  ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
  std::vector<std::uint8_t> range(11);
  const struct {
    std::function<void()> operation;
    FailureKind kind;
    std::string description;  // its start
  } cases[] = {
      {[&] { disk.FileLength(missing); }, FailureKind::FileNotFound, "File not found: \"" + missing + "\""},
      {[&] { disk.FileLength(dir / "folder"); }, FailureKind::FileNotFound, "File not found: "},
      {[&] { disk.FileLength(file + "/x"); }, FailureKind::PathNotFound, "Path not found: "},
      {[&] { disk.ReadAt(file, 0, range); }, FailureKind::FileAccess, "File access error: \"" + file + "\""},
      {[&] { disk.WriteAt(missing, 0, range); }, FailureKind::FileNotFound, "File not found: "},
      {[&] { disk.ChangeDirectory(dir / "nowhere"); }, FailureKind::PathNotFound, "Path not found: "},
      {[&] { disk.ChangeDrive("C"); }, FailureKind::PathNotFound, "Path not found"},
      {[&] { disk.Copy(dir / "folder", dir / "copy.bin"); }, FailureKind::FileNotFound, "File not found: "},
      {[&] { disk.Copy(pipe, dir / "copy.bin"); }, FailureKind::FileNotFound, "File not found: "},
      {[&] { disk.Copy(file, pipe); }, FailureKind::FileNotFound, "File not found: "},
      {[&] { disk.FileLength(pipe); }, FailureKind::FileNotFound, "File not found: "},
      {[&] { disk.ReadAt(pipe, 0, range); }, FailureKind::FileNotFound, "File not found: "},
      {[&] { disk.WriteAt(pipe, 0, range); }, FailureKind::FileNotFound, "File not found: "},
  };
  for (const auto& c : cases) {
    try {
      c.operation();
      ADD_FAILURE() << c.description << ": no failure raised";
    } catch (const HostFailure& failure) {
      EXPECT_EQ(failure.kind(), c.kind) << failure.what();
      EXPECT_EQ(std::string(failure.what()).substr(0, c.description.size()), c.description);
    }
  }
  EXPECT_FALSE(fs::exists(missing));
  EXPECT_FALSE(fs::exists(dir / "copy.bin"));
  EXPECT_EQ(TempDir::Read(file), kTen);
}

}  // namespace
