#include "ui/window_work.h"

#include <QEventLoop>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <algorithm>
#include <exception>
#include <optional>
#include <thread>

#include "ui/input_blocker.h"
#include "ui/window_thread.h"

namespace ui {

namespace {

constexpr int kTickMs = 40;
constexpr int kBarSteps = 1000;

}  // namespace

WindowWork::WindowWork(QProgressBar* bar, QPushButton* cancel, std::chrono::milliseconds showAfter)
    : bar_(bar), cancel_(cancel), showAfter_(showAfter) {
  connect(cancel_, &QPushButton::clicked, this, [this] { Cancel(); });
}

void WindowWork::BeginCall() {
  counter_.done = 0;
  counter_.cancelled = false;
  expected_ = 0;
  workedMs_ = 0;
}

void WindowWork::EndCall() {
  bar_->hide();
  cancel_->hide();
  bar_->reset();
}

void WindowWork::Expect(std::uint64_t bytes) {
  RequireWindowThread(*this, "LongWork::Expect");
  expected_ += bytes;
}

void WindowWork::Run(const std::function<void(engine::Progress&)>& stretch) {
  RequireWindowThread(*this, "LongWork::Run");
  std::exception_ptr failure;
  QEventLoop loop;
  QTimer tick;
  tick.setInterval(kTickMs);
  connect(&tick, &QTimer::timeout, this, [this] { ShowProgress(); });
  stretchTime_.start();
  ShowProgress();  // a bar already shown by the stretch before stays up
  waiting_ = true;
  std::optional<InputBlocker> blocker(std::in_place, cancel_, [this] { Cancel(); });
  tick.start();
  std::thread worker([&] {
    try {
      stretch(counter_);
    } catch (...) {
      failure = std::current_exception();
    }
    QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
  });
  loop.exec();
  // The loop also ends when the application is told to quit; the stretch
  // still runs to its end, so that no file is left half-written.
  worker.join();
  tick.stop();
  blocker.reset();
  waiting_ = false;
  workedMs_ += stretchTime_.elapsed();
  bar_->hide();
  cancel_->hide();
  if (failure) std::rethrow_exception(failure);
}

void WindowWork::ShowProgress() {
  if (workedMs_ + stretchTime_.elapsed() < showAfter_.count()) return;
  const std::uint64_t done = std::min(counter_.done.load(std::memory_order_relaxed), expected_);
  bar_->setRange(0, expected_ > 0 ? kBarSteps : 0);  // nothing expected: a busy bar
  if (expected_ > 0) bar_->setValue(static_cast<int>(done * kBarSteps / expected_));
  bar_->show();
  cancel_->show();
}

}  // namespace ui
