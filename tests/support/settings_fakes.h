#pragma once

#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "engine/job_settings.h"
#include "settings/registry.h"

namespace settings {

// How a test failure shows a StoreFailure.
inline void PrintTo(const StoreFailure& failure, std::ostream* out) {
  *out << "{\"" << failure.file << "\", \"" << failure.reason << "\"}";
}

// The window's fields as a JobSettings, with a log of the writes.
class RecordingControls : public FieldControls {
 public:
  explicit RecordingControls(engine::JobSettings initial = {}) : job(std::move(initial)) {}

  engine::FieldValue ReadField(int index) override { return engine::GetField(job, index); }
  void WriteField(int index, const engine::FieldValue& value) override {
    writes.emplace_back(index, value);
    engine::SetField(job, index, value);
  }

  engine::JobSettings job;
  std::vector<std::pair<int, engine::FieldValue>> writes;
};

class RecordingMenus : public GlobalMenus {
 public:
  void SetSlotCaption(int slot, const std::string& caption) override { captions.emplace_back(slot, caption); }
  std::vector<std::pair<int, std::string>> captions;
};

// The keys of the stored fields on which two jobs differ.
inline std::vector<std::string> DifferingKeys(const engine::JobSettings& a, const engine::JobSettings& b) {
  std::vector<std::string> keys;
  for (int i = 0; i < engine::kFieldCount; ++i) {
    if (engine::GetField(a, i) != engine::GetField(b, i))
      keys.emplace_back(engine::kFields[static_cast<std::size_t>(i)].key);
  }
  return keys;
}

// A job whose every field differs from both default columns.
inline engine::JobSettings UnusualJob() {
  return {.chdir = 0,
          .path = "  D:\\games\\ ",
          .emu = "fceux \"%1\" --fullscreen=1; rm -rf",
          .rom =
              "Z\xC3\xBC"
              "rich [!].nes",
          .autocreate = 0,
          .start = "",
          .end = "'A",
          .inc = "%1000",
          .optall = false,
          .optnth = true,
          .nth = "=3",
          .optmask = true,
          .mask = "[Defaults]",
          .optrandomseq = 1,
          .range1 = "#comment",
          .range2 = "a=b\\nc",
          .sequence = "1,2,3",
          .shift = "\t-2",
          .add = "\"quoted\"",
          .optshift = true,
          .optcorrupt = false,
          .optadd = true,
          .optrandombytes = false,
          .optbyterange = true,
          .optsequence = true,
          .optoverwrite = 0,
          .create = "not stored"};
}

}  // namespace settings
