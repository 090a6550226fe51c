#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "engine/range_buffer.h"
#include "engine/run.h"
#include "engine/status.h"
#include "support/fakes.h"
#include "support/temp_dir.h"

using Bytes = std::vector<unsigned char>;

inline const std::string kLoading = std::string("status: ") + engine::kStatusLoading + "|";
inline const std::string kAltering = std::string("status: ") + engine::kStatusAltering + "|";
inline const std::string kReady = std::string("status: ") + engine::kStatusReady + "|";
inline const std::string kError = std::string("status: ") + engine::kStatusError + "|";
inline const Bytes kStale(50000, 0x55);  // an old output file, longer than the ROM

inline Bytes RomBytes(std::size_t size = 40960) {
  Bytes bytes(size);
  for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<unsigned char>(i * 7 + 3);
  return bytes;
}

inline Bytes Added(Bytes bytes, std::size_t start, std::size_t end) {
  for (std::size_t i = start; i <= end; ++i) bytes[i] = static_cast<unsigned char>(bytes[i] + 1);
  return bytes;
}

// Adds 1 to $1010-$2010 of a fresh copy of the ROM. The names are relative, not ASCII, and the working
// directory is relative too: the copy must not change into röms/röms.
struct Scene {
  Scene() {
    std::filesystem::create_directories(Utf8Path(dir / "röms"));
    dir.Write("röms/mário.nes", RomBytes());
    dir.Write("röms/CORRUPT é.nes", kStale);
    SetItems(job,
             "chdir;path=röms;rom=mário.nes;optoverwrite;emu=nes -fs %1;start=$1010;end=$2010;optall;optadd;add=1");
    job.create = "CORRUPT é.nes";
  }
  ~Scene() {
    std::filesystem::current_path(savedDirectory);
    engine::SetRangeBufferLimit(savedLimit);
  }
  // A run that got to the emulator has reported progress for exactly the bytes it
  // announced. Windows tells no file stamps, so the copy's length goes unannounced there.
  void Go() {
    std::filesystem::current_path(dir.path());
    fake.work.expected = fake.work.advanced = 0;
    const std::size_t started = fake.launcher.started.size();
    RunJob(job, fake.host);
    if (fake.launcher.started.size() > started && fake.files.Stamp(job.rom)) {
      EXPECT_EQ(fake.work.advanced, fake.work.expected);
    }
  }
  Bytes Output() const { return TempDir::Read(out); }

  std::filesystem::path savedDirectory = std::filesystem::current_path();
  std::uint64_t savedLimit = engine::RangeBufferLimit();
  TempDir dir;
  std::string out = dir / "röms/CORRUPT é.nes";
  engine::JobSettings job;
  FakeHost fake;
};
