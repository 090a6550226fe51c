// Start-up, shutdown and the preset menus through the real window, over a store in memory or an
// INI file in a temporary directory.
#include <QWindow>
#include <fstream>

#include "auto/output_name.h"
#include "platform/qt_settings_store.h"
#include "support/temp_dir.h"
#include "window_fixture.h"

namespace {

using SettingsWindowTest = WindowTest;

std::string FileText(const std::string& file) {
  const auto bytes = TempDir::Read(file);
  return {bytes.begin(), bytes.end()};
}

const char* const kEmptyCaptions = "&0: |&1: |&2: |&3: |&4: |&5: |&6: |&7: |&8: |&9: |&10: |";
const char* const kMissingKeyOptions =
    "optAll optAutoCreate=1 optChdir=1 optCorrupt optOverwrite=1 optRandomBytes optRandomSeq=0 ";

TEST_F(SettingsWindowTest, FirstRunShowsTheFirstRunDefaultsAndStoresNothing) {
  Rebuild(true);
  EXPECT_EQ(Shown(),
            "optAll optAutoCreate=1 optChdir=1 optCorrupt optOverwrite=1 optRandomBytes optRandomSeq=1 "
            "txtAdd=1 txtCreate=CORRUPT.nes txtEMU=nesticle.exe txtEnd=$2010 txtInc=$1000 "
            "txtMask=%00001101 txtNth=4 txtPath=C:\\nes\\ txtROM=mario.nes txtRange1=$00 txtRange2=$FF "
            "txtSequence=$00,$01,$02,$7F,$FF txtShift=1 txtStart=$1010");
  EXPECT_EQ(Captions(), kEmptyCaptions);
  EXPECT_TRUE(store.saves.empty() && dialogs.messages.empty());
  window->WriteField(engine::kFieldCount, std::string("ignored"));  // no such field
  EXPECT_EQ(window->ReadField(-1), engine::FieldValue(std::string()));
}

// Every text longer than its box takes typed; a preset saved is on disk at once, the options at the
// close already, not only when the store goes away.
TEST_F(SettingsWindowTest, APresetAndTheOptionsReachTheFileAtOnceAndComeBack) {
  TempDir dir;
  const std::string file = dir / "Rom Glitchforge 6.conf";
  engine::JobSettings job = settings::UnusualJob();
  for (int i = 0; i < engine::kFieldCount; ++i)
    if (engine::kFields[std::size_t(i)].kind == engine::FieldKind::Text)
      engine::SetField(job, i, engine::StoredText(engine::GetField(job, i)).append(40000, 'x'));
  {
    platform::QtSettingsStore disk(file);
    services.settings = &disk;
    Rebuild(true);
    Apply(job);
    window->mnuSG[10]->trigger();
    EXPECT_NE(FileText(file).find("[Global10]\nName=Z\xC3\xBCrich [!].nesx"), std::string::npos);
    EXPECT_TRUE(window->close());
    EXPECT_NE(FileText(file).find("[Defaults]\nName=Defaults"), std::string::npos);
  }
  platform::QtSettingsStore again(file);
  services.settings = &again;
  Rebuild(true);
  EXPECT_EQ(settings::DifferingKeys(window->ReadJob(), job), "");
  EXPECT_EQ(Captions().find("|&10: Z\xC3\xBCrich [!].nesxx"), std::string(kEmptyCaptions).size() - 7);
  EXPECT_TRUE(window->txtPath->isReadOnly());
  EXPECT_FALSE(window->txtCreate->isReadOnly());
  EXPECT_EQ(window->txtCreate->text(), "create");  // Auto loads unchecked: the layout text stays
  Apply(engine::FirstRunDefaults());
  window->mnuLG[10]->trigger();
  EXPECT_EQ(settings::DifferingKeys(window->ReadJob(), job), "");
}

// "E&xit" and the close box store the same section. A store that cannot be written says so when a
// preset is saved and once at the close, which goes on; the menus keep showing what the store holds.
TEST_F(SettingsWindowTest, ExitAndTheCloseBoxStoreTheSameSectionEvenUnwritable) {
  TempDir dir;
  std::filesystem::create_directories(dir / "store.conf");  // unwritable, even by root
  platform::QtSettingsStore unwritableStore(dir / "store.conf");
  settings::MemoryStore byExit, byCloseBox;
  std::vector<std::unique_ptr<ui::frm>> windows;
  for (settings::SettingsStore* target :
       std::initializer_list<settings::SettingsStore*>{&byExit, &byCloseBox, &unwritableStore}) {
    services.settings = target;
    Rebuild(true);
    Apply(settings::UnusualJob());
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    windows.push_back(std::move(window));
  }
  const std::string cannot =
      "\r\nThe settings file \"" + dir / "store.conf" + "\" cannot be written: it is a folder, not a file.";
  windows[2]->mnuSG[3]->trigger();
  EXPECT_EQ(dialogs.messages, (std::vector<std::string>{"Preset 3 was NOT kept!" + cannot}));
  window = std::move(windows[2]);
  EXPECT_EQ(Captions(), kEmptyCaptions);
  windows[0]->mnuExit->trigger();
  windows[1]->windowHandle()->close();  // the platform's request, as the close box sends it
  window->windowHandle()->close();
  EXPECT_FALSE(windows[0]->isVisible() || windows[1]->isVisible() || window->isVisible());
  EXPECT_EQ(dialogs.messages, (std::vector<std::string>{"Preset 3 was NOT kept!" + cannot,
                                                        "The options in use were NOT kept!" + cannot}));
  EXPECT_EQ(byExit.Section("Defaults").substr(0, 40), "Name=Defaults add=\"quoted\" autocreate=0 ");
  EXPECT_EQ(byExit.Section("Defaults"), byCloseBox.Section("Defaults"));
}

// Slots 0 and 10 keep what was saved, whatever came between; -1 and 11 are no slots. A never-saved
// slot loads the missing-key defaults, stores nothing and keeps the captions.
TEST_F(SettingsWindowTest, ASlotSavedAndLoadedRestoresEveryFieldWhateverCameBetween) {
  Rebuild(true);
  store.Put("Global5/Name", "zelda.nes 0-FF");  // behind the window's back: only a save's recaptioning shows it
  window->mnuSG[3]->trigger();
  EXPECT_EQ(store.kept["Global3/Name"], "mario.nes 1010-2010");
  EXPECT_EQ(Captions(), "&0: |&1: |&2: |&3: mario.nes 1010-2010|&4: |&5: zelda.nes 0-FF|&6: |&7: |&8: |&9: |&10: |");
  for (std::size_t slot : {0, 10}) {
    Apply(settings::UnusualJob());
    window->mnuSG[slot]->trigger();
    Apply(engine::FirstRunDefaults());
    window->mnuLG[slot]->trigger();
    EXPECT_EQ(settings::DifferingKeys(window->ReadJob(), settings::UnusualJob()), "") << slot;
  }
  EXPECT_EQ(store.Section("Global1"), "");  // the access key of slot 10, not its section
  const auto saves = store.saves.size();
  const auto captions = Captions();
  for (int slot : {-1, 11}) window->mnuSG_Click(slot), window->mnuLG_Click(slot);
  EXPECT_EQ(settings::DifferingKeys(window->ReadJob(), settings::UnusualJob()), "");
  window->mnuLG[7]->trigger();
  EXPECT_EQ(Shown(), std::string(kMissingKeyOptions) +
                         "txtAdd=0 txtCreate=CORRUPT.ROM txtEMU= txtEnd=$0000 txtInc=$1000 "
                         "txtMask=%00001101 txtNth=1 txtPath=C:\\ txtROM= txtRange1=$00 txtRange2=$FF "
                         "txtSequence= txtShift=1 txtStart=$0000");
  EXPECT_EQ(Captions(), captions);
  EXPECT_EQ(store.saves.size(), saves);
}

// "key=text ..." pairs, split at the first "=".
std::vector<std::pair<std::string, std::string>> Pairs(const std::string& text) {
  std::vector<std::pair<std::string, std::string>> pairs;
  for (const QString& pair : QString::fromStdString(text).split(' ', Qt::SkipEmptyParts))
    pairs.emplace_back(pair.section('=', 0, 0).toStdString(), pair.section('=', 1).toStdString());
  return pairs;
}

// From chdir 0, path "/nes/", ROM "/nes/mario.nes", Auto checked, slot 4 holding `section` is loaded;
// then each key of `after` (or "create", the output name) shows its text, and txtCreate is locked or not.
TEST_F(SettingsWindowTest, ALoadRunsTheControlsReactionsInStoreOrder) {
  const char* const cases[][2] = {
      {"optall=True optmask=True optshift=1 optadd=-1",
       "optall=False optnth=False optmask=True optshift=False optcorrupt=False optadd=True locked=1"},
      {"optall=False optnth=false optmask=0", "optall=False optnth=False optmask=False locked=1"},
      {"chdir=1 path=/nes/ rom=/nes/zelda.smc autocreate=1", "create=CORRUPT.smc locked=1"},
      // "/NES/" and "/nes/" are two folders where names keep their case.
      {"chdir=1 path=/NES/ rom=/nes/zelda.smc autocreate=1",
       automode::kCaseBlindNames ? "create=CORRUPT.smc" : "create=/nes/CORRUPT.smc"},
      {"chdir=0 path=/nes/ rom=/snes/zelda.smc autocreate=0", "create=/snes/CORRUPT.smc autocreate=0 locked=0"},
      {"chdir=2 autocreate=yes optcorrupt=maybe optrandombytes=",
       "chdir=1 autocreate=1 optcorrupt=True optrandombytes=True locked=1"},
      {"optall=1E0 optmask=1E optrandomseq=1E", "optall=True optmask=False optrandomseq=0"},
  };
  for (const auto& c : cases) {
    store = {};
    Rebuild(true);
    for (const auto& [key, text] : Pairs("chdir=0 path=/nes/ rom=/nes/mario.nes autocreate=1"))
      Write(key.c_str(), text.c_str());
    for (const auto& [key, text] : Pairs(c[0])) store.Put("Global4/" + key, text);
    window->mnuLG[4]->trigger();
    std::string after;
    for (const auto& [key, text] : Pairs(c[1]))
      after += key + "=" +
               (key == "create"   ? window->txtCreate->text().toStdString()
                : key == "locked" ? std::to_string(window->txtCreate->isReadOnly())
                                  : engine::StoredText(window->ReadField(*engine::FieldIndex(key)))) +
               " ";
    EXPECT_EQ(after, c[1] + std::string(" ")) << c[0];
    EXPECT_EQ(window->txtPath->isReadOnly(), window->optChdir->checkState() == Qt::Unchecked) << c[0];
  }
}

TEST_F(SettingsWindowTest, AChangedRandomFromSequenceChoosesSequenceAndCorruptOnTheWay) {
  Rebuild(true);                  // optrandomseq checked
  Apply(settings::UnusualJob());  // optrandomseq unchecked, Add and Byte Range chosen
  for (const auto& [key, text] :
       Pairs("optrandomseq=1 optshift=0 optcorrupt=0 optadd=0 optrandombytes=0 optbyterange=0 optsequence=0"))
    store.Put("Global6/" + key, text);
  std::vector<engine::JobSettings> seen;  // what the window holds each time Corrupt becomes chosen
  QObject::connect(window->optCorrupt, &QRadioButton::toggled, window.get(), [&](bool on) {
    if (on) seen.push_back(window->ReadJob());
  });
  window->mnuLG[6]->trigger();
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0].optrandomseq, engine::kChecked);
  EXPECT_TRUE(seen[0].optsequence && !seen[0].optbyterange && !seen[0].optadd);
  EXPECT_EQ(seen[0].range1, settings::UnusualJob().range1);  // before the fields after optrandomseq were written
  // The options written after it, all false, clear that choice again.
  EXPECT_EQ(Shown().find("optCorrupt "), std::string::npos);
  EXPECT_EQ(Shown().find("optSequence "), std::string::npos);
}

}  // namespace
