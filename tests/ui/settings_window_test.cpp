// Start-up, shutdown and the preset menus through the real window, over a
// store in memory or an INI file in a temporary directory.
#include <QAction>
#include <QCloseEvent>
#include <QSettings>
#include <QWindow>
#include <fstream>
#include <optional>
#include <sstream>

#include "platform/qt_settings_store.h"
#include "support/config_home.h"
#include "support/memory_store.h"
#include "support/settings_fakes.h"
#include "support/temp_dir.h"
#include "window_fixture.h"

namespace {

using settings::MemoryStore;

int Index(const char* key) { return engine::FieldIndex(key).value(); }

std::string Text(const QLineEdit* box) { return box->text().toStdString(); }

// Long texts compared without printing them whole.
::testing::AssertionResult Same(const std::optional<std::string>& actual, const std::string& expected) {
  if (actual == expected) return ::testing::AssertionSuccess();
  if (!actual) return ::testing::AssertionFailure() << "missing";
  std::size_t at = 0;
  while (at < actual->size() && at < expected.size() && (*actual)[at] == expected[at]) ++at;
  return ::testing::AssertionFailure() << actual->size() << " characters instead of " << expected.size()
                                       << ", differing from character " << at;
}

// The settings tests' unusual job as the window can hold it: one option per
// group (Mask, Add, Byte Range), "Random from Sequence" unchecked, and a path
// of this host.
engine::JobSettings UnusualJob() {
  engine::JobSettings job = settings::UnusualJob();
  job.path = "  /games/my roms/ ";
  job.optnth = false;
  job.optrandomseq = 0;
  job.optshift = false;
  job.optsequence = false;
  job.create.clear();
  return job;
}

class SettingsWindowTest : public WindowTest {
 protected:
  // A window over `store`, not yet loaded.
  std::unique_ptr<ui::frm> NewWindow(settings::SettingsStore& store) {
    ui::Services services = FakeServices();
    services.settings = &store;
    return std::make_unique<ui::frm>(services);
  }
  std::unique_ptr<ui::frm> Started(settings::SettingsStore& store) {
    auto started = NewWindow(store);
    started->Form_Load();
    return started;
  }

  static void Apply(ui::frm& target, const engine::JobSettings& job) {
    for (int i = 0; i < engine::kFieldCount; ++i) target.WriteField(i, engine::GetField(job, i));
  }
  static engine::JobSettings Fields(const ui::frm& source) {
    engine::JobSettings job = source.ReadJob();
    job.create.clear();
    return job;
  }
  static void ExpectSameFields(const engine::JobSettings& actual, const engine::JobSettings& expected) {
    for (int i = 0; i < engine::kFieldCount; ++i) {
      EXPECT_TRUE(Same(engine::StoredText(engine::GetField(actual, i)),
                       engine::StoredText(engine::GetField(expected, i))))
          << engine::kFields[static_cast<std::size_t>(i)].key;
    }
  }
  static std::vector<std::string> Captions(const std::array<QAction*, 11>& menu) {
    std::vector<std::string> captions;
    for (const QAction* entry : menu) captions.push_back(entry->text().toStdString());
    return captions;
  }
  static std::map<std::string, std::string> Section(const MemoryStore& store, const std::string& name) {
    std::map<std::string, std::string> keys;
    for (const auto& [where, value] : store.values) {
      if (where.first == name) keys[where.second] = value;
    }
    return keys;
  }
  static std::string FileText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
  }
};

