#include "engine/host.h"

namespace engine {
namespace {

class Ignored : public Progress {
 public:
  void Advance(std::uint64_t) override {}
};

class InPlaceWork : public LongWork {
 public:
  void Expect(std::uint64_t) override {}
  void Run(const std::function<void(Progress&)>& stretch) override { stretch(NoProgress()); }
};

}  // namespace

Progress& NoProgress() {
  static Ignored progress;
  return progress;
}

void FileSystem::Copy(const std::string& from, const std::string& to) {
  Copy(from, to, NoProgress());
}

LongWork& InPlace() {
  static InPlaceWork work;
  return work;
}

}  // namespace engine
