#pragma once

#include <string>
#include <utility>
#include <vector>

#include "engine/job_settings.h"
#include "settings/registry.h"

namespace settings {

// The window's fields as a JobSettings, with a log of the writes.
class RecordingControls : public FieldControls {
 public:
  RecordingControls() = default;
  explicit RecordingControls(engine::JobSettings initial) : job(std::move(initial)) {}

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
  void SetSlotCaption(int slot, const std::string& caption) override {
    captions.emplace_back(slot, caption);
  }
  std::vector<std::pair<int, std::string>> captions;
};

// A job whose every field differs from both default columns.
inline engine::JobSettings UnusualJob() {
  engine::JobSettings job;
  job.chdir = 0;
  job.path = "  D:\\games\\ ";
  job.emu = "fceux \"%1\" --fullscreen=1; rm -rf";
  job.rom = "Z\xC3\xBC" "rich [!].nes";
  job.autocreate = 0;
  job.start = "";
  job.end = "'A";
  job.inc = "%1000";
  job.optall = false;
  job.optnth = true;
  job.nth = "=3";
  job.optmask = true;
  job.mask = "[Defaults]";
  job.optrandomseq = 1;
  job.range1 = "#comment";
  job.range2 = "a=b\\nc";
  job.sequence = "1,2,3";
  job.shift = "\t-2";
  job.add = "\"quoted\"";
  job.optshift = true;
  job.optcorrupt = false;
  job.optadd = true;
  job.optrandombytes = false;
  job.optbyterange = true;
  job.optsequence = true;
  job.optoverwrite = 0;
  job.create = "not stored";
  return job;
}

}  // namespace settings
