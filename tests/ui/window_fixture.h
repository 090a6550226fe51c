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
#include <chrono>
#include <filesystem>
#include <map>
#include <memory>

#include "support/fakes.h"
#include "support/memory_store.h"
#include "support/temp_dir.h"
#include "ui/dialogs.h"
#include "ui/frm.h"

using engine::Field;

class RecordingDialogs : public ui::Dialogs {
 public:
  void ShowMessage(QWidget*, const QString& text) override { messages.push_back(text.toStdString()); }
  std::vector<std::string> messages;
};

// A window over recording dialogs, the real disk (with hooks a test may set), a recording launcher, a fixed clock,
// scripted random numbers and a store in memory; a run shows its progress bar at once. Restores the working
// directory, which runs may change.
class WindowTest : public ::testing::Test {
 protected:
  WindowTest() : services{&dialogs, &files, &launcher, &clock, &random, &store} {
    services.progressDelay = std::chrono::milliseconds(0);
    Rebuild();
  }
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

  // The chosen options, by name in name order: one per group, or none in a group.
  QStringList Chosen() const {
    QStringList chosen;
    for (auto* option : window->findChildren<QRadioButton*>())
      if (option->isChecked()) chosen << option->objectName();
    chosen.sort();
    return chosen;
  }
  // Every text box by name with its text, in name order: "txtAdd=1 txtCreate=CORRUPT.nes ...".
  std::string TextBoxes() const {
    std::map<QString, QString> texts;
    for (auto* box : window->findChildren<QLineEdit*>()) texts[box->objectName()] = box->text();
    QStringList all;
    for (const auto& [name, text] : texts) all << name + "=" + text;
    return all.join(' ').toStdString();
  }
  // Every check box by name: 0, 1 or the grey 2.
  std::map<QString, int> Checks() const {
    std::map<QString, int> checks;
    for (auto* box : window->findChildren<QCheckBox*>()) checks[box->objectName()] = ui::frm::CheckValue(box);
    return checks;
  }
  // The captions of the 11 entries of a preset menu.
  static QStringList Captions(const std::array<QAction*, 11>& menu) {
    QStringList captions;
    for (QAction* entry : menu) captions << entry->text();
    return captions;
  }

  RecordingDialogs dialogs;
  FaultyFileSystem files;
  RecordingLauncher launcher;
  FixedClock clock;
  ScriptedRandom random{{ScriptedRandom::For(0x42, 256)}};
  settings::MemoryStore store;
  ui::Services services;
  std::unique_ptr<ui::frm> window;

 private:
  std::filesystem::path savedDirectory_ = std::filesystem::current_path();
};

// A job in a temporary working directory: ROM "rom.bin" of 64 bytes, the output name derived as "CORRUPT.bin", add 1
// to every byte of $10-$1F.
class JobWindowTest : public WindowTest {
 protected:
  using Bytes = std::vector<unsigned char>;

  JobWindowTest() { PrepareJob(); }
  void PrepareJob() {
    for (int i = 0; i < 64; ++i) rom[std::size_t(i)] = static_cast<unsigned char>(i * 7 + 3);
    dir.Write("rom.bin", rom);
    Apply(engine::FirstRunDefaults());
    Write(Field::path, dir.path().string() + "/");
    Write(Field::emu, "emu --fast");
    Write(Field::rom, "rom.bin");
    Write(Field::start, "$10");
    Write(Field::end, "$1F");
    Write(Field::inc, "$10");
    Write(Field::optadd, true);
  }
  Bytes Output() { return TempDir::Read(dir / "CORRUPT.bin"); }
  std::string Status() { return window->lblStatus->text().toStdString(); }
  // `bytes` with 1 added to each of `first` to `last`.
  static Bytes Plus(Bytes bytes, int first, int last) {
    for (int i = first; i <= last; ++i) ++bytes[std::size_t(i)];
    return bytes;
  }

  TempDir dir;
  Bytes rom = Bytes(64);
};
