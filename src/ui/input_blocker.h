#pragma once

#include <QObject>
#include <functional>

class QWidget;

namespace ui {

// While it lives, no mouse press, key, wheel turn or shortcut reaches any
// widget of the application: such input is dropped, not kept for later, so a
// press of GO made while a run works starts nothing, neither now nor
// afterwards. Painting, timers and the close box still get through, and so
// does the mouse on `open` (the Cancel button); Esc calls `onEscape`.
class InputBlocker : public QObject {
 public:
  InputBlocker(QWidget* open, std::function<void()> onEscape);
  ~InputBlocker() override;
  InputBlocker(const InputBlocker&) = delete;
  InputBlocker& operator=(const InputBlocker&) = delete;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QWidget* open_;
  std::function<void()> onEscape_;
};

}  // namespace ui
