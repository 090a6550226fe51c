#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>

#include "engine/host.h"

class QProgressBar;
class QPushButton;

namespace ui {

// How long a handler call works before the progress bar shows.
inline constexpr std::chrono::milliseconds kShowProgressAfter{500};

// Runs the long stretches of a job on a worker thread while the window's own
// event loop keeps turning: the window repaints and answers, but no input
// reaches any control until the stretch has ended (see InputBlocker). Once a
// handler call has worked for `showAfter`, `bar` shows the bytes done; it
// hides again when the stretch ends; the Cancel button beside it (and Esc)
// stops the stretch at its next piece. Every member is called on the window's
// thread; only the stretch and the progress it is handed run on the worker.
class WindowWork : public QObject, public engine::LongWork {
 public:
  WindowWork(QProgressBar* bar, QPushButton* cancel, std::chrono::milliseconds showAfter);

  // One handler call that may run stretches: the counts start anew, and the
  // bar is hidden at its end.
  void BeginCall();
  void EndCall();
  // A stretch runs and the event loop turns in the meantime.
  bool Waiting() const { return waiting_; }
  // Asks the stretch to stop at its next piece: its progress then throws
  // engine::Cancelled on the worker. Lasts to the end of the handler call.
  void Cancel() { counter_.cancelled = true; }

  void Expect(std::uint64_t bytes) override;
  void Run(const std::function<void(engine::Progress&)>& stretch) override;

 private:
  // Advanced on the worker, read by the window's timer.
  class Counter : public engine::Progress {
   public:
    void Advance(std::uint64_t bytes) override {
      done.fetch_add(bytes, std::memory_order_relaxed);
      if (cancelled) throw engine::Cancelled();
    }
    std::atomic<std::uint64_t> done{0};
    std::atomic<bool> cancelled{false};
  };

  void ShowProgress();

  QProgressBar* bar_;
  QPushButton* cancel_;
  std::chrono::milliseconds showAfter_;
  Counter counter_;
  std::uint64_t expected_ = 0;
  qint64 workedMs_ = 0;  // in the finished stretches of this call
  QElapsedTimer stretchTime_;
  bool waiting_ = false;
};

}  // namespace ui
