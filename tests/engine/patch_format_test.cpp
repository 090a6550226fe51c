#include "engine/patch_format.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "engine/bps_patch.h"
#include "engine/ips_patch.h"
#include "support/memory_patch.h"

namespace engine {
namespace {

using Bytes = std::vector<std::uint8_t>;

// The patch from `source` to `target`, fed in pieces of `piece` bytes; empty when nothing differs.
Bytes Export(PatchFormat format, const Bytes& source, const Bytes& target, std::size_t piece = 4096) {
  Bytes patch;
  auto writer = MakePatchWriter(format, static_cast<std::int64_t>(source.size()),
                                [&](std::span<const std::uint8_t> bytes) { patch.insert(patch.end(), bytes.begin(), bytes.end()); });
  for (std::size_t at = 0; at < source.size(); at += piece) {
    const std::size_t n = std::min(piece, source.size() - at);
    writer->Compare(std::span(source).subspan(at, n), std::span(target).subspan(at, n));
  }
  return writer->Finish() ? patch : Bytes{};
}

// What importing the patch onto `source` gives.
Bytes Import(const Bytes& patch, const Bytes& source) {
  MemoryTarget io;
  io.source = source;
  ::Import(patch, io);
  return io.target;
}

Bytes Random(std::size_t size, unsigned seed) {
  std::mt19937 random(seed);
  Bytes bytes(size);
  for (auto& b : bytes) b = static_cast<std::uint8_t>(random());
  return bytes;
}

Bytes With(Bytes bytes, std::size_t first, std::size_t last, const std::function<std::uint8_t(std::size_t)>& value) {
  for (std::size_t i = first; i <= last; ++i) bytes[i] = value(i);
  return bytes;
}

constexpr std::size_t k16MiB = std::size_t{1} << 24;

// Export then import gives the output back, byte for byte, in both formats, whatever the pieces the export reads.
TEST(PatchRoundTrip, ImportGivesBackWhatWasExported) {
  struct Row {
    const char* name;
    Bytes rom;
    Bytes output;
  };
  const Bytes random = Random(200'000, 1);
  const Bytes zeros16MiB(k16MiB, 0);
  const Row rows[] = {
      {.name = "one byte", .rom = {7}, .output = {8}},
      {.name = "scattered random glitches",
       .rom = random,
       .output = With(random, 1000, 1999, [](std::size_t i) { return std::uint8_t(i * 13 % 7 == 0 ? i : 0); })},
      {.name = "a run of one value longer than an IPS record",
       .rom = random,
       .output = With(random, 10, 140'000, [](std::size_t) { return std::uint8_t{0xAA}; })},
      {.name = "varied bytes longer than an IPS record",
       .rom = random,
       .output = With(random, 5, 70'000, [&](std::size_t i) { return std::uint8_t(~random[i]); })},
      {.name = "a change at the offset that reads as the IPS end marker",
       .rom = zeros16MiB,
       .output = With(zeros16MiB, kIpsEndMarkerOffset, kIpsEndMarkerOffset, [](std::size_t) { return std::uint8_t{1}; })},
      {.name = "a run starting at the end-marker offset",
       .rom = zeros16MiB,
       .output = With(zeros16MiB, kIpsEndMarkerOffset, kIpsEndMarkerOffset + 99, [](std::size_t) { return std::uint8_t{5}; })},
      {.name = "the last byte of exactly 16 MiB",
       .rom = zeros16MiB,
       .output = With(zeros16MiB, k16MiB - 1, k16MiB - 1, [](std::size_t) { return std::uint8_t{9}; })},
  };
  for (const Row& row : rows) {
    for (const PatchFormat format : {PatchFormat::Ips, PatchFormat::Bps}) {
      for (const std::size_t piece : {std::size_t{4096}, std::size_t{77}}) {
        const Bytes patch = Export(format, row.rom, row.output, piece);
        ASSERT_FALSE(patch.empty()) << row.name;
        EXPECT_TRUE(Import(patch, row.rom) == row.output) << row.name << (format == PatchFormat::Ips ? " IPS" : " BPS");
      }
    }
  }
}

TEST(PatchExport, RefusesWhatItCannotWrite) {
  const Bytes rom(k16MiB + 10, 0);
  EXPECT_TRUE(Export(PatchFormat::Ips, rom, rom).empty());  // nothing differs
  EXPECT_TRUE(Export(PatchFormat::Bps, Bytes{}, Bytes{}).empty());
  const Bytes pastIps = With(rom, k16MiB, k16MiB, [](std::size_t) { return std::uint8_t{1}; });
  try {
    Export(PatchFormat::Ips, rom, pastIps);
    ADD_FAILURE() << "a change past 16 MiB went into an IPS patch";
  } catch (const PatchFailure& failure) {
    EXPECT_EQ(failure.kind(), PatchFailure::Kind::TooFarForIps);
  }
  EXPECT_TRUE(Import(Export(PatchFormat::Bps, rom, pastIps), rom) == pastIps);
}

std::uint32_t Crc(const Bytes& bytes) { return static_cast<std::uint32_t>(::crc32(0, bytes.data(), static_cast<uInt>(bytes.size()))); }

Bytes Text(const std::string& text) { return Bytes(text.begin(), text.end()); }

Bytes Concat(std::initializer_list<Bytes> parts) {
  Bytes all;
  for (const Bytes& part : parts) all.insert(all.end(), part.begin(), part.end());
  return all;
}

// A BPS patch with correct checksums around the given actions: "BPS1", sizes, no metadata.
Bytes Bps(std::uint8_t sourceSize, std::uint8_t targetSize, const Bytes& actions, std::uint32_t sourceCrc, std::uint32_t targetCrc) {
  Bytes patch = Concat({Text("BPS1"), {std::uint8_t(0x80 | sourceSize), std::uint8_t(0x80 | targetSize), 0x80}, actions});
  for (const std::uint32_t crc : {sourceCrc, targetCrc})
    for (int i = 0; i < 4; ++i) patch.push_back(std::uint8_t(crc >> (8 * i)));
  const std::uint32_t own = Crc(patch);
  for (int i = 0; i < 4; ++i) patch.push_back(std::uint8_t(own >> (8 * i)));
  return patch;
}

// A hostile or damaged patch is refused with its reason before anything is written, never read or written past
// either file's end.
TEST(PatchImport, RefusesPatchesThatAreNotWellFormedOrMadeForAnotherFile) {
  const Bytes rom = {1, 2, 3, 4};
  const Bytes good = Export(PatchFormat::Bps, rom, {1, 9, 3, 4});
  const std::uint32_t romCrc = Crc(rom);
  struct Row {
    const char* name;
    Bytes patch;
    PatchFailure::Kind kind = PatchFailure::Kind::Malformed;  // unless given
    const char* reason;
  };
  const Row rows[] = {
      {.name = "neither format", .patch = Text("HELLO WORLD"), .reason = "neither an IPS nor a BPS patch"},
      {.name = "empty", .patch = {}, .reason = "neither an IPS nor a BPS patch"},
      {.name = "IPS without its end marker", .patch = Concat({Text("PATCH"), {0, 0, 1, 0, 1, 7}}), .reason = "the patch is cut short: no end marker"},
      {.name = "IPS run of no bytes",
       .patch = Concat({Text("PATCH"), {0, 0, 1, 0, 0, 0, 0, 7}, Text("EOF")}),
       .reason = "a run-length record of no bytes"},
      {.name = "IPS bytes after the end marker", .patch = Concat({Text("PATCH"), Text("EOF"), {1}}), .reason = "bytes follow the end marker"},
      {.name = "BPS cut short", .patch = Bytes(good.begin(), good.end() - 1), .reason = "the patch's own checksum does not match: it is damaged"},
      {.name = "BPS with a damaged byte",
       .patch = With(good, 8, 8, [&](std::size_t i) { return std::uint8_t(good[i] ^ 1); }),
       .reason = "the patch's own checksum does not match: it is damaged"},
      {.name = "BPS length that overflows",
       .patch = Bps(4, 4, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0x7F, 0x80}, romCrc, 0),
       .reason = "a number in the patch overflows"},
      {.name = "BPS source copy outside the source",
       .patch = Bps(4, 4, {0x80 | (3 << 2 | 2), 0x80 | (9 << 1)}, romCrc, 0),
       .reason = "an action reads outside the source"},
      {.name = "BPS target copy of what is not written yet",
       .patch = Bps(4, 4, {0x80 | (3 << 2 | 3), 0x80}, romCrc, 0),
       .reason = "an action reads outside the target"},
      {.name = "BPS action past the target's end",
       .patch = Bps(4, 4, {0x80 | (4 << 2 | 0)}, romCrc, 0),
       .reason = "an action writes past the target's end"},
      {.name = "BPS for a ROM of another size",
       .patch = Bps(5, 5, {0x80 | (4 << 2 | 0)}, romCrc, 0),
       .kind = PatchFailure::Kind::OtherFile,
       .reason = "the ROM's size differs from the one the patch names"},
      {.name = "BPS whose result has another checksum",
       .patch = Bps(4, 4, {0x80 | (3 << 2 | 0)}, romCrc, 0),
       .kind = PatchFailure::Kind::OtherFile,
       .reason = "the result's checksum differs from the one the patch names"},
  };
  for (const Row& row : rows) {
    try {
      Import(row.patch, rom);
      ADD_FAILURE() << row.name << " was applied";
    } catch (const PatchFailure& failure) {
      EXPECT_EQ(failure.kind(), row.kind) << row.name;
      EXPECT_STREQ(failure.what(), row.reason) << row.name;
    }
  }
}

// IPS records past the end of the ROM extend the output, and a truncation size after the end marker cuts it.
TEST(PatchImport, IpsRecordsPastTheEndExtendTheOutput) {
  const Bytes rom = {1, 2, 3};
  EXPECT_EQ(Import(Concat({Text("PATCH"), {0, 0, 4, 0, 2, 8, 9}, Text("EOF")}), rom), (Bytes{1, 2, 3, 0, 8, 9}));
  EXPECT_EQ(Import(Concat({Text("PATCH"), {0, 0, 0, 0, 0, 0, 2, 5}, Text("EOF"), {0, 0, 2}}), rom), (Bytes{5, 5}));
}

}  // namespace
}  // namespace engine
