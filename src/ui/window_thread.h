#pragma once

class QObject;

namespace ui {

// The thread rule: the window and everything that touches a widget run on the
// window's thread. Long file work runs on one worker thread at a time, which
// calls only the file system, the random source and the progress counter.
//
// Ends the program with a message naming `call` when it is called off the
// thread that owns `window`. Active in debug builds and in builds with the
// tests; a no-op in a release build of the program alone.
void RequireWindowThread(const QObject& window, const char* call);

}  // namespace ui
