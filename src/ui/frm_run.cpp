// GO and "Create Now": read the job from the controls and hand it to the engine.
#include <QLineEdit>
#include <QTimer>

#include "engine/failure.h"
#include "engine/fresh_copy.h"
#include "engine/run.h"
#include "ui/frm.h"
#include "ui/window_work.h"

namespace ui {

// The engine reports its own failures; anything that still escapes it must
// not end the program from inside a Qt slot, so it is shown as a failure.
void frm::RunGuarded(const std::function<void()>& call) {
  try {
    call();
  } catch (...) {
    ShowMessage("Error! " + engine::DescribeCurrentFailure());
    SetStatus(engine::kStatusError);
  }
}

void frm::AsOneRun(const std::function<void()>& handler) {
  if (work_->Waiting()) return;
  if (runDepth_++ == 0) work_->BeginCall();
  struct End {
    frm* window;
    ~End() {
      if (--window->runDepth_ > 0) return;
      window->work_->EndCall();
      if (window->closeAsked_) QTimer::singleShot(0, window, &QWidget::close);
      window->closeAsked_ = false;
    }
  } end{this};
  handler();
}

void frm::cmdGo_Click() {
  AsOneRun([this] {
    RunGuarded([this] {
      engine::Host host = MakeHost();
      engine::RunJob(ReadJob(), host);
    });
  });
}

void frm::cmdCreateNow_Click() {
  AsOneRun([this] {
    RunGuarded([this] {
      engine::Host host = MakeHost();
      engine::CreateNow(ReadJob(), host);
    });
  });
}

}  // namespace ui
