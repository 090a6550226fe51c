#include "ui/input_blocker.h"

#include <QCoreApplication>
#include <QEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWidget>

namespace ui {

InputBlocker::InputBlocker(QWidget* open, std::function<void()> onEscape)
    : open_(open), onEscape_(std::move(onEscape)) {
  QCoreApplication::instance()->installEventFilter(this);
}

InputBlocker::~InputBlocker() { QCoreApplication::instance()->removeEventFilter(this); }

bool InputBlocker::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress &&
      static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
    onEscape_();
    return true;
  }
  if (watched == static_cast<QObject*>(open_) && dynamic_cast<QMouseEvent*>(event)) return false;
  if (event->isInputEvent() || event->type() == QEvent::Shortcut) return true;
  return QObject::eventFilter(watched, event);
}

}  // namespace ui
