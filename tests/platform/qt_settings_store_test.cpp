#include "platform/qt_settings_store.h"

#include <gtest/gtest.h>

#include <QSettings>
#include <fstream>
#include <iostream>
#include <random>

#include "platform/ini_text.h"
#include "support/hostile_host.h"
#include "support/memory_store.h"
#include "support/temp_dir.h"

namespace platform {
namespace {

namespace fs = std::filesystem;

// The default store lives in a temporary directory, set before any QSettings exists.
const TempDir kConfigHome;
const bool kConfigHomeSet = setenv("XDG_CONFIG_HOME", kConfigHome.path().c_str(), 1) == 0;

TEST(QtSettingsStore, AJobAndAwkwardTextsComeBackVerbatimFromTheUsersConfFile) {
  // Texts awkward for an INI file, split at "|".
  const QStringList values =
      QString::fromUtf8(
          "|C:\\|  spaced  |a;b|#not a comment|[Defaults]|k=v|\"quoted\"|@ByteArray(x)|@Variant(\\0\\0)|@Invalid()|"
          "line\nbreak|\\n|Z\xC3\xBCrich \xE2\x82\xAC|a, b|trailing\\|$00,$01| a , b |,|a,|@@x,y|\"a\",b|1E")
          .split('|');
  ASSERT_TRUE(kConfigHomeSet);
  settings::RecordingWindow saved(settings::UnusualJob()), loaded(engine::FirstRunDefaults());
  const std::string file = kConfigHome / "Rom Glitchforge 6.conf";
  {
    QtSettingsStore store;
    EXPECT_EQ(store.FileName(), file);
    settings::SaveReg("Global10", "a name", store, saved);
    for (int i = 0; i < values.size(); ++i) store.Save("Global0", std::to_string(i), values[i].toStdString());
    ASSERT_EQ(store.Sync(), std::nullopt);
  }
  QtSettingsStore store(file);
  settings::LoadReg("Global10", store, loaded);
  EXPECT_EQ(settings::DifferingKeys(loaded.job, saved.job), "");
  EXPECT_EQ(store.Read("Global10", "Name"), "a name");
  for (int i = 0; i < values.size(); ++i) EXPECT_EQ(store.Read("Global0", std::to_string(i)), values[i].toStdString());
  EXPECT_EQ(store.Read("Global0", "missing"), std::nullopt);
}

// Hand-written lists come back as written, also after the program has rewritten the file; a file
// whose format Qt finds faulty is rewritten, and that counts as kept.
TEST(QtSettingsStore, HandEditedTruncatedAndGarbageFilesLoadWithBadFieldsFallingBack) {
  const std::string edited =
      "[General]\nstray=1\n[Defaults]\nchdir=2\noptall=maybe\noptmask=True\noptrandomseq=yes\noptadd=1E\n"
      "sequence=$00, $01,$02\nrom=@Rect(1 2 3 4)\nemu=@ByteArray(nes.exe)\nstart=\"$0100\"\n"
      "range1=\"$10\" ,$20\nend=a\\,b,c\nunknownkey=whatever\n[Unknown Section]\nend=$FFFF\n"
      "[Global3]\nName=zelda.nes 0-10\n[Global4]\nName=a,b\nsequence=$00,$01\nbroken line without equals\n";
  TempDir dir;
  std::ofstream(dir / "edited.ini") << edited;
  QtSettingsStore store(dir / "edited.ini");
  settings::RecordingWindow window;
  settings::Start(store, window, window);
  // chdir, optall, optrandomseq and optadd take the missing-key default; rom, a rectangle, counts as missing.
  EXPECT_EQ(settings::DifferingKeys(window.job, engine::FirstRunDefaults()),
            "emu start end optmask optrandomseq range1 sequence ");
  EXPECT_EQ(window.job.emu + "|" + window.job.start + "|" + window.job.end + "|" + window.job.range1 + "|" +
                window.job.sequence + "|" + window.captions[3] + "|" + window.captions[4],
            "nes.exe|$0100|ab,c|$10,$20|$00, $01,$02|3=&3: zelda.nes 0-10|4=&4: a,b");
  store.Save("Global1", "sequence", "$7F,$FF");
  EXPECT_EQ(store.Sync(), std::nullopt);  // despite the line Qt calls a format error
  QtSettingsStore rewritten(dir / "edited.ini");
  const auto bytes = TempDir::Read(dir / "edited.ini");
  EXPECT_EQ(std::string(bytes.begin(), bytes.end()).find("broken line"), std::string::npos);
  std::string reread;
  const char* const places[][2] = {
      {"Global1", "sequence"}, {"Global4", "sequence"}, {"Global4", "Name"}, {"Defaults", "sequence"}};
  for (const auto& place : places) reread += rewritten.Read(place[0], place[1]).value_or("none") + "|";
  EXPECT_EQ(reread, "$7F,$FF|$00,$01|a,b|$00, $01,$02|");
  std::ofstream(dir / "edited.ini", std::ios::app) << "[Global6\nName=changed meanwhile, broken\n";
  rewritten.Save("Global7", "Name", "seven");
  EXPECT_EQ(rewritten.Sync(), std::nullopt);
  EXPECT_EQ(QtSettingsStore(dir / "edited.ini").Read("Global7", "Name"), "seven");
}

// A store that cannot be written: Sync says why and names the file, reads give what the file
// holds, and the dropped save does not come back with a later write.
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
  const char* const lists[][2] = {{"v=$00,$01", "$00,$01"}, {"v=$00, $01 ,$02", "$00, $01 ,$02"},
                                  {"v = a,b ", "a,b"},      {"v=\"a,b\",c", "a,b,c"},
                                  {"v=a\\,b,c", "ab,c"},    {"v=\\x41,\\102", "A,B"},
                                  {"v=a,b;comment", "a,b"}};
  for (const auto& c : lists)
    EXPECT_EQ(IniTexts(QByteArray("[S]\n") + c[0] + "\n").value("S/v").toStdString(), c[1]) << c[0];
  // Random lines, with Qt's escapes and value types, for real keys: every value Qt reads as one text,
  // this reads the same, and a load gives no check field a value beyond grey.
  TempDir dir;
  std::mt19937 random(99);
  const std::string alphabet = "ab =\"\\;,x0179fF@%[]\t\n#()",
                    keys[] = {"chdir", "autocreate", "optrandomseq", "optoverwrite", "path", "sequence"};
  for (int round = 0; round < 300; ++round) {
    std::string content = "[Defaults]\n";
    for (const std::string& key : keys) {
      content.append(key).append("=");
      for (int i = random() % 12; i > 0; --i) content += alphabet[random() % alphabet.size()];
      content += "\n";
    }
    const std::string file = dir / ("random" + std::to_string(round) + ".ini");  // Qt caches a file by its name
    std::ofstream(file, std::ios::binary) << content;
    QSettings qt(QString::fromStdString(file), QSettings::IniFormat);
    const QHash<QString, QString> texts = IniTexts(QByteArray::fromStdString(content));
    for (const QString& key : qt.allKeys())
      if (qt.value(key).typeId() == QMetaType::QString) {
        EXPECT_EQ(texts.value(key), qt.value(key).toString()) << key.toStdString() << " in\n" << content;
      }
    QtSettingsStore store(file);
    settings::RecordingWindow loaded;
    settings::LoadReg("Defaults", store, loaded);
    for (int check : {loaded.job.chdir, loaded.job.autocreate, loaded.job.optrandomseq, loaded.job.optoverwrite})
      EXPECT_LE(check, 1) << content;
  }
}

}  // namespace
}  // namespace platform
