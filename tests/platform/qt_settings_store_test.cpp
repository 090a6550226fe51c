#include "platform/qt_settings_store.h"

#include <gtest/gtest.h>

#include <QByteArray>
#include <QSettings>
#include <QVariant>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <random>
#include <string>
#include <vector>

#include "platform/ini_text.h"
#include "support/config_home.h"
#include "support/hostile_host.h"
#include "support/settings_fakes.h"
#include "support/temp_dir.h"

namespace platform {
namespace {

namespace fs = std::filesystem;
using Keys = std::vector<std::string>;

std::string Content(const std::string& file) {
  const auto bytes = TempDir::Read(file);
  return {bytes.begin(), bytes.end()};
}

TEST(QtSettingsStore, AJobAndAwkwardTextsComeBackVerbatimFromTheUsersConfFile) {
  const std::vector<std::string> values = {
      "",
      "C:\\",
      "  spaced  ",
      "a;b",
      "#not a comment",
      "[Defaults]",
      "k=v",
      "\"quoted\"",
      "@ByteArray(x)",
      "@Variant(\\0\\0)",
      "@Invalid()",
      "line\nbreak",
      "\\n",
      "Z\xC3\xBCrich \xE2\x82\xAC",
      "a, b",
      "trailing\\",
      "$00,$01",
      " a , b ",
      ",",
      "a,",
      "@@x,y",
      "\"a\",b",
  };
  ASSERT_TRUE(kConfigHomeSet);
  settings::RecordingControls saved(settings::UnusualJob());
  {
    QtSettingsStore store;
    EXPECT_EQ(store.FileName(), (ConfigHome().path() / "Rom Glitchforge 6.conf").string());
    settings::SaveReg("Global10", "a name", store, saved);
    for (std::size_t i = 0; i < values.size(); ++i) store.Save("Global0", std::to_string(i), values[i]);
    ASSERT_EQ(store.Sync(), std::nullopt);
  }
  QtSettingsStore store((ConfigHome().path() / "Rom Glitchforge 6.conf").string());
  settings::RecordingControls loaded(engine::FirstRunDefaults());
  settings::LoadReg("Global10", store, loaded);
  EXPECT_EQ(settings::DifferingKeys(loaded.job, saved.job), Keys{});
  EXPECT_EQ(store.Read("Global10", "Name"), "a name");
  for (std::size_t i = 0; i < values.size(); ++i) EXPECT_EQ(store.Read("Global0", std::to_string(i)), values[i]);
  EXPECT_EQ(store.Read("Global0", "missing"), std::nullopt);
}

// Hand-written lists come back as written, also after the program has rewritten
// the file; a file whose format Qt finds faulty is rewritten, and that counts as kept.
TEST(QtSettingsStore, HandEditedTruncatedAndGarbageFilesLoadWithBadFieldsFallingBack) {
  const std::string edited =
      "[General]\nstray=1\n[Defaults]\nchdir=2\noptall=maybe\noptmask=True\noptrandomseq=yes\n"
      "sequence=$00, $01,$02\nrom=@Rect(1 2 3 4)\nemu=@ByteArray(nes.exe)\nstart=\"$0100\"\n"
      "range1=\"$10\" ,$20\nend=a\\,b,c\nunknownkey=whatever\n[Unknown Section]\nend=$FFFF\n"
      "[Global3]\nName=zelda.nes 0-10\n[Global4]\nName=a,b\nsequence=$00,$01\nbroken line without equals\n";
  TempDir dir;
  std::ofstream(dir / "edited.ini") << edited;
  QtSettingsStore store(dir / "edited.ini");
  settings::RecordingControls controls;
  settings::RecordingMenus menus;
  settings::Start(store, controls, menus);
  engine::JobSettings expected = engine::FirstRunDefaults();
  // chdir, optall and optrandomseq take the missing-key default; rom, a rectangle, counts as missing.
  expected.optrandomseq = 0;
  expected.optmask = true;
  expected.sequence = "$00, $01,$02";
  expected.emu = "nes.exe";
  expected.start = "$0100";
  expected.range1 = "$10,$20";
  expected.end = "ab,c";
  EXPECT_EQ(settings::DifferingKeys(controls.job, expected), Keys{});
  ASSERT_EQ(menus.captions.size(), 11u);
  EXPECT_EQ(menus.captions[3], std::make_pair(3, std::string("&3: zelda.nes 0-10")));
  EXPECT_EQ(menus.captions[4], std::make_pair(4, std::string("&4: a,b")));

  store.Save("Global1", "sequence", "$7F,$FF");
  EXPECT_EQ(store.Sync(), std::nullopt);  // despite the line Qt calls a format error
  QtSettingsStore rewritten(dir / "edited.ini");
  EXPECT_EQ(Content(dir / "edited.ini").find("broken line"), std::string::npos);
  for (const auto& [section, key, text] : {std::tuple{"Global1", "sequence", "$7F,$FF"},
                                           {"Global4", "sequence", "$00,$01"},
                                           {"Global4", "Name", "a,b"},
                                           {"Defaults", "sequence", "$00, $01,$02"},
                                           {"Defaults", "range1", "$10,$20"}})
    EXPECT_EQ(rewritten.Read(section, key), text) << section << "/" << key;

  std::mt19937 random(1234);
  for (int round = 0; round < 40; ++round) {
    std::string content = edited + "[Defaults]\npath=\"unterminated\noptall=@Variant(\\0\\0\\0\\x7f";
    content.resize(random() % (round % 2 ? 4096 : content.size()));
    for (char& c : content) c = round % 2 ? static_cast<char>(random()) : c;
    std::ofstream(dir / "garbage.ini", std::ios::binary) << content;
    QtSettingsStore garbage(dir / "garbage.ini");
    settings::RecordingControls loaded;
    settings::LoadReg("Defaults", garbage, loaded);
    ASSERT_EQ(loaded.writes.size(), engine::kFields.size());
    for (int check : {loaded.job.chdir, loaded.job.autocreate, loaded.job.optrandomseq, loaded.job.optoverwrite})
      EXPECT_LE(check, 1);
  }
}

// A store that cannot be written: Sync says why and names the file, reads give
// what the file holds, and the dropped save does not come back with a later write.
TEST(QtSettingsStore, AStoreThatCannotBeWrittenSaysWhyAndKeepsNothingOfTheSave) {
  TempDir dir;
  const fs::path saved = fs::current_path();
  fs::current_path(dir.path());  // the shell commands below work here
  const std::string keep = "printf '[Global3]\\nName=old slot\\n' > ";
  const struct {
    std::string file, spoil, repair, reason, held;  // held: what slot 3 reads after the failure
    bool asNobody = false;
  } cases[] = {
      {"folder.conf", "mkdir folder.conf", "rmdir folder.conf", "it is a folder, not a file", "none"},
      {"plain/store.conf", "echo > plain", "rm plain", "its folder cannot be made", "none"},
      {"immutable.conf", keep + "immutable.conf && chattr +i immutable.conf", "chattr -i immutable.conf",
       "the file is read-only (Operation not permitted)", "old slot"},
      // A format error in the file hides no failure.
      {"broken.conf", keep + "broken.conf && echo '[Defaults' >> broken.conf && chattr +i broken.conf",
       "chattr -i broken.conf", "the file is read-only (Operation not permitted)", "old slot"},
      {"small/full.conf",
       "mkdir small && mount -t tmpfs -o size=32k tmpfs small && " + keep +
           "small/full.conf && { head -c 65536 /dev/zero > small/fill; true; }",
       "rm small/fill", "there is no room for it (No space left on device)", "old slot"},
      {"closed/store.conf", "mkdir -m 755 closed && " + keep + "closed/store.conf && chmod 666 closed/store.conf",
       "true", "its folder takes no new file (Permission denied)", "old slot", true},
  };
  fs::permissions(dir.path(), fs::perms(0755));
  for (const auto& c : cases) {
    const Spoiled spoiled(c.spoil, c.file.starts_with("small/") ? "umount -l small" : "true");
    if (!spoiled.made) {
      std::cout << "[  SKIPPED ] " << c.file << ": this system cannot spoil the store that way\n";
      continue;
    }
    const std::string file = dir / c.file;
    const auto attempt = [&] {
      QtSettingsStore store(file);
      store.Save("Global3", "Name", "new slot");
      store.Save("Global5", "Name", "new slot");
      const auto failure = store.Sync();
      return (failure ? failure->file + " | " + failure->reason : "kept") + " | " +
             store.Read("Global3", "Name").value_or("none") + " | " + store.Read("Global5", "Name").value_or("none");
    };
    EXPECT_EQ(c.asNobody ? AsNobody(attempt) : attempt(), file + " | " + c.reason + " | " + c.held + " | none");
    if (std::system(c.repair.c_str()) != 0 || c.asNobody) continue;
    QtSettingsStore again(file);
    again.Save("Global1", "Name", "later");
    EXPECT_EQ(again.Sync(), std::nullopt) << c.file;
    QtSettingsStore reread(file);
    EXPECT_EQ(reread.Read("Global5", "Name").value_or("none") + reread.Read("Global1", "Name").value_or(""),
              "nonelater")
        << c.file;
  }
  fs::current_path(saved);
}

// The texts of an INI file are Qt's own reading of it, but for commas.
TEST(IniTexts, ReadEveryValueAsQtDoesWithCommasKeptAsWritten) {
  const struct {
    const char *line, *text;
  } lists[] = {
      {"v=$00,$01", "$00,$01"}, {"v=$00, $01 ,$02", "$00, $01 ,$02"},
      {"v = a,b ", "a,b"},      {"v=\"a,b\",c", "a,b,c"},
      {"v=a\\,b,c", "ab,c"},    {"v=\\x41,\\102", "A,B"},
      {"v=a,b;comment", "a,b"},
  };
  for (const auto& c : lists) {
    const QHash<QString, QString> texts = IniTexts(QByteArray("[S]\n") + c.line + "\n");
    EXPECT_EQ(texts.value(QStringLiteral("S/v")).toStdString(), c.text) << c.line;
  }
  // Random lines: every value Qt reads as one text, this reads the same.
  TempDir dir;
  std::mt19937 random(99);
  const std::string alphabet = "ab =\"\\;,x0179fF@%[]\t\n#";
  for (int round = 0; round < 300; ++round) {
    std::string content("[S");
    content.append(std::to_string(round % 3)).append("]\n");
    for (int line = 0; line < 8; ++line) {
      content.append("k").append(std::to_string(line)).append("=");
      for (int i = random() % 12; i > 0; --i) content += alphabet[random() % alphabet.size()];
      content += "\n";
    }
    const std::string file = dir / ("random" + std::to_string(round) + ".ini");  // Qt caches a file by its name
    std::ofstream(file, std::ios::binary) << content;
    QSettings qt(QString::fromStdString(file), QSettings::IniFormat);
    const QHash<QString, QString> texts = IniTexts(QByteArray::fromStdString(content));
    for (const QString& key : qt.allKeys()) {
      const QVariant value = qt.value(key);
      if (value.typeId() != QMetaType::QString) continue;
      EXPECT_EQ(texts.value(key).toStdString(), value.toString().toStdString()) << key.toStdString() << " in\n"
                                                                                << content;
    }
  }
}

}  // namespace
}  // namespace platform