TEST_F(SettingsWindowTest, FirstRunShowsTheFirstRunDefaultsAndStoresNothing) {
  MemoryStore store;
  auto first = Started(store);

  const std::pair<QLineEdit*, const char*> texts[] = {
      {first->txtPath, "C:\\nes\\"},   {first->txtEMU, "nesticle.exe"},
      {first->txtROM, "mario.nes"},     {first->txtStart, "$1010"},
      {first->txtEnd, "$2010"},         {first->txtInc, "$1000"},
      {first->txtNth, "4"},             {first->txtMask, "%00001101"},
      {first->txtRange1, "$00"},        {first->txtRange2, "$FF"},
      {first->txtSequence, "$00,$01,$02,$7F,$FF"},
      {first->txtShift, "1"},           {first->txtAdd, "1"},
      {first->txtCreate, "CORRUPT.nes"},
  };
  for (const auto& [box, expected] : texts) EXPECT_EQ(Text(box), expected) << box->objectName().toStdString();

  for (QCheckBox* box : {first->optChdir, first->optAutoCreate, first->optRandomSeq, first->optOverwrite}) {
    EXPECT_EQ(box->checkState(), Qt::Checked) << box->objectName().toStdString();
    EXPECT_FALSE(box->isTristate()) << box->objectName().toStdString();
  }
  const std::pair<QRadioButton*, bool> options[] = {
      {first->optAll, true},          {first->optNth, false},         {first->optMask, false},
      {first->optShift, false},       {first->optCorrupt, true},      {first->optAdd, false},
      {first->optRandomBytes, true},  {first->optByteRange, false},   {first->optSequence, false},
  };
  for (const auto& [option, on] : options) EXPECT_EQ(option->isChecked(), on) << option->objectName().toStdString();

  EXPECT_FALSE(first->txtPath->isReadOnly());
  EXPECT_TRUE(first->txtCreate->isReadOnly());

  std::vector<std::string> expectedCaptions;
  for (int slot = 0; slot <= 10; ++slot) expectedCaptions.push_back("&" + std::to_string(slot) + ": ");
  EXPECT_EQ(Captions(first->mnuSG), expectedCaptions);
  EXPECT_EQ(Captions(first->mnuLG), expectedCaptions);

  EXPECT_TRUE(store.saves.empty());
  EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(SettingsWindowTest, StartUpLocksFollowTheLoadedCheckBoxesAlsoWhenStoredUnchecked) {
  MemoryStore store;
  store.Put("Defaults", "chdir", "0");
  store.Put("Defaults", "autocreate", "0");
  store.Put("Defaults", "rom", "/nes/zelda.nes");
  auto started = Started(store);
  EXPECT_TRUE(started->txtPath->isReadOnly());
  EXPECT_FALSE(started->txtCreate->isReadOnly());
  EXPECT_EQ(Text(started->txtCreate), "create");  // Auto loads unchecked: the layout text stays
  EXPECT_EQ(Text(started->txtPath), "C:\\nes\\");  // the missing keys take the first-run defaults
}

TEST_F(SettingsWindowTest, ClosingAndStartingAgainShowsTheSameFieldsThroughTheFile) {
  TempDir dir;
  const std::string file = dir / "Rom Glitchforge 6.conf";
  engine::JobSettings atClose;
  {
    platform::QtSettingsStore store(file);
    auto first = Started(store);
    Apply(*first, UnusualJob());
    atClose = Fields(*first);
    ExpectSameFields(atClose, UnusualJob());
    EXPECT_TRUE(first->close());
    // On disk at the close already, not only when the store goes away.
    const std::string onDisk = FileText(file);
    EXPECT_NE(onDisk.find("[Defaults]"), std::string::npos);
    EXPECT_NE(onDisk.find("Name=Defaults"), std::string::npos);
  }
  QSettings written(QString::fromStdString(file), QSettings::IniFormat);
  written.beginGroup("Defaults");
  EXPECT_EQ(written.childKeys().size(), engine::kFieldCount + 1);
  EXPECT_EQ(written.value("Name").toString(), "Defaults");
  written.endGroup();

  platform::QtSettingsStore again(file);
  auto second = Started(again);
  ExpectSameFields(Fields(*second), atClose);
}

TEST_F(SettingsWindowTest, ExitAndTheCloseBoxStoreTheSameSection) {
  MemoryStore byExit;
  MemoryStore byCloseBox;
  auto exited = Started(byExit);
  auto boxed = Started(byCloseBox);
  for (ui::frm* target : {exited.get(), boxed.get()}) {
    Apply(*target, UnusualJob());
    target->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(target));
  }

  exited->mnuExit->trigger();
  // The platform's close request, as the close box and the system menu send it.
  boxed->windowHandle()->close();

  EXPECT_FALSE(exited->isVisible());
  EXPECT_FALSE(boxed->isVisible());
  const auto section = Section(byExit, "Defaults");
  EXPECT_EQ(section.size(), static_cast<std::size_t>(engine::kFieldCount + 1));
  EXPECT_EQ(section.at("Name"), "Defaults");
  EXPECT_EQ(section.at("optmask"), "True");
  EXPECT_EQ(section.at("chdir"), "0");
  EXPECT_EQ(section, Section(byCloseBox, "Defaults"));
  EXPECT_EQ(byExit.saves.size(), byCloseBox.saves.size());
}

