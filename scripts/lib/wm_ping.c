/* Asks a window what a desktop asks it, from outside the program.
 *
 *   wm_ping WINDOW LOG    sends _NET_WM_PING every 20 ms until killed, as a desktop does before it
 *                         calls a window "not responding"; LOG gets "S n ms" when ping n is sent
 * and "A n ms" when the window's answer arrives (wall-clock milliseconds). wm_ping WINDOW close
 * asks the window to close, as its close box does (WM_DELETE_WINDOW).
 *
 * A program answers a ping from its event loop, so an answer that is late is an event loop that
 * stalled. Build: cc -O2 -o wm_ping wm_ping.c -lX11 */
#include <X11/Xlib.h>
#include <poll.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>

static double NowMs(void) {
  struct timespec t;
  clock_gettime(CLOCK_REALTIME, &t);
  return t.tv_sec * 1000.0 + t.tv_nsec / 1e6;
}

/* The window is gone (the program has ended): so is the probe's work. */
static int WindowGone(Display* display, XErrorEvent* error) {
  (void)display;
  (void)error;
  exit(0);
}

static void Send(Display* display, Window window, Atom protocol, long serial) {
  XEvent event;
  memset(&event, 0, sizeof event);
  event.xclient.type = ClientMessage;
  event.xclient.window = window;
  event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
  event.xclient.format = 32;
  event.xclient.data.l[0] = (long)protocol;
  event.xclient.data.l[1] = serial; /* the time field; the answer carries it back */
  event.xclient.data.l[2] = (long)window;
  XSendEvent(display, window, False, NoEventMask, &event);
  XFlush(display);
}

int main(int argc, char** argv) {
  if (argc != 3) {
    fprintf(stderr, "usage: wm_ping WINDOW LOG|close\n");
    return 2;
  }
  Display* display = XOpenDisplay(NULL);
  if (!display) return 1;
  XSetErrorHandler(WindowGone);
  const Window window = (Window)strtoul(argv[1], NULL, 0);
  if (strcmp(argv[2], "close") == 0) {
    Send(display, window, XInternAtom(display, "WM_DELETE_WINDOW", False), CurrentTime);
    XCloseDisplay(display);
    return 0;
  }
  FILE* log = fopen(argv[2], "w");
  if (!log) return 1;
  const Atom ping = XInternAtom(display, "_NET_WM_PING", False);
  const Atom protocols = XInternAtom(display, "WM_PROTOCOLS", False);
  /* The answer goes to the root window. */
  XSelectInput(display, DefaultRootWindow(display), StructureNotifyMask | SubstructureNotifyMask);
  long serial = 0;
  for (double next = NowMs();;) {
    if (NowMs() >= next) {
      Send(display, window, ping, ++serial);
      fprintf(log, "S %ld %.1f\n", serial, NowMs());
      fflush(log);
      next += 20;
    }
    while (XPending(display)) {
      XEvent event;
      XNextEvent(display, &event);
      if (event.type == ClientMessage && event.xclient.message_type == protocols &&
          (Atom)event.xclient.data.l[0] == ping) {
        fprintf(log, "A %ld %.1f\n", event.xclient.data.l[1], NowMs());
        fflush(log);
      }
    }
    struct pollfd fd = {ConnectionNumber(display), POLLIN, 0};
    const double wait = next - NowMs();
    poll(&fd, 1, wait > 0 ? (int)wait + 1 : 0);
  }
}
