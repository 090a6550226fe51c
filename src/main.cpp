#include <QApplication>
#include <QStandardPaths>

#include "command_line.h"
#include "engine/fast_random.h"
#include "engine/range_buffer.h"
#include "host/disk_file_system.h"
#include "host/physical_memory.h"
#include "host/system_clock.h"
#include "platform/detached_launcher.h"
#include "platform/qt_settings_store.h"
#include "ui/dialogs.h"
#include "ui/frm.h"

int main(int argc, char** argv) {
  if (const auto exitStatus = HandleCommandLine(argc, argv)) return *exitStatus;
  // Wayland ties the window to its desktop entry by this name.
  QGuiApplication::setDesktopFileName(QStringLiteral("io.github.glitchforge.glitchforge"));
  QApplication app(argc, argv);
  engine::SetRangeBufferLimit(host::PhysicalMemory());
  ui::QtDialogs dialogs;
  host::DiskFileSystem files;
  platform::DetachedLauncher launcher;
  host::SystemClock clock;
  engine::FastRandom random;
  platform::QtSettingsStore store;
  ui::frm window({.dialogs = &dialogs,
                  .files = &files,
                  .launcher = &launcher,
                  .clock = &clock,
                  .random = &random,
                  .settings = &store,
                  .dataFolder = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation)});
  window.Form_Load();
  window.show();
  return app.exec();
}
