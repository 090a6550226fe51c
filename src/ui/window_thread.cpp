#include "ui/window_thread.h"

#include <QObject>
#include <QThread>

namespace ui {

void RequireWindowThread([[maybe_unused]] const QObject& window,
                         [[maybe_unused]] const char* call) {
#if defined(GLITCHFORGE_THREAD_CHECKS)
  if (QThread::currentThread() != window.thread())
    qFatal("%s called off the window's thread", call);
#endif
}

}  // namespace ui
