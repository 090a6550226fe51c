#include "platform/qt_settings_store.h"

#include <gtest/gtest.h>

#include <QSettings>
#include <fstream>
#include <iostream>
#include <random>

#include "platform/ini_text.h"
#include "support/as_root.h"
#include "support/temp_dir.h"

namespace platform {
namespace {

namespace fs = std::filesystem;

// The default store lives in a temporary directory, set before any QSettings exists.
const TempDir kConfigHome;
const bool kConfigHomeSet = setenv("XDG_CONFIG_HOME", kConfigHome.path().c_str(), 1) == 0;

// A hand-edited file reads as Qt reads it but for lists, which keep their commas as written, also after
// the program has rewritten it; a file whose format Qt finds faulty is rewritten, and that counts as
// kept. Texts awkward for an INI file come back verbatim.
TEST(QtSettingsStore, TheUsersConfFileReadsAsWrittenAndKeepsAwkwardTexts) {
  const std::vector<std::string> awkward[] = {
      {"", "  spaced  ", "C:\\", "trailing\\", "\\n", "line\nbreak", "Zürich €", "1E"},  // blanks, backslashes, others
      {"a;b", "#not a comment", "[Defaults]", "k=v", "\"quoted\""},                      // INI syntax
      {"@ByteArray(x)", "@Variant(\\0\\0)", "@Invalid()", "@@x,y"},                      // Qt's value types
      {"a, b", "$00,$01", " a , b ", ",", "a,", "\"a\",b"},                              // lists
  };
  std::vector<std::string> texts;
  for (const auto& kind : awkward) texts.insert(texts.end(), kind.begin(), kind.end());
  ASSERT_TRUE(kConfigHomeSet);
  const std::string file = kConfigHome / "Rom Glitchforge 6.conf";
  // The lines of a hand-edited [Global4], each with what its key reads as ("none": no text).
  const struct {
    const char *line, *key, *reads;
  } lines[] = {
      {.line = "sequence=$00, $01 ,$02", .key = "sequence", .reads = "$00, $01 ,$02"},
      {.line = "inc=$00,$01", .key = "inc", .reads = "$00,$01"},
      {.line = "rom=@Rect(1 2 3 4)", .key = "rom", .reads = "none"},
      {.line = "emu=@ByteArray(nes.exe)", .key = "emu", .reads = "nes.exe"},
      {.line = "start=\"$0100\"", .key = "start", .reads = "$0100"},
      {.line = "range1=\"a,b\" ,c", .key = "range1", .reads = "a,b,c"},
      {.line = "end=a\\,b,c", .key = "end", .reads = "ab,c"},
      {.line = "nth = a,b ", .key = "nth", .reads = "a,b"},
      {.line = "mask=\\x49,\\102", .key = "mask", .reads = "I,B"},
      {.line = "add=a,b;c", .key = "add", .reads = "a,b"},
      {.line = "shif%74=d,e", .key = "shift", .reads = "d,e"},
  };
  std::string conf = "[Global4]\n";
  for (const auto& l : lines) conf.append(l.line).append("\n");
  std::ofstream(file) << conf << "broken line without equals\n";
  const auto expectRead = [&](QtSettingsStore& store) {
    for (const auto& l : lines) EXPECT_EQ(store.Read("Global4", l.key).value_or("none"), l.reads) << l.line;
  };
  {
    QtSettingsStore store;
    EXPECT_EQ(store.FileName(), file);
    expectRead(store);
    store.Save("Global4", "saved", "$7F,$FF");
    for (std::size_t i = 0; i < texts.size(); ++i) store.Save("Global0", std::to_string(i), texts[i]);
    EXPECT_EQ(store.Sync(), std::nullopt);  // despite the line Qt calls a format error
    const auto bytes = TempDir::Read(file);
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()).find("broken line"), std::string::npos);
    std::ofstream(file, std::ios::app) << "[Global6\nName=changed meanwhile, broken\n";
    store.Save("Global7", "Name", "seven");
    EXPECT_EQ(store.Sync(), std::nullopt);
  }
  QtSettingsStore store(file);
  expectRead(store);
  EXPECT_EQ(store.Read("Global4", "saved"), "$7F,$FF");
  EXPECT_EQ(store.Read("Global7", "Name"), "seven");
  for (std::size_t i = 0; i < texts.size(); ++i) EXPECT_EQ(store.Read("Global0", std::to_string(i)), texts[i]);
  EXPECT_EQ(store.Read("Global0", "missing"), std::nullopt);
}