TEST_F(SettingsWindowTest, AStoreThatCannotBeWrittenDoesNotStopTheClose) {
  TempDir dir;
  // A directory where the file should be: no one can write it, not even root.
  std::filesystem::create_directories(dir / "store.conf");
  // A read-only file in a read-only directory, for a user other than root.
  std::filesystem::create_directories(dir / "locked");
  const std::string lockedFile = dir / "locked/store.conf";
  std::ofstream(lockedFile) << "[Defaults]\nrom=kept.nes\n";
  std::filesystem::permissions(lockedFile, std::filesystem::perms::owner_read);
  std::filesystem::permissions(dir / "locked", std::filesystem::perms::owner_read |
                                                   std::filesystem::perms::owner_exec);

  for (const std::string& path : {dir / "store.conf", lockedFile}) {
    platform::QtSettingsStore store(path);
    auto unwritable = Started(store);
    unwritable->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(unwritable.get()));
    QCloseEvent event;
    event.ignore();
    QApplication::sendEvent(unwritable.get(), &event);
    EXPECT_TRUE(event.isAccepted()) << path;
    unwritable->windowHandle()->close();
    EXPECT_FALSE(unwritable->isVisible()) << path;
  }
  EXPECT_TRUE(std::filesystem::is_directory(dir / "store.conf"));
  std::filesystem::permissions(dir / "locked", std::filesystem::perms::owner_all);
}

TEST_F(SettingsWindowTest, ASlotSavedAndLoadedRestoresEveryFieldWhateverCameBetween) {
  MemoryStore store;
  auto window = Started(store);
  engine::JobSettings other = engine::FirstRunDefaults();
  other.optrandomseq = 0;
  other.optoverwrite = 0;
  other.start = "$FFFFFFFF";

  for (int slot : {0, 3, 10}) {
    Apply(*window, UnusualJob());
    window->mnuSG[static_cast<std::size_t>(slot)]->trigger();
    Apply(*window, other);
    ExpectSameFields(Fields(*window), other);
    window->mnuLG[static_cast<std::size_t>(slot)]->trigger();
    ExpectSameFields(Fields(*window), UnusualJob());
    EXPECT_EQ(Section(store, settings::SlotSection(slot)).size(),
              static_cast<std::size_t>(engine::kFieldCount + 1));
  }
  // Slot 1 shares the access key of slot 10 but not its section.
  EXPECT_TRUE(Section(store, "Global1").empty());
}

TEST_F(SettingsWindowTest, SavingSlotThreeNamesItAfterTheRomAndRangeAndRecaptionsEveryEntry) {
  MemoryStore store;
  auto window = Started(store);
  // Stored behind the window's back: only a save's recaptioning shows it.
  store.Put("Global5", "Name", "zelda.nes 0-FF");
  EXPECT_EQ(window->mnuSG[5]->text(), "&5: ");

  window->mnuSG[3]->trigger();

  EXPECT_EQ(store.Get("Global3", "Name"), "mario.nes 1010-2010");
  EXPECT_EQ(window->mnuSG[3]->text(), "&3: mario.nes 1010-2010");
  EXPECT_EQ(window->mnuLG[3]->text(), "&3: mario.nes 1010-2010");
  EXPECT_EQ(window->mnuLG[5]->text(), "&5: zelda.nes 0-FF");
  EXPECT_EQ(window->mnuSG[10]->text(), "&10: ");

  const struct {
    const char* rom;
    const char* start;
    const char* end;
    const char* caption;
  } names[] = {
      {"mario.nes", "4096", "8192", "&3: mario.nes 1000-2000"},
      {"", "$0000", "$0000", "&3:  0-0"},
      {"/nes/mario.nes", "-1", "%101", "&3: /nes/mario.nes FFFFFFFF-5"},
  };
  for (const auto& name : names) {
    window->WriteField(Index("rom"), std::string(name.rom));
    window->WriteField(Index("start"), std::string(name.start));
    window->WriteField(Index("end"), std::string(name.end));
    window->mnuSG[3]->trigger();
    EXPECT_EQ(window->mnuLG[3]->text().toStdString(), name.caption);
  }
}

