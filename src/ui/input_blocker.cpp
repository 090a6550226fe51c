#include "ui/input_blocker.h"

#include <QCoreApplication>
#include <QEvent>

namespace ui {

InputBlocker::InputBlocker() { QCoreApplication::instance()->installEventFilter(this); }

InputBlocker::~InputBlocker() { QCoreApplication::instance()->removeEventFilter(this); }

bool InputBlocker::eventFilter(QObject* watched, QEvent* event) {
  if (event->isInputEvent() || event->type() == QEvent::Shortcut) return true;
  return QObject::eventFilter(watched, event);
}

}  // namespace ui
