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

const char* const kEmptyCaptions = "&0: |&1: |&2: |&3: |&4: |&5: |&6: |&7: |&8: |&9: |&10: |";

TEST_F(SettingsWindowTest, FirstRunShowsTheFirstRunDefaultsAndStoresNothing) {
  Rebuild(true);
  EXPECT_EQ(Shown(),
            "optAll optAutoCreate=1 optChdir=1 optCorrupt optOverwrite=1 optRandomBytes optRandomSeq=1 "
            "txtAdd=1 txtCreate=CORRUPT.nes txtEMU=nesticle.exe txtEnd=$2010 txtInc=$1000 "
            "txtMask=%00001101 txtNth=4 txtPath=C:\\nes\\ txtROM=mario.nes txtRange1=$00 txtRange2=$FF "
            "txtSequence=$00,$01,$02,$7F,$FF txtShift=1 txtStart=$1010");
  EXPECT_EQ(Captions(), kEmptyCaptions);
  EXPECT_TRUE(store.saves.empty() && dialogs.messages.empty());
}

// Every text longer than its box takes typed; a preset saved is on disk at once, the options at the
// close already, not only when the store goes away.
TEST_F(SettingsWindowTest, APresetAndTheOptionsReachTheFileAtOnceAndComeBack) {
  TempDir dir;
  const std::string file = dir / "Rom Glitchforge 6.conf";
  engine::JobSettings job = settings::UnusualJob();
  for (const engine::FieldSpec& spec : engine::kFields)
    if (spec.kind == engine::FieldKind::Text)
      engine::SetField(job, spec.field, engine::StoredText(engine::GetField(job, spec.field)).append(40000, 'x'));
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
  EXPECT_EQ(Captions(), kEmptyCaptions);
  window->mnuExit->trigger();
  EXPECT_FALSE(window->isVisible());
  const std::string cannot =
      "\r\nThe settings file \"" + dir / "store.conf" + "\" cannot be written: it is a folder, not a file.";
  EXPECT_EQ(dialogs.messages, (std::vector<std::string>{"Preset 3 was NOT kept!" + cannot,
                                                        "The options in use were NOT kept!" + cannot}));
}

// Slots 0 and 10 keep what was saved, whatever came between; -1 and 11 are no slots. A load of a
// never-saved slot stores nothing and keeps the captions.
TEST_F(SettingsWindowTest, ASlotSavedAndLoadedRestoresEveryFieldWhateverCameBetween) {
  Rebuild(true);
  store.values["Global5/Name"] = "zelda.nes 0-FF";  // behind the window's back: only a save's recaptioning shows it
  window->mnuSG[3]->trigger();
  EXPECT_EQ(Captions(), "&0: |&1: |&2: |&3: mario.nes 1010-2010|&4: |&5: zelda.nes 0-FF|&6: |&7: |&8: |&9: |&10: |");
  for (std::size_t slot : {0, 10}) {
    Apply(settings::UnusualJob());
    window->mnuSG[slot]->trigger();
    Apply(engine::FirstRunDefaults());
    window->mnuLG[slot]->trigger();
    EXPECT_EQ(settings::DifferingKeys(window->ReadJob(), settings::UnusualJob()), "") << slot;
  }
  const std::string before = Captions() + store.saves;
  for (int slot : {-1, 11}) {
    window->mnuSG_Click(slot);
    window->mnuLG_Click(slot);
  }
  EXPECT_EQ(settings::DifferingKeys(window->ReadJob(), settings::UnusualJob()), "");
  window->mnuLG[7]->trigger();
  EXPECT_EQ(Captions() + store.saves, before);
}

// From the first-run options with "Change directory to:" unchecked, slot 4 holding the first text is
// loaded, each field reacting as it is written: then the output name, whether txtCreate and txtPath
// are locked, and the check boxes and options.
TEST_F(SettingsWindowTest, ALoadRunsTheControlsReactionsInStoreOrder) {
  const char* const cases[][2] = {
      {"chdir=1 path=/nes/ rom=/nes/zelda.smc autocreate=1 optall=False optnth=false optmask=0 optshift=1 optadd=-1",
       "CORRUPT.smc 10 optAdd optAutoCreate=1 optChdir=1 optOverwrite=1 optRandomBytes optRandomSeq=0"},
      {"chdir=0 path=/nes/ rom=/snes/zelda.smc autocreate=0",
       "/snes/CORRUPT.smc 01 optAll optAutoCreate=0 optChdir=0 optCorrupt optOverwrite=1 optRandomBytes "
       "optRandomSeq=0"},
  };
  for (const auto& [stored, after] : cases) {
    store = {};
    Rebuild(true);
    Write(Field::chdir, engine::kUnchecked);
    for (const QString& pair : QString(stored).split(' '))
      store.values["Global4/" + pair.section('=', 0, 0).toStdString()] = pair.section('=', 1).toStdString();
    window->mnuLG[4]->trigger();
    EXPECT_EQ(window->txtCreate->text().toStdString() + " " + std::to_string(window->txtCreate->isReadOnly()) +
                  std::to_string(window->txtPath->isReadOnly()) + " " + Shown().substr(0, Shown().find(" txtAdd=")),
              after)
        << stored;
  }
}

// "Random from sequence" changed by a load chooses Looping Sequence and Corrupt at once, before the
// fields after it are written.
TEST_F(SettingsWindowTest, AChangedRandomFromSequenceChoosesSequenceAndCorruptOnTheWay) {
  Rebuild(true);
  Apply(settings::UnusualJob());  // optrandomseq unchecked, Add and Byte Range chosen
  store.values["Global6/optrandomseq"] = "1";
  std::string seen;  // the check boxes and options, and range1, each time Corrupt becomes chosen
  QObject::connect(window->optCorrupt, &QRadioButton::toggled, window.get(), [&](bool on) {
    if (on) seen += Shown().substr(0, Shown().find(" txtAdd=")) + " " + window->txtRange1->text().toStdString() + "|";
  });
  window->mnuLG[6]->trigger();
  EXPECT_EQ(seen, "optAll optAutoCreate=1 optChdir=1 optCorrupt optOverwrite=0 optRandomSeq=1 optSequence #comment|");
}

}  // namespace