TEST_F(SettingsWindowTest, LoadingANeverSavedSlotGivesTheMissingKeyDefaultsAndKeepsTheCaptions) {
  MemoryStore store;
  store.Put("Global2", "Name", "kept 0-0");
  auto window = Started(store);
  Apply(*window, UnusualJob());
  const auto saveCaptions = Captions(window->mnuSG);
  const auto loadCaptions = Captions(window->mnuLG);

  window->mnuLG[7]->trigger();

  EXPECT_EQ(Text(window->txtPath), "C:\\");
  EXPECT_EQ(Text(window->txtEMU), "");
  EXPECT_EQ(Text(window->txtROM), "");
  EXPECT_EQ(Text(window->txtSequence), "");
  EXPECT_EQ(Text(window->txtStart), "$0000");
  EXPECT_EQ(Text(window->txtEnd), "$0000");
  EXPECT_EQ(Text(window->txtNth), "1");
  EXPECT_EQ(Text(window->txtAdd), "0");
  EXPECT_EQ(window->optRandomSeq->checkState(), Qt::Unchecked);
  EXPECT_EQ(window->optChdir->checkState(), Qt::Checked);
  EXPECT_EQ(window->optAutoCreate->checkState(), Qt::Checked);
  EXPECT_EQ(window->optOverwrite->checkState(), Qt::Checked);
  for (QRadioButton* on : {window->optAll, window->optCorrupt, window->optRandomBytes}) {
    EXPECT_TRUE(on->isChecked()) << on->objectName().toStdString();
  }
  for (QRadioButton* off : {window->optNth, window->optMask, window->optShift, window->optAdd,
                            window->optByteRange, window->optSequence}) {
    EXPECT_FALSE(off->isChecked()) << off->objectName().toStdString();
  }
  EXPECT_EQ(Text(window->txtCreate), "CORRUPT.ROM");
  EXPECT_EQ(Captions(window->mnuSG), saveCaptions);
  EXPECT_EQ(Captions(window->mnuLG), loadCaptions);
  EXPECT_TRUE(store.saves.empty());
}

// What a load leaves in the window when it starts from `before` and reads `section`.
struct LoadCase {
  const char* what;
  std::vector<std::pair<std::string, std::string>> before;
  std::vector<std::pair<std::string, std::string>> section;
  std::vector<std::pair<std::string, std::string>> after;  // key (or "create") and stored text
  bool createLocked;
};

