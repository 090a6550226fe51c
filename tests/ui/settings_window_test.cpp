// Start-up, shutdown and the preset menus through the real window, over a
// store in memory or an INI file in a temporary directory.
#include <QAction>
#include <QWindow>
#include <fstream>
#include <optional>

#include "auto/output_name.h"
#include "platform/qt_settings_store.h"
#include "support/memory_store.h"
#include "support/settings_fakes.h"
#include "support/temp_dir.h"
#include "window_fixture.h"

namespace {

using settings::MemoryStore;
using Pairs = std::vector<std::pair<std::string, std::string>>;

int Index(const std::string& key) { return engine::FieldIndex(key).value(); }

// Long texts compared without printing them whole.
::testing::AssertionResult Same(const std::optional<std::string>& actual, const std::string& expected) {
  if (actual == expected) return ::testing::AssertionSuccess();
  if (!actual) return ::testing::AssertionFailure() << "missing";
  return ::testing::AssertionFailure() << actual->size() << " characters instead of " << expected.size();
}

// The settings tests' unusual job as the window can hold it: one option per
// group (Mask, Add, Byte Range), "Random from sequence" unchecked, and a path
// of this host.
engine::JobSettings UnusualJob() {
  engine::JobSettings job = settings::UnusualJob();
  job.path = "  /games/my roms/ ";
  job.optnth = job.optshift = job.optsequence = false;
  job.optrandomseq = 0;
  job.create.clear();
  return job;
}

const char* const kMissingKeyOptions =
    "optAll optAutoCreate=1 optChdir=1 optCorrupt optOverwrite=1 optRandomBytes optRandomSeq=0 ";

class SettingsWindowTest : public WindowTest {
 protected:
  // A window over `store`, started as the program starts it.
  std::unique_ptr<ui::frm> Started(settings::SettingsStore& store) {
    ui::Services services = FakeServices();
    services.settings = &store;
    auto started = std::make_unique<ui::frm>(services);
    started->Form_Load();
    return started;
  }
  static void Apply(ui::frm& target, const engine::JobSettings& job) {
    for (int i = 0; i < engine::kFieldCount; ++i) target.WriteField(i, engine::GetField(job, i));
  }
  static void ExpectFields(const ui::frm& actual, const engine::JobSettings& expected) {
    for (int i = 0; i < engine::kFieldCount; ++i)
      EXPECT_TRUE(Same(engine::StoredText(actual.ReadField(i)), engine::StoredText(engine::GetField(expected, i))))
          << engine::kFields[static_cast<std::size_t>(i)].key;
  }
  // Both menus' captions, save menu first.
  static std::vector<std::string> Captions(const ui::frm& w) {
    std::vector<std::string> captions;
    for (const auto* menu : {&w.mnuSG, &w.mnuLG})
      for (const QAction* entry : *menu) captions.push_back(entry->text().toStdString());
    return captions;
  }
  static std::map<std::string, std::string> Section(const MemoryStore& store, const std::string& name) {
    std::map<std::string, std::string> keys;
    for (const auto& [where, value] : store.values)
      if (where.first == name) keys[where.second] = value;
    return keys;
  }
};

TEST_F(SettingsWindowTest, FirstRunShowsTheFirstRunDefaultsAndStoresNothing) {
  MemoryStore store;
  auto first = Started(store);
  EXPECT_EQ(Shown(*first),
            "optAll optAutoCreate=1 optChdir=1 optCorrupt optOverwrite=1 optRandomBytes optRandomSeq=1 "
            "txtAdd=1 txtCreate=CORRUPT.nes txtEMU=nesticle.exe txtEnd=$2010 txtInc=$1000 "
            "txtMask=%00001101 txtNth=4 txtPath=C:\\nes\\ txtROM=mario.nes txtRange1=$00 txtRange2=$FF "
            "txtSequence=$00,$01,$02,$7F,$FF txtShift=1 txtStart=$1010");
  std::vector<std::string> expectedCaptions;
  for (int slot = 0; slot < 22; ++slot)
    expectedCaptions.push_back(std::string("&").append(std::to_string(slot % 11)).append(": "));
  EXPECT_EQ(Captions(*first), expectedCaptions);
  EXPECT_TRUE(store.saves.empty());
  EXPECT_TRUE(dialogs.messages.empty());
  first->WriteField(engine::kFieldCount, std::string("ignored"));  // no such field
  EXPECT_EQ(first->ReadField(-1), engine::FieldValue(std::string()));
}

// Every text longer than its box takes typed; the boxes stored unchecked,
// so loading them from grey is a change and their reactions run.
TEST_F(SettingsWindowTest, ClosingAndStartingAgainShowsTheSameFieldsThroughTheFile) {
  TempDir dir;
  const std::string file = dir / "Rom Glitchforge 6.conf";
  engine::JobSettings job = UnusualJob();
  for (int i = 0; i < engine::kFieldCount; ++i)
    if (engine::kFields[static_cast<std::size_t>(i)].kind == engine::FieldKind::Text)
      engine::SetField(job, i, engine::StoredText(engine::GetField(job, i)).append(std::string(40000, 'x')));
  {
    platform::QtSettingsStore store(file);
    auto first = Started(store);
    Apply(*first, job);
    EXPECT_TRUE(first->close());
    const auto onDisk = TempDir::Read(file);  // at the close already, not only when the store goes away
    EXPECT_NE(std::string(onDisk.begin(), onDisk.end()).find("Name=Defaults"), std::string::npos);
  }
  platform::QtSettingsStore again(file);
  auto second = Started(again);
  ExpectFields(*second, job);
  EXPECT_TRUE(second->txtPath->isReadOnly());
  EXPECT_FALSE(second->txtCreate->isReadOnly());
  EXPECT_EQ(second->txtCreate->text(), "create");  // Auto loads unchecked: the layout text stays
}

// "E&xit" and the close box store the same section. A store that cannot be
// written says so when a preset is saved and once at the close, which goes on;
// the menus keep showing what the store holds.
TEST_F(SettingsWindowTest, ExitAndTheCloseBoxStoreTheSameSectionEvenUnwritable) {
  TempDir dir;
  std::filesystem::create_directories(dir / "store.conf");  // unwritable, even by root
  platform::QtSettingsStore unwritableStore(dir / "store.conf");
  MemoryStore byExit, byCloseBox;
  auto exited = Started(byExit), boxed = Started(byCloseBox), unwritable = Started(unwritableStore);
  for (ui::frm* target : {exited.get(), boxed.get(), unwritable.get()}) {
    Apply(*target, UnusualJob());
    target->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(target));
  }
  const std::string cannot =
      "\r\nThe settings file \"" + dir / "store.conf" + "\" cannot be written: it is a folder, not a file.";
  unwritable->mnuSG[3]->trigger();
  EXPECT_EQ(dialogs.messages, (std::vector<std::string>{"Preset 3 was NOT kept!" + cannot}));
  EXPECT_EQ(Captions(*unwritable)[3], "&3: ");
  exited->mnuExit->trigger();
  boxed->windowHandle()->close();  // the platform's request, as the close box sends it
  unwritable->windowHandle()->close();
  for (ui::frm* target : {exited.get(), boxed.get(), unwritable.get()}) EXPECT_FALSE(target->isVisible());
  EXPECT_EQ(dialogs.messages, (std::vector<std::string>{"Preset 3 was NOT kept!" + cannot,
                                                        "The options in use were NOT kept!" + cannot}));
  const auto section = Section(byExit, "Defaults");
  EXPECT_EQ(section.size(), static_cast<std::size_t>(engine::kFieldCount + 1));
  EXPECT_EQ(section.at("Name"), "Defaults");
  EXPECT_EQ(section.at("optmask"), "True");
  EXPECT_EQ(section, Section(byCloseBox, "Defaults"));
}

