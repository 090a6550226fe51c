// GO and "Create Now": read the job from the controls and hand it to the engine.
#include <QLineEdit>
#include <exception>
#include <new>

#include "engine/failure.h"
#include "engine/run.h"
#include "ui/frm.h"

namespace ui {

// The engine reports its own failures; anything that still escapes it must
// not end the program from inside a Qt slot, so it is shown as a failure.
template <typename Call>
void frm::RunGuarded(Call call) {
  try {
    call();
  } catch (const std::bad_alloc&) {
    ShowMessage(std::string("Error! ") + engine::DescribeFailure(engine::FailureKind::OutOfMemory));
    SetStatus(engine::kStatusError);
  } catch (const std::exception& failure) {
    ShowMessage(std::string("Error! ") + failure.what());
    SetStatus(engine::kStatusError);
  }
}

void frm::cmdGo_Click() {
  RunGuarded([this] {
    engine::Host host = MakeHost();
    engine::RunJob(ReadJob(), host);
  });
}

void frm::cmdCreateNow_Click() {
  RunGuarded([this] {
    engine::Host host = MakeHost();
    engine::CreateNow(ReadJob(), host);
  });
}

}  // namespace ui
