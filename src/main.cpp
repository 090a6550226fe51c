#include <QApplication>

#include "command_line.h"
#include "engine/real_host.h"
#include "platform/detached_launcher.h"
#include "platform/qt_settings_store.h"
#include "ui/dialogs.h"
#include "ui/frm.h"

int main(int argc, char** argv) {
  if (const auto exitStatus = HandleCommandLine(argc, argv)) return *exitStatus;
  // Wayland ties the window to its desktop entry by this name.
  QGuiApplication::setDesktopFileName(QStringLiteral("io.github.glitchforge.glitchforge"));
  QApplication app(argc, argv);
  ui::QtDialogs dialogs;
  engine::DiskFileSystem files;
  platform::DetachedLauncher launcher;
  engine::SystemClock clock;
  engine::FastRandom random;
  platform::QtSettingsStore store;
  ui::frm window({.dialogs = &dialogs,
                  .files = &files,
                  .launcher = &launcher,
                  .clock = &clock,
                  .random = &random,
                  .settings = &store});
  window.Form_Load();
  window.show();
  return app.exec();
}