// A never-saved slot loads the missing-key defaults, stores nothing and keeps the captions.
TEST_F(SettingsWindowTest, ASlotSavedAndLoadedRestoresEveryFieldWhateverCameBetween) {
  MemoryStore store;
  auto window = Started(store);
  store.Put("Global5", "Name", "zelda.nes 0-FF");  // behind the window's back: only a save's recaptioning shows it
  window->mnuSG[3]->trigger();
  EXPECT_EQ(store.Get("Global3", "Name"), "mario.nes 1010-2010");
  const auto captions = Captions(*window);
  EXPECT_EQ(captions[3] + " " + captions[11 + 3] + " " + captions[11 + 5],
            "&3: mario.nes 1010-2010 &3: mario.nes 1010-2010 &5: zelda.nes 0-FF");
  for (std::size_t slot : {0, 10}) {
    Apply(*window, UnusualJob());
    window->mnuSG[slot]->trigger();
    Apply(*window, engine::FirstRunDefaults());
    window->mnuLG[slot]->trigger();
    ExpectFields(*window, UnusualJob());
  }
  EXPECT_TRUE(Section(store, "Global1").empty());  // the access key of slot 10, not its section
  const auto saved = store.saves.size();
  const auto before = Captions(*window);
  window->mnuLG[7]->trigger();
  EXPECT_EQ(Shown(*window), std::string(kMissingKeyOptions) +
                                "txtAdd=0 txtCreate=CORRUPT.ROM txtEMU= txtEnd=$0000 txtInc=$1000 "
                                "txtMask=%00001101 txtNth=1 txtPath=C:\\ txtROM= txtRange1=$00 txtRange2=$FF "
                                "txtSequence= txtShift=1 txtStart=$0000");
  EXPECT_EQ(Captions(*window), before);
  EXPECT_EQ(store.saves.size(), saved);
}

