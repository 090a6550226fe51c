#pragma once

#include <QObject>

namespace ui {

// While it lives, no mouse press, key, wheel turn or shortcut reaches any
// widget of the application: such input is dropped, not kept for later, so a
// press of GO made while a run works starts nothing, neither now nor
// afterwards. Painting, timers and the close box still get through.
class InputBlocker : public QObject {
 public:
  InputBlocker();
  ~InputBlocker() override;
  InputBlocker(const InputBlocker&) = delete;
  InputBlocker& operator=(const InputBlocker&) = delete;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
};

}  // namespace ui
