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

std::vector<unsigned char> Pattern(std::size_t size, unsigned seed = 3) {
  std::vector<unsigned char> bytes(size);
  for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<unsigned char>(i * 7 + seed);
  return bytes;
}

// Runs `operation` and returns the failure it raised; fails the test when it raised none.
HostFailure FailureOf(const std::function<void()>& operation) {
  try {
    operation();
  } catch (const HostFailure& failure) {
    return failure;
  }
  ADD_FAILURE() << "no failure raised";
  return HostFailure(FailureKind::InvalidArgument, "none");
}

class DiskFileSystemTest : public ::testing::Test {
 protected:
  void TearDown() override { fs::current_path(savedDirectory_); }

  TempDir dir;
  engine::DiskFileSystem disk;

 private:
  fs::path savedDirectory_ = fs::current_path();
};

TEST_F(DiskFileSystemTest, ReadsAndWritesInPlaceWithoutChangingTheLength) {
  const auto original = Pattern(4096);
  const std::string file = dir.Write("out.nes", original);
  EXPECT_EQ(disk.FileLength(file), 4096);

  std::vector<std::uint8_t> range(100);
  disk.ReadAt(file, 1000, range);
  EXPECT_TRUE(std::equal(range.begin(), range.end(), original.begin() + 1000));

  const std::vector<std::uint8_t> fresh(100, 0xEE);
  disk.WriteAt(file, 3996, fresh);
  auto expected = original;
  std::fill(expected.begin() + 3996, expected.end(), 0xEE);
  EXPECT_EQ(TempDir::Read(file), expected);
}

TEST_F(DiskFileSystemTest, FailuresNameTheirKindAndThePath) {
  const std::string file = dir.Write("small.bin", Pattern(10));
  fs::create_directory(dir.path() / "folder");
  std::vector<std::uint8_t> range(11);

  struct Case {
    const char* what;
    std::function<void()> operation;
    FailureKind kind;
    std::string descriptionStart;
  };
  const std::string missing = dir / "missing.bin";
  const Case cases[] = {
      {"length of a missing file", [&] { disk.FileLength(missing); }, FailureKind::FileNotFound,
       "File not found: \"" + missing + "\""},
      {"length under a file used as a directory", [&] { disk.FileLength(file + "/x"); },
       FailureKind::PathNotFound, "Path not found: "},
      {"length of a directory", [&] { disk.FileLength(dir / "folder"); }, FailureKind::FileNotFound,
       "File not found: "},
      {"read past the end", [&] { disk.ReadAt(file, 0, range); }, FailureKind::FileAccess,
       "File access error: \"" + file + "\""},
      {"read of a missing file", [&] { disk.ReadAt(missing, 0, range); }, FailureKind::FileNotFound,
       "File not found: "},
      {"write to a missing file", [&] { disk.WriteAt(missing, 0, range); }, FailureKind::FileNotFound,
       "File not found: "},
      {"change into a missing directory", [&] { disk.ChangeDirectory(dir / "nowhere"); },
       FailureKind::PathNotFound, "Path not found: "},
      {"change into an empty path", [&] { disk.ChangeDirectory(""); }, FailureKind::PathNotFound,
       "Path not found: "},
      {"copy from a missing file", [&] { disk.Copy(missing, dir / "copy.bin"); },
       FailureKind::FileNotFound, "File not found: "},
      {"copy from a directory", [&] { disk.Copy(dir / "folder", dir / "copy.bin"); },
       FailureKind::FileNotFound, "File not found: "},
  };
  for (const auto& c : cases) {
    const HostFailure failure = FailureOf(c.operation);
    EXPECT_EQ(failure.kind(), c.kind) << c.what;
    EXPECT_EQ(std::string(failure.what()).rfind(c.descriptionStart, 0), 0u) << c.what << ": " << failure.what();
  }
  EXPECT_FALSE(fs::exists(missing));
  EXPECT_FALSE(fs::exists(dir / "copy.bin"));
  EXPECT_EQ(TempDir::Read(file), Pattern(10));
}

TEST_F(DiskFileSystemTest, ThereAreNoDrivesToChangeTo) {
  for (const char* drive : {"C", "c", "Z", ""}) {
    const HostFailure failure = FailureOf([&] { disk.ChangeDrive(drive); });
    EXPECT_EQ(failure.kind(), FailureKind::PathNotFound) << drive;
  }
}

TEST_F(DiskFileSystemTest, ChangesTheCurrentDirectory) {
  fs::create_directory(dir.path() / "roms");
  disk.ChangeDirectory(dir / "roms");
  EXPECT_TRUE(fs::equivalent(fs::current_path(), dir.path() / "roms"));
  disk.ChangeDirectory("..");
  EXPECT_TRUE(fs::equivalent(fs::current_path(), dir.path()));
}