TEST_F(SettingsWindowTest, ALoadRunsTheControlsReactionsInStoreOrder) {
  struct LoadCase {
    const char* what;
    Pairs section, after;  // after: key (or "create") and stored text
    bool createLocked;
  };
  const LoadCase cases[] = {
      {"last true wins",
       {{"optall", "True"}, {"optmask", "True"}, {"optshift", "1"}, {"optadd", "-1"}},
       {{"optall", "False"},
        {"optnth", "False"},
        {"optmask", "True"},
        {"optshift", "False"},
        {"optcorrupt", "False"},
        {"optadd", "True"}},
       true},
      {"all false: none",
       {{"optall", "False"}, {"optnth", "false"}, {"optmask", "0"}},
       {{"optall", "False"}, {"optnth", "False"}, {"optmask", "False"}},
       true},
      {"derived with the loaded chdir",
       {{"chdir", "1"}, {"path", "/nes/"}, {"rom", "/nes/zelda.smc"}, {"autocreate", "1"}},
       {{"create", "CORRUPT.smc"}},
       true},
      // "/NES/" and "/nes/" are two folders where names keep their case.
      {"the folders compared by the host's rule",
       {{"chdir", "1"}, {"path", "/NES/"}, {"rom", "/nes/zelda.smc"}, {"autocreate", "1"}},
       {{"create", automode::kCaseBlindNames ? "CORRUPT.smc" : "/nes/CORRUPT.smc"}},
       true},
      {"Auto off keeps the derived name",
       {{"chdir", "0"}, {"path", "/nes/"}, {"rom", "/snes/zelda.smc"}, {"autocreate", "0"}},
       {{"create", "/snes/CORRUPT.smc"}, {"autocreate", "0"}},
       false},
      {"unaccepted values",
       {{"chdir", "2"}, {"autocreate", "yes"}, {"optcorrupt", "maybe"}, {"optrandombytes", ""}},
       {{"chdir", "1"}, {"autocreate", "1"}, {"optcorrupt", "True"}, {"optrandombytes", "True"}},
       true},
  };
  for (const LoadCase& c : cases) {
    MemoryStore store;
    auto window = Started(store);
    for (const auto& [key, text] :
         Pairs{{"chdir", "0"}, {"path", "/nes/"}, {"rom", "/nes/mario.nes"}, {"autocreate", "1"}})
      window->WriteField(Index(key), text);
    for (const auto& [key, text] : c.section) store.Put("Global4", key, text);
    window->mnuLG[4]->trigger();
    for (const auto& [key, text] : c.after) {
      const std::string actual =
          key == "create" ? window->txtCreate->text().toStdString() : engine::StoredText(window->ReadField(Index(key)));
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
  for (const char* key : {"optshift", "optcorrupt", "optadd", "optrandombytes", "optbyterange", "optsequence"})
    store.Put("Global6", key, "False");
  std::vector<engine::JobSettings> seen;  // what the window holds each time Corrupt becomes chosen
  QObject::connect(window->optCorrupt, &QRadioButton::toggled, window.get(), [&](bool on) {
    if (on) seen.push_back(window->ReadJob());
  });
  window->mnuLG[6]->trigger();
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0].optrandomseq, engine::kChecked);
  EXPECT_TRUE(seen[0].optsequence && !seen[0].optbyterange && !seen[0].optadd);
  EXPECT_EQ(seen[0].range1, UnusualJob().range1);  // before the fields after optrandomseq were written
  // The options written after it, all false, clear that choice again.
  EXPECT_EQ(Shown(*window).find("optCorrupt "), std::string::npos);
  EXPECT_EQ(Shown(*window).find("optSequence "), std::string::npos);
}

