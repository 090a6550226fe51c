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
  // A real click reaches the window before the button: let through every
  // mouse event over the open button, whoever receives it.
  if (const auto* mouse = dynamic_cast<QMouseEvent*>(event);
      mouse && open_->isVisible() &&
      open_->rect().contains(open_->mapFromGlobal(mouse->globalPosition().toPoint())))
    return false;
  if (event->isInputEvent() || event->type() == QEvent::Shortcut) return true;
  return QObject::eventFilter(watched, event);
}

}  // namespace ui
