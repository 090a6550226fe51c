#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "engine/job_settings.h"
#include "engine/real_host.h"
#include "support/fakes.h"
#include "support/memory_store.h"
#include "ui/dialogs.h"
#include "ui/frm.h"

// Records every message box instead of showing it.
class RecordingDialogs : public ui::Dialogs {
 public:
  void ShowMessage(QWidget*, const QString& text) override { messages.push_back(text.toStdString()); }
  std::vector<std::string> messages;
};

// A window over recording dialogs, the real disk, a recording launcher, a
// fixed clock and scripted random numbers. Restores the working directory,
// which runs may change.
class WindowTest : public ::testing::Test {
 protected:
  WindowTest() : savedDirectory_(std::filesystem::current_path()) {
    window = std::make_unique<ui::frm>(FakeServices());
  }
  ~WindowTest() override { std::filesystem::current_path(savedDirectory_); }

  // The doubles below; a test that needs another service swaps it and builds
  // `window` again.
  ui::Services FakeServices() {
    return {.dialogs = &dialogs,
            .files = &files,
            .launcher = &launcher,
            .clock = &clock,
            .random = &random,
            .settings = &store};
  }

  // Writes every field as start-up does on a first run, in store order.
  void LoadFirstRunDefaults() {
    const engine::JobSettings defaults = engine::FirstRunDefaults();
    for (int i = 0; i < engine::kFieldCount; ++i) window->WriteField(i, engine::GetField(defaults, i));
  }

  void Write(const char* key, const engine::FieldValue& value) {
    auto index = engine::FieldIndex(key);
    ASSERT_TRUE(index.has_value()) << key;
    window->WriteField(*index, value);
  }
  void Write(const char* key, const char* text) { Write(key, std::string(text)); }

  // Shows the window and gives it the keyboard, for tests of focus and keys.
  void ShowActive() {
    window->show();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
  }

  QWidget* Find(const char* name) { return window->findChild<QWidget*>(QString::fromLatin1(name)); }

  // Every text box, every check box (0, 1, 2 grey) and every chosen option,
  // sorted by name: "optAll optChdir=1 txtAdd=1 ...".
  static std::string Shown(const ui::frm& w) {
    std::map<QString, QString> shown;
    for (auto* box : w.findChildren<QLineEdit*>()) shown[box->objectName()] = "=" + box->text();
    for (auto* box : w.findChildren<QCheckBox*>())
      shown[box->objectName()] = "=" + QString::number(ui::frm::CheckValue(box));
    for (auto* option : w.findChildren<QRadioButton*>())
      if (option->isChecked()) shown[option->objectName()] = "";
    QString all;
    for (const auto& [name, value] : shown) all += (all.isEmpty() ? "" : " ") + name + value;
    return all.toStdString();
  }

  RecordingDialogs dialogs;
  engine::DiskFileSystem files;
  RecordingLauncher launcher;
  FixedClock clock;
  ScriptedRandom random{{ScriptedRandom::For(0x42, 256)}};
  settings::MemoryStore store;
  std::unique_ptr<ui::frm> window;

 private:
  std::filesystem::path savedDirectory_;
};