TEST_F(SettingsWindowTest, AHandEditedStoreLoadsWithoutACrashEachBadFieldTakingItsDefault) {
  TempDir dir;
  const std::string file = dir / "store.conf";
  const std::string hugePath = "/" + std::string(200000, 'p') + "/";
  std::ofstream(file, std::ios::binary)
      << "[General]\nstray=1\n[Defaults]\nchdir=99999999999999999999999999999\npath=" << hugePath << "\n"
      << "emu=@Variant(\\0\\0\\0\\x7f\\0\\0\\0\\x10garbage)\nrom=caf\xE9 \xFF\xFE.nes\n"
      << "autocreate=@ByteArray(1)\nstart=@Invalid()\nend=a, b, c\noptall=Tru\noptnth=\nsequence=$00,$01\n"
      << "optmask=yes\noptrandomseq=-0\noptoverwrite=\"1\"\nunknown=key\n"
      << "[Global2]\nName=@Variant(\\0\\0\\0\\x2)\n[Global5]\nName=zelda.nes,copy\n"
      << "[Defaults\nbroken line without equals\n";
  platform::QtSettingsStore store(file);
  auto window = Started(store);
  EXPECT_TRUE(Same(window->txtPath->text().toStdString(), hugePath));
  // Values their fields do not accept take the missing-key defaults; absent keys the first-run ones.
  EXPECT_EQ(Shown(*window).rfind(kMissingKeyOptions, 0), 0u) << Shown(*window).substr(0, 120);
  EXPECT_EQ(window->txtEnd->text(), "a, b, c");  // lists as written
  EXPECT_EQ(window->txtSequence->text(), "$00,$01");
  EXPECT_EQ(Captions(*window)[5], "&5: zelda.nes,copy");
  EXPECT_EQ(window->txtMask->text(), "%00001101");
  const engine::JobSettings shown = window->ReadJob();
  window->close();
  EXPECT_TRUE(dialogs.messages.empty());  // the broken line is no failure to write
  platform::QtSettingsStore reread(file);
  auto again = Started(reread);
  ExpectFields(*again, shown);
  EXPECT_EQ(Captions(*again)[5], "&5: zelda.nes,copy");  // rewritten, the hand-written list stays
}

}  // namespace