TEST_F(DiskFileSystemTest, CopyReplacesALongerFileByteForByte) {
  const std::string rom = dir.Write("mario.nes", Pattern(70000));
  const std::string out = dir.Write("CORRUPT.nes", Pattern(90000, 99));
  disk.Copy(rom, out);
  EXPECT_EQ(TempDir::Read(out), Pattern(70000));
  EXPECT_EQ(TempDir::Read(rom), Pattern(70000));

  const std::string empty = dir.Write("empty.nes", {});
  disk.Copy(empty, out);
  EXPECT_EQ(fs::file_size(out), 0u);
}

TEST_F(DiskFileSystemTest, CopyOntoTheSourceItselfFailsAndLeavesItIntact) {
  fs::create_directory(dir.path() / "roms");
  const std::string rom = dir.Write("roms/mario.nes", Pattern(5000));
  fs::create_symlink(rom, dir.path() / "link.nes");
  fs::create_hard_link(rom, dir.path() / "hard.nes");
  fs::current_path(dir.path() / "roms");

  for (const std::string& target : {rom, std::string("mario.nes"), std::string("./mario.nes"),
                                    std::string("../roms/mario.nes"), dir / "link.nes", dir / "hard.nes"}) {
    const HostFailure failure = FailureOf([&] { disk.Copy(rom, target); });
    EXPECT_EQ(failure.kind(), FailureKind::FileAccess) << target;
    EXPECT_EQ(TempDir::Read(rom), Pattern(5000)) << target;
  }
  // The same from the other side: a link as the source and the file itself as the target.
  FailureOf([&] { disk.Copy(dir / "link.nes", "mario.nes"); });
  EXPECT_EQ(TempDir::Read(rom), Pattern(5000));
}

TEST_F(DiskFileSystemTest, CopyOntoADirectoryFailsAndLeavesItAlone) {
  const std::string rom = dir.Write("mario.nes", Pattern(100));
  fs::create_directory(dir.path() / "out");
  dir.Write("out/keep.txt", {1, 2, 3});
  const HostFailure failure = FailureOf([&] { disk.Copy(rom, dir / "out"); });
  EXPECT_EQ(failure.kind(), FailureKind::FileNotFound);
  EXPECT_TRUE(fs::is_directory(dir.path() / "out"));
  EXPECT_EQ(TempDir::Read(dir / "out/keep.txt"), (std::vector<unsigned char>{1, 2, 3}));
}

TEST_F(DiskFileSystemTest, PipesAreRefusedWithoutWaitingForAPartner) {
  const std::string pipe = dir / "pipe";
  ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
  const std::string file = dir.Write("file.bin", Pattern(10));
  std::vector<std::uint8_t> range(4);
  const std::function<void()> operations[] = {
      [&] { disk.Copy(pipe, dir / "copy.bin"); }, [&] { disk.Copy(file, pipe); },
      [&] { disk.FileLength(pipe); },             [&] { disk.ReadAt(pipe, 0, range); },
      [&] { disk.WriteAt(pipe, 0, range); },
  };
  for (const auto& operation : operations) EXPECT_EQ(FailureOf(operation).kind(), FailureKind::FileNotFound);
  EXPECT_EQ(TempDir::Read(file), Pattern(10));
}

TEST(SystemClockTest, GivesTheTimeOfDay) {
  const float seconds = engine::SystemClock().SecondsSinceMidnight();
  EXPECT_GE(seconds, 0.0f);
  EXPECT_LT(seconds, 86401.0f);
}

TEST_F(DiskFileSystemTest, CopyFromAMissingFileLeavesTheTargetAsItWas) {
  const std::string out = dir.Write("CORRUPT.nes", Pattern(300, 40));
  FailureOf([&] { disk.Copy(dir / "missing.nes", out); });
  EXPECT_EQ(TempDir::Read(out), Pattern(300, 40));
}

TEST_F(DiskFileSystemTest, MeasuresAndAddressesFilesBeyondTwoGibibytes) {
  const std::string big = dir / "disc.iso";
  dir.Write("disc.iso", {});
  const std::int64_t length = std::int64_t{3} << 30;
  fs::resize_file(big, static_cast<std::uintmax_t>(length));
  EXPECT_EQ(disk.FileLength(big), length);

  const std::int64_t offset = (std::int64_t{5} << 29) - 3;  // 2.5 GiB, just before a page edge
  const std::vector<std::uint8_t> data{9, 8, 7, 6, 5, 4};
  disk.WriteAt(big, offset, data);
  std::vector<std::uint8_t> back(8);
  disk.ReadAt(big, offset - 1, back);
  EXPECT_EQ(back, (std::vector<std::uint8_t>{0, 9, 8, 7, 6, 5, 4, 0}));
  EXPECT_EQ(disk.FileLength(big), length);
}

}  // namespace