TEST_F(SettingsWindowTest, ALoadRunsTheControlsReactionsInStoreOrder) {
  const std::vector<std::pair<std::string, std::string>> plain = {
      {"chdir", "0"}, {"path", "/nes/"}, {"rom", "/nes/mario.nes"}, {"autocreate", "1"}};
  const LoadCase cases[] = {
      {"the last option stored true wins its group",
       plain,
       {{"optall", "True"}, {"optmask", "True"}, {"optshift", "1"}, {"optadd", "-1"}},
       {{"optall", "False"}, {"optnth", "False"}, {"optmask", "True"}, {"optshift", "False"},
        {"optcorrupt", "False"}, {"optadd", "True"}},
       true},
      {"a group stored all false ends with none chosen",
       plain,
       {{"optall", "False"}, {"optnth", "false"}, {"optmask", "0"}},
       {{"optall", "False"}, {"optnth", "False"}, {"optmask", "False"}},
       true},
      {"a changed rom is derived with the loaded chdir and path",
       plain,
       {{"chdir", "1"}, {"path", "/NES/"}, {"rom", "/nes/zelda.smc"}, {"autocreate", "1"}},
       {{"create", "CORRUPT.smc"}},
       true},
      {"a changed path alone derives again",
       plain,
       {{"chdir", "1"}, {"path", "/NES/"}, {"rom", "/nes/mario.nes"}, {"autocreate", "1"}},
       {{"create", "CORRUPT.nes"}},
       true},
      {"unchanged texts derive nothing, though chdir changed",
       plain,
       {{"chdir", "1"}, {"path", "/nes/"}, {"rom", "/nes/mario.nes"}, {"autocreate", "1"}},
       {{"create", "/nes/CORRUPT.nes"}},
       true},
      {"unchecking Auto keeps the name derived during the load and unlocks it",
       plain,
       {{"chdir", "0"}, {"path", "/nes/"}, {"rom", "/snes/zelda.smc"}, {"autocreate", "0"}},
       {{"create", "/snes/CORRUPT.smc"}, {"autocreate", "0"}},
       false},
      {"checking Auto derives from the loaded chdir, path and rom",
       {{"autocreate", "0"}, {"chdir", "0"}, {"rom", "typed"}},
       {{"chdir", "1"}, {"path", "/nes/"}, {"rom", "/nes/zelda.smc"}, {"autocreate", "1"}},
       {{"create", "CORRUPT.smc"}},
       true},
      {"a stored value its field does not accept takes the missing-key default",
       plain,
       {{"chdir", "2"}, {"autocreate", "yes"}, {"optcorrupt", "maybe"}, {"optrandombytes", ""}},
       {{"chdir", "1"}, {"autocreate", "1"}, {"optcorrupt", "True"}, {"optrandombytes", "True"}},
       true},
  };
  for (const LoadCase& c : cases) {
    MemoryStore store;
    auto window = Started(store);
    for (const auto& [key, text] : c.before) window->WriteField(Index(key.c_str()), text);
    for (const auto& [key, text] : c.section) store.Put("Global4", key, text);
    window->mnuLG[4]->trigger();
    for (const auto& [key, text] : c.after) {
      const std::string actual = key == "create" ? Text(window->txtCreate)
                                                 : engine::StoredText(window->ReadField(Index(key.c_str())));
      EXPECT_EQ(actual, text) << c.what << ": " << key;
    }
    EXPECT_EQ(window->txtCreate->isReadOnly(), c.createLocked) << c.what;
    EXPECT_EQ(window->txtPath->isReadOnly(), window->optChdir->checkState() == Qt::Unchecked) << c.what;
  }
}

TEST_F(SettingsWindowTest, AChangedRandomFromSequenceChoosesSequenceAndCorruptOnTheWay) {
  MemoryStore store;
  auto window = Started(store);  // optrandomseq checked
  Apply(*window, UnusualJob());  // optrandomseq unchecked, Add and Byte Range chosen
  store.Put("Global6", "optrandomseq", "1");
  for (const char* key : {"optshift", "optcorrupt", "optadd", "optrandombytes", "optbyterange", "optsequence"}) {
    store.Put("Global6", key, "False");
  }
  // What the window holds each time Corrupt becomes chosen.
  std::vector<engine::JobSettings> seen;
  QObject::connect(window->optCorrupt, &QRadioButton::toggled, window.get(), [&](bool on) {
    if (on) seen.push_back(window->ReadJob());
  });

  window->mnuLG[6]->trigger();

  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0].optrandomseq, engine::kChecked);
  EXPECT_TRUE(seen[0].optsequence);
  EXPECT_FALSE(seen[0].optbyterange);
  EXPECT_FALSE(seen[0].optadd);
  EXPECT_EQ(seen[0].range1, UnusualJob().range1);  // before the fields after optrandomseq were written
  // The options written after it, all false, clear that choice again.
  for (QRadioButton* off : {window->optShift, window->optCorrupt, window->optAdd, window->optRandomBytes,
                            window->optByteRange, window->optSequence}) {
    EXPECT_FALSE(off->isChecked()) << off->objectName().toStdString();
  }
}

