#pragma once

#include <gtest/gtest.h>

#include <QAction>
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

#include "host/disk_file_system.h"
#include "support/fakes.h"
#include "support/memory_store.h"
#include "ui/dialogs.h"
#include "ui/frm.h"

using engine::Field;

class RecordingDialogs : public ui::Dialogs {
 public:
  void ShowMessage(QWidget*, const QString& text) override { messages.push_back(text.toStdString()); }
  std::vector<std::string> messages;
};

// A window over recording dialogs, the real disk, a recording launcher, a fixed clock, scripted
// random numbers and a store in memory. Restores the working directory, which runs may change.
class WindowTest : public ::testing::Test {
 protected:
  WindowTest() : services{&dialogs, &files, &launcher, &clock, &random, &store} { Rebuild(); }
  ~WindowTest() override { std::filesystem::current_path(savedDirectory_); }

  // A window over `services` as they are now, started as the program starts it when asked.
  void Rebuild(bool started = false) {
    window = std::make_unique<ui::frm>(services);
    if (started) window->Form_Load();
  }
  void Apply(const engine::JobSettings& job) {
    for (const engine::Field field : engine::AllFields()) window->WriteField(field, engine::GetField(job, field));
  }
  void Write(engine::Field field, const engine::FieldValue& value) { window->WriteField(field, value); }
  void Write(engine::Field field, const char* text) { Write(field, std::string(text)); }
  void ShowActive() {
    window->show();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
  }
  QWidget* Find(const char* name) { return window->findChild<QWidget*>(name); }

  // Every text box, every check box (0, 1, 2 grey) and every chosen option, by name:
  // "optAll optChdir=1 txtAdd=1 ...".
  std::string Shown() const {
    std::map<QString, QString> shown;
    for (auto* box : window->findChildren<QLineEdit*>()) shown[box->objectName()] = "=" + box->text();
    for (auto* box : window->findChildren<QCheckBox*>())
      shown[box->objectName()] = "=" + QString::number(ui::frm::CheckValue(box));
    for (auto* option : window->findChildren<QRadioButton*>())
      if (option->isChecked()) shown[option->objectName()] = "";
    QStringList all;
    for (const auto& [name, value] : shown) all << name + value;
    return all.join(' ').toStdString();
  }
  // The Save Global captions, "|" after each; a Load Global caption that differs follows "!".
  std::string Captions() const {
    QString all;
    for (std::size_t i = 0; i < 11; ++i) {
      const QString save = window->mnuSG[i]->text(), load = window->mnuLG[i]->text();
      all += save + (save == load ? "|" : "!" + load + "|");
    }
    return all.toStdString();
  }

  RecordingDialogs dialogs;
  host::DiskFileSystem files;
  RecordingLauncher launcher;
  FixedClock clock;
  ScriptedRandom random{{ScriptedRandom::For(0x42, 256)}};
  settings::MemoryStore store;
  ui::Services services;
  std::unique_ptr<ui::frm> window;

 private:
  std::filesystem::path savedDirectory_ = std::filesystem::current_path();
};