// The texts of an INI file are Qt's own reading of it, but for commas: random lines with Qt's escapes
// and value types, where every value Qt reads as one text reads the same.
TEST(IniTexts, ReadEveryValueAsQtDoes) {
  TempDir dir;
  std::mt19937 random(99);
  const std::string alphabet = "ab =\"\\;,x0179fF@%[]\t\n#()";
  for (int round = 0; round < 300; ++round) {
    std::string content = "[Defaults]\n";
    for (const char* key : {"chdir", "autocreate", "optrandomseq", "optoverwrite", "path", "sequence"}) {
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
  }
}

using AsRootSettingsStore = AsRoot;

// Stores that cannot be written, among them some only root can spoil: a file made immutable, a full disk, and a
// folder closed to the user nobody. Sync says why and names the file; slot 3 reads what the file held before the
// save, and slot 5, saved alongside, nothing.
TEST_F(AsRootSettingsStore, AStoreThatCannotBeWrittenSaysWhyAndReadsWhatTheFileHolds) {
  TempDir dir;
  fs::current_path(dir.path());  // the shell commands below work here
  fs::permissions(dir.path(), fs::perms(0755));
  const std::string keep = "printf '[Global3]\\nName=old slot\\n' > ";
  const struct {
    std::string store, spoil;
    std::string undo = "true";
    std::string reason, slot3 = "old slot";
    bool asNobody = false;
  } cases[] = {
      {.store = "folder.conf", .spoil = "mkdir folder.conf", .reason = "it is a folder, not a file", .slot3 = "none"},
      {.store = "plain/store.conf", .spoil = "echo > plain", .reason = "its folder cannot be made", .slot3 = "none"},
      {.store = "immutable.conf",
       .spoil = keep + "immutable.conf && chattr +i immutable.conf",
       .undo = "chattr -i immutable.conf",
       .reason = "the file is read-only (Operation not permitted)"},
      // A format error in the file hides no failure.
      {.store = "broken.conf",
       .spoil = keep + "broken.conf && echo '[Defaults' >> broken.conf && chattr +i broken.conf",
       .undo = "chattr -i broken.conf",
       .reason = "the file is read-only (Operation not permitted)"},
      {.store = "small/full.conf",
       .spoil =
           "mkdir small && mount -t tmpfs -o size=32k tmpfs small && " + keep + "small/full.conf && { head -c 65536 /dev/zero > small/fill; true; }",
       .undo = "umount -l small",
       .reason = "there is no room for it (No space left on device)"},
      // Root writes into any folder: nobody meets its mode bits.
      {.store = "closed/store.conf",
       .spoil = "mkdir -m 755 closed && " + keep + "closed/store.conf && chmod 666 closed/store.conf",
       .reason = "its folder takes no new file (Permission denied)",
       .asNobody = true},
  };
  std::string notTried;
  for (const auto& c : cases) {
    const Spoiled spoiled(c.spoil, c.undo);
    if (!spoiled.made) {
      notTried += " " + c.store;
      continue;
    }
    const std::string file = dir / c.store;
    std::optional<settings::StoreFailure> failure;
    std::optional<std::string> slot3, slot5;
    const auto attempt = [&] {
      QtSettingsStore store(file);
      store.Save("Global3", "Name", "new slot");
      store.Save("Global5", "Name", "new slot");
      failure = store.Sync();
      slot3 = store.Read("Global3", "Name");
      slot5 = store.Read("Global5", "Name");
    };
    c.asNobody ? AsNobody(attempt) : attempt();
    ASSERT_TRUE(failure) << c.store;
    EXPECT_EQ(failure->file, file);
    EXPECT_EQ(failure->reason, c.reason);
    EXPECT_EQ(slot3.value_or("none"), c.slot3) << c.store;
    EXPECT_EQ(slot5, std::nullopt) << c.store;
  }
  if (!notTried.empty()) GTEST_SKIP() << "this system cannot spoil these stores so:" << notTried;
}

}  // namespace
}  // namespace platform
