#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <atomic>
#include <cstdint>
#include <functional>

#include "engine/host.h"

class QProgressBar;

namespace ui {

// Runs the long stretches of a job on a worker thread while the window's own
// event loop keeps turning: the window repaints and answers, but no mouse
// press, key or shortcut reaches any control until the stretch has ended.
// Once a handler call has worked for half a second, `bar` shows the bytes
// done; it hides again when the stretch ends.
class WindowWork : public QObject, public engine::LongWork {
 public:
  explicit WindowWork(QProgressBar* bar);

  // One handler call that may run stretches: the counts start anew, and the
  // bar is hidden at its end.
  void BeginCall();
  void EndCall();
  // A stretch runs and the event loop turns in the meantime.
  bool Waiting() const { return waiting_; }

  void Expect(std::uint64_t bytes) override;
  void Run(const std::function<void(engine::Progress&)>& stretch) override;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  class Counter : public engine::Progress {
   public:
    void Advance(std::uint64_t bytes) override { done.fetch_add(bytes, std::memory_order_relaxed); }
    std::atomic<std::uint64_t> done{0};
  };

  void ShowProgress();

  QProgressBar* bar_;
  Counter counter_;
  std::uint64_t expected_ = 0;
  qint64 workedMs_ = 0;  // in the finished stretches of this call
  QElapsedTimer stretchTime_;
  bool waiting_ = false;
};

}  // namespace ui
