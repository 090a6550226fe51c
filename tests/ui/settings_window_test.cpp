// Start-up, shutdown and the preset menus through the real window, over a store in memory or an
// INI file in a temporary directory.
#include "platform/qt_settings_store.h"
#include "support/temp_dir.h"
#include "window_fixture.h"

namespace {

using SettingsWindowTest = WindowTest;

std::string FileText(const std::string& file) {
  const auto bytes = TempDir::Read(file);
  return {bytes.begin(), bytes.end()};
}

const QStringList kEmptyCaptions = {"&0: ", "&1: ", "&2: ", "&3: ", "&4: ", "&5: ", "&6: ", "&7: ", "&8: ", "&9: ", "&10: "};

TEST_F(SettingsWindowTest, FirstRunShowsTheFirstRunDefaultsAndStoresNothing) {
  Rebuild(true);
  EXPECT_EQ(Chosen(), QStringList({"optAll", "optCorrupt", "optRandomBytes"}));
  EXPECT_EQ(Checks(), (std::map<QString, int>{{"optAutoCreate", 1}, {"optChdir", 1}, {"optOverwrite", 1}, {"optRandomSeq", 1}}));
  EXPECT_EQ(TextBoxes(),
            "txtAdd=1 txtCreate=CORRUPT.nes txtEMU=nesticle.exe txtEnd=$2010 txtInc=$1000 txtMask=%00001101 txtNth=4 "
            "txtPath=C:\\nes\\ txtROM=mario.nes txtRange1=$00 txtRange2=$FF txtSequence=$00,$01,$02,$7F,$FF "
            "txtShift=1 txtStart=$1010");
  EXPECT_EQ(Captions(window->mnuSG), kEmptyCaptions);
  EXPECT_EQ(Captions(window->mnuLG), kEmptyCaptions);
  EXPECT_TRUE(store.saves.empty());
  EXPECT_TRUE(dialogs.messages.empty());
}

// Every text longer than its box takes typed; a preset saved is on disk at once, the options at the
// close already, not only when the store goes away.
TEST_F(SettingsWindowTest, APresetAndTheOptionsReachTheFileAtOnceAndComeBack) {
  TempDir dir;
  const std::string file = dir / "Rom Glitchforge 6.conf";
  engine::JobSettings job = settings::UnusualJob();
  for (const engine::FieldRow& row : engine::kFields)
    if (row.kind == engine::FieldKind::Text)
      engine::SetField(job, row.field, engine::StoredText(engine::GetField(job, row.field)).append(40000, 'x'));
  {
    platform::QtSettingsStore disk(file);
    services.settings = &disk;
    Rebuild(true);
    Apply(job);
    window->mnuSG[10]->trigger();
    EXPECT_NE(FileText(file).find("[Global10]\nName=Z\xC3\xBCrich [!].nesx"), std::string::npos);
    EXPECT_TRUE(window->close());
    EXPECT_NE(FileText(file).find("[Defaults]\nCloseEmulator=0\nName=Defaults"), std::string::npos);
  }
  platform::QtSettingsStore again(file);
  services.settings = &again;
  Rebuild(true);
  EXPECT_EQ(settings::DifferingKeys(window->ReadJob(), job), "");
}

// File > Close Previous Emulator is unchecked at the first start, kept through the close, and carried by no preset.
TEST_F(SettingsWindowTest, CloseThePreviousEmulatorIsKeptWithTheOptionsInUseButNotInAPreset) {
  Rebuild(true);
  EXPECT_FALSE(window->mnuCloseEmulator->isChecked());
  window->mnuCloseEmulator->trigger();
  EXPECT_TRUE(window->ReadJob().closePreviousEmulator);
  window->mnuSG[3]->trigger();
  EXPECT_TRUE(window->close());
  Rebuild(true);
  EXPECT_TRUE(window->mnuCloseEmulator->isChecked());
  EXPECT_FALSE(store.values.contains("Global3/CloseEmulator"));
}

// A store that cannot be written says so when a preset is saved and at the close, which goes on; the
// menus keep showing what the store holds.
TEST_F(SettingsWindowTest, AnUnwritableStoreSaysSoAtASaveAndAtTheCloseWhichGoesOn) {
  TempDir dir;
  std::filesystem::create_directories(dir / "store.conf");  // unwritable, even by root
  platform::QtSettingsStore unwritable(dir / "store.conf");
  services.settings = &unwritable;
  Rebuild(true);
  window->show();
  window->mnuSG[3]->trigger();
  EXPECT_EQ(Captions(window->mnuSG), kEmptyCaptions);
  EXPECT_EQ(Captions(window->mnuLG), kEmptyCaptions);
  window->mnuExit->trigger();
  EXPECT_FALSE(window->isVisible());
  const std::string cannot = "\r\nThe settings file \"" + dir / "store.conf" + "\" cannot be written: it is a folder, not a file.";
  EXPECT_EQ(dialogs.messages, (std::vector<std::string>{"Preset 3 was NOT kept!" + cannot, "The options in use were NOT kept!" + cannot}));
}

// Slots 0 and 10 keep what was saved, whatever came between; -1 and 11 are no slots. A load of a
// never-saved slot stores nothing and keeps the captions.
TEST_F(SettingsWindowTest, ASlotSavedAndLoadedRestoresEveryFieldWhateverCameBetween) {
  Rebuild(true);
  store.values["Global5/Name"] = "zelda.nes 0-FF";  // behind the window's back: only a save's recaptioning shows it
  window->mnuSG[3]->trigger();
  QStringList captions = kEmptyCaptions;
  captions[3] = "&3: mario.nes 1010-2010";
  captions[5] = "&5: zelda.nes 0-FF";
  EXPECT_EQ(Captions(window->mnuSG), captions);
  EXPECT_EQ(Captions(window->mnuLG), captions);
  for (std::size_t slot : {0, 10}) {
    Apply(settings::UnusualJob());
    window->mnuSG[slot]->trigger();
    Apply(engine::FirstRunDefaults());
    window->mnuLG[slot]->trigger();
    EXPECT_EQ(settings::DifferingKeys(window->ReadJob(), settings::UnusualJob()), "") << slot;
  }
  const QStringList before = Captions(window->mnuSG);
  const std::string saves = store.saves;
  for (int slot : {-1, 11}) {
    window->mnuSG_Click(slot);
    window->mnuLG_Click(slot);
  }
  EXPECT_EQ(settings::DifferingKeys(window->ReadJob(), settings::UnusualJob()), "");
  window->mnuLG[7]->trigger();
  EXPECT_EQ(Captions(window->mnuSG), before);
  EXPECT_EQ(Captions(window->mnuLG), before);
  EXPECT_EQ(store.saves, saves);
}

// From the first-run options with "Change directory to:" unchecked, slot 4 holding the stored keys is loaded,
// each field reacting as it is written: then the output name, whether txtCreate and txtPath are locked, and the
// check boxes and options.
TEST_F(SettingsWindowTest, ALoadRunsTheControlsReactionsInStoreOrder) {
  const struct {
    std::map<std::string, std::string> stored;
    QString create;
    bool createLocked, pathLocked;
    QStringList chosen;
    std::map<QString, int> checks;
  } cases[] = {
      {.stored = {{"chdir", "1"},
                  {"path", "/nes/"},
                  {"rom", "/nes/zelda.smc"},
                  {"autocreate", "1"},
                  {"optall", "False"},
                  {"optnth", "false"},
                  {"optmask", "0"},
                  {"optshift", "1"},
                  {"optadd", "-1"}},
       .create = "CORRUPT.smc",
       .createLocked = true,
       .pathLocked = false,
       .chosen = {"optAdd", "optRandomBytes"},
       .checks = {{"optAutoCreate", 1}, {"optChdir", 1}, {"optOverwrite", 1}, {"optRandomSeq", 0}}},
      {.stored = {{"chdir", "0"}, {"path", "/nes/"}, {"rom", "/snes/zelda.smc"}, {"autocreate", "0"}},
       .create = "/snes/CORRUPT.smc",
       .createLocked = false,
       .pathLocked = true,
       .chosen = {"optAll", "optCorrupt", "optRandomBytes"},
       .checks = {{"optAutoCreate", 0}, {"optChdir", 0}, {"optOverwrite", 1}, {"optRandomSeq", 0}}},
  };
  for (const auto& c : cases) {
    store = {};
    Rebuild(true);
    Write(Field::chdir, engine::kUnchecked);
    for (const auto& [key, value] : c.stored) store.values["Global4/" + key] = value;
    window->mnuLG[4]->trigger();
    EXPECT_EQ(window->txtCreate->text(), c.create);
    EXPECT_EQ(window->txtCreate->isReadOnly(), c.createLocked);
    EXPECT_EQ(window->txtPath->isReadOnly(), c.pathLocked);
    EXPECT_EQ(Chosen(), c.chosen);
    EXPECT_EQ(Checks(), c.checks);
  }
}

// "Random from sequence" changed by a load chooses Looping Sequence and Corrupt at once, before the
// fields after it are written.
TEST_F(SettingsWindowTest, AChangedRandomFromSequenceChoosesSequenceAndCorruptOnTheWay) {
  Rebuild(true);
  Apply(settings::UnusualJob());  // optrandomseq unchecked, Add and Byte Range chosen
  store.values["Global6/optrandomseq"] = "1";
  int corruptChosen = 0;  // and then the options, the check boxes and range1
  QStringList chosen;
  std::map<QString, int> checks;
  QString range1;
  QObject::connect(window->optCorrupt, &QRadioButton::toggled, window.get(), [&](bool on) {
    if (!on) return;
    ++corruptChosen;
    chosen = Chosen();
    checks = Checks();
    range1 = window->txtRange1->text();
  });
  window->mnuLG[6]->trigger();
  EXPECT_EQ(corruptChosen, 1);
  EXPECT_EQ(chosen, QStringList({"optAll", "optCorrupt", "optSequence"}));
  EXPECT_EQ(checks, (std::map<QString, int>{{"optAutoCreate", 1}, {"optChdir", 1}, {"optOverwrite", 0}, {"optRandomSeq", 1}}));
  EXPECT_EQ(range1, "#comment");
}

}  // namespace