TEST_F(SettingsWindowTest, LongStoredTextsLoadAndSaveWholeWhileTypingStaysLimited) {
  struct Box {
    const char* key;
    QLineEdit* ui::frm::*box;
    int typingLimit;
  };
  const Box boxes[] = {
      {"path", &ui::frm::txtPath, 512}, {"emu", &ui::frm::txtEMU, 512},
      {"rom", &ui::frm::txtROM, 512},   {"start", &ui::frm::txtStart, 16},
      {"end", &ui::frm::txtEnd, 16},    {"inc", &ui::frm::txtInc, 16},
      {"nth", &ui::frm::txtNth, 20},    {"mask", &ui::frm::txtMask, 50},
      {"range1", &ui::frm::txtRange1, 16}, {"range2", &ui::frm::txtRange2, 16},
      {"shift", &ui::frm::txtShift, 16},
      {"add", &ui::frm::txtAdd, 32767},  {"sequence", &ui::frm::txtSequence, 32767},
  };
  MemoryStore store;
  std::map<std::string, std::string> stored;
  for (const Box& b : boxes) {
    std::string text(static_cast<std::size_t>(b.typingLimit) + 30, 'x');
    text.front() = '$';
    text.back() = 'E';
    stored[b.key] = text;
    store.Put("Defaults", b.key, text);
  }
  store.Put("Defaults", "rom", stored["rom"] + ".nes");
  stored["rom"] += ".nes";

  auto window = Started(store);
  for (const Box& b : boxes) EXPECT_TRUE(Same(Text(window.get()->*b.box), stored[b.key])) << b.key;
  EXPECT_EQ(Text(window->txtCreate), stored["rom"].substr(0, stored["rom"].rfind('/') + 1) + "CORRUPT.nes");

  window->close();
  for (const Box& b : boxes) EXPECT_TRUE(Same(store.Get("Defaults", b.key), stored[b.key])) << b.key;

  // The user can shorten a long text but not lengthen it; once it fits, the limit is the box's own.
  QLineEdit* start = window->txtStart;
  start->setFocus();
  QTest::keyClick(start, Qt::Key_End);
  QTest::keyClicks(start, "yz");
  EXPECT_TRUE(Same(Text(start), stored["start"]));
  for (int i = 0; i < 30; ++i) QTest::keyClick(start, Qt::Key_Backspace);
  EXPECT_EQ(start->text().size(), 16);
  QTest::keyClick(start, Qt::Key_Home);
  QTest::keyClick(start, Qt::Key_Delete);
  QTest::keyClicks(start, "1");
  QTest::keyClicks(start, "2");
  EXPECT_EQ(Text(start), "1" + stored["start"].substr(1, 15));
  EXPECT_EQ(start->maxLength(), 16);
}

TEST_F(SettingsWindowTest, AHandEditedStoreLoadsWithoutACrashEachBadFieldTakingItsDefault) {
  TempDir dir;
  const std::string file = dir / "store.conf";
  const std::string hugePath = "/" + std::string(200000, 'p') + "/";
  std::ofstream(file, std::ios::binary)
      << "[General]\nstray=1\n"
      << "[Defaults]\n"
      << "chdir=99999999999999999999999999999\n"
      << "path=" << hugePath << "\n"
      << "emu=@Variant(\\0\\0\\0\\x7f\\0\\0\\0\\x10garbage)\n"
      << "rom=caf\xE9 \xFF\xFE.nes\n"
      << "autocreate=@ByteArray(1)\n"
      << "start=@Invalid()\n"
      << "end=a, b, c\n"
      << "optall=Tru\n"
      << "optnth=\n"
      << "optmask=yes\n"
      << "optrandomseq=-0\n"
      << "optoverwrite=\"1\"\n"
      << "unknown=key\n"
      << "[Global2]\nName=@Variant(\\0\\0\\0\\x2)\n"
      << "[Defaults\n"
      << "broken line without equals\n";

  platform::QtSettingsStore store(file);
  auto window = Started(store);
  EXPECT_TRUE(Same(Text(window->txtPath), hugePath));
  EXPECT_EQ(window->optChdir->checkState(), Qt::Checked);  // missing-key default of chdir
  EXPECT_EQ(window->optAutoCreate->checkState(), Qt::Checked);
  EXPECT_EQ(window->optOverwrite->checkState(), Qt::Checked);
  EXPECT_FALSE(window->optRandomSeq->isTristate());
  EXPECT_TRUE(window->optAll->isChecked());  // "Tru" is no option value: missing-key default
  EXPECT_FALSE(window->optNth->isChecked());
  EXPECT_EQ(Text(window->txtEnd), "a, b, c");
  EXPECT_EQ(Text(window->txtMask), "%00001101");  // not in the section: first-run default
  for (int slot = 0; slot <= 10; ++slot) {
    EXPECT_TRUE(window->mnuLG[static_cast<std::size_t>(slot)]->text().startsWith(
        QString("&%1: ").arg(slot)));
  }
  const engine::JobSettings shown = Fields(*window);
  window->close();

  platform::QtSettingsStore reread(file);
  auto again = Started(reread);
  ExpectSameFields(Fields(*again), shown);
}

}  // namespace
