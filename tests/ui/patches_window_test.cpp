#include <QAction>
#include <QMenu>
#include <optional>

#include "window_fixture.h"

namespace {

using Lines = std::vector<std::string>;

// The patch dialogs answer as scripted and remember what Export proposed.
class PatchDialogs : public RecordingDialogs {
 public:
  std::optional<PatchChoice> ShowSavePatch(QWidget*, const QString& proposal) override {
    proposed = proposal.toStdString();
    return saveAs;
  }
  std::optional<QString> ShowOpenPatch(QWidget*, const QString&) override { return open; }
  std::optional<PatchChoice> saveAs;
  std::optional<QString> open;
  std::string proposed;
};

// The job of JobWindowTest, with scripted patch dialogs and a data folder for the Local presets.
class PatchesWindowTest : public JobWindowTest {
 protected:
  PatchesWindowTest() {
    services.dialogs = &patchDialogs;
    services.dataFolder = QString::fromStdString(data / "presets");
    Rebuild();
    PrepareJob();
  }
  Bytes Glitched(int add) {
    Bytes bytes = rom;
    while (add-- > 0) bytes = Plus(bytes, 0x10, 0x1F);
    return bytes;
  }
  void Export(const std::string& name, bool bpsEntry = false) {
    patchDialogs.saveAs = ui::Dialogs::PatchChoice{QString::fromStdString(name), bpsEntry};
    window->mnuExport->trigger();
  }
  void Import(const std::string& name) {
    patchDialogs.open = QString::fromStdString(name);
    window->mnuImport->trigger();
  }

  TempDir data;
  PatchDialogs patchDialogs;
};

// A glitch exported in either format comes back byte for byte when imported onto a fresh copy, which starts the
// emulator; a patch named without an extension takes the dialog's entry.
TEST_F(PatchesWindowTest, AnExportedGlitchComesBackByteForByteOnImport) {
  struct Row {
    const char* patchName;
    bool bpsEntry;
  };
  const Row rows[] = {
      {.patchName = "rom.ips", .bpsEntry = false}, {.patchName = "rom.bps", .bpsEntry = false}, {.patchName = "no extension", .bpsEntry = true}};
  window->cmdGo->click();
  ASSERT_EQ(Output(), Glitched(1));
  for (const Row& row : rows) {
    const std::string patch = dir / row.patchName;
    Export(patch, row.bpsEntry);
    EXPECT_EQ(patchDialogs.proposed, dir / "rom.ips");
    EXPECT_EQ(patchDialogs.messages.back(), patch + " exported successfully!");
    dir.Write("CORRUPT.bin", Bytes(3, 0));
    launcher.started.clear();
    Import(patch);
    EXPECT_EQ(Output(), Glitched(1)) << row.patchName;
    EXPECT_EQ(launcher.started, Lines{"emu --fast CORRUPT.bin"});
    EXPECT_EQ(Status(), "Status: Ready!");
  }
  EXPECT_EQ(TempDir::Read(dir / "no extension").front(), 'B');
}

// Each refusal says why in a message, writes no patch and leaves an earlier patch of that name as it was.
TEST_F(PatchesWindowTest, ExportRefusalsWriteNothing) {
  const std::string patch = dir / "rom.ips";
  struct Row {
    const char* name;
    std::optional<Bytes> output;  // none: missing
    std::string message;
  };
  const Row rows[] = {
      {.name = "output missing",
       .output = std::nullopt,
       .message = "Error!  Patch NOT exported!\r\nFile not found: \"CORRUPT.bin\" (No such file or directory)"},
      {.name = "same bytes", .output = rom, .message = "Nothing to export: the output does not differ from the ROM!"},
      {.name = "other length", .output = Bytes(65, 0), .message = "Can't export: the output and the ROM differ in length!\r\n40 vs 41"},
  };
  dir.Write("rom.ips", {'o', 'l', 'd'});
  for (const Row& row : rows) {
    std::filesystem::remove(dir / "CORRUPT.bin");
    if (row.output) dir.Write("CORRUPT.bin", *row.output);
    const auto before = Listing(dir.path());
    Export(patch);
    EXPECT_EQ(patchDialogs.messages.back(), row.message) << row.name;
    EXPECT_EQ(Listing(dir.path()), before) << row.name;
  }
}

// A patch that cannot be used is refused with its reason, and the output stays byte for byte as it was.
TEST_F(PatchesWindowTest, ImportRefusesBrokenPatchesAndKeepsTheOutput) {
  window->cmdGo->click();
  struct Row {
    const char* name;
    Bytes patch;
    std::string message;
  };
  const Row rows[] = {
      {.name = "neither format", .patch = {'h', 'i'}, .message = "The patch is not well formed!\r\nneither an IPS nor a BPS patch"},
      {.name = "IPS cut short",
       .patch = {'P', 'A', 'T', 'C', 'H', 0, 0, 1, 0, 9},
       .message = "The patch is not well formed!\r\na record runs past the end of the patch"},
  };
  const Bytes before = Output();
  for (const Row& row : rows) {
    dir.Write("broken.ips", row.patch);
    launcher.started.clear();
    Import(dir / "broken.ips");
    EXPECT_EQ(patchDialogs.messages.back(), row.message) << row.name;
    EXPECT_EQ(Status(), "Status: Error!") << row.name;
    EXPECT_TRUE(launcher.started.empty()) << row.name;
    EXPECT_EQ(Output(), before) << row.name;
  }
  // A BPS patch made for another ROM.
  Export(dir / "mine.bps");
  Bytes otherRom = rom;
  otherRom[0] ^= 1;
  dir.Write("rom.bin", otherRom);
  Import(dir / "mine.bps");
  EXPECT_EQ(patchDialogs.messages.back(), "The patch was made for another file!\r\nthe ROM's checksum differs from the one the patch names");
  EXPECT_EQ(Output(), before);
}

// A Local preset keeps the job and the glitch of its own ROM: loading it brings back the very bytes, also after a
// restart; another ROM sees only its own slots.
TEST_F(PatchesWindowTest, ALocalPresetKeepsTheGlitchOfItsRom) {
  window->cmdGo->click();
  window->mnuSL[3]->trigger();
  emit window->mnuLoadLocal->aboutToShow();
  EXPECT_EQ(window->mnuSL[3]->text(), "&3: 10-1F");
  EXPECT_EQ(window->mnuLL[3]->text(), "&3: 10-1F");
  EXPECT_TRUE(window->mnuLL[3]->isEnabled());
  EXPECT_EQ(window->mnuLL[4]->text(), "&4");
  EXPECT_FALSE(window->mnuLL[4]->isEnabled());

  Write(Field::add, "7");
  Write(Field::start, "$20");
  Write(Field::end, "$2F");
  window->cmdGo->click();
  ASSERT_NE(Output(), Glitched(1));
  Rebuild();  // a restart over the same store and data folder
  Write(Field::rom, "rom.bin");
  window->mnuLL[3]->trigger();
  EXPECT_EQ(Output(), Glitched(1));
  EXPECT_EQ(window->txtStart->text(), "$10");
  EXPECT_EQ(launcher.started.back(), "emu --fast CORRUPT.bin");

  Write(Field::rom, "other.bin");
  emit window->mnuSaveLocal->aboutToShow();
  EXPECT_EQ(window->mnuSL[3]->text(), "&3");
  EXPECT_FALSE(window->mnuLL[3]->isEnabled());
  EXPECT_EQ(patchDialogs.messages, Lines{});
}

// Saving a slot again replaces its kept glitch, and only one file is kept for it.
TEST_F(PatchesWindowTest, ASlotSavedAgainKeepsOneGlitchFile) {
  window->cmdGo->click();
  window->mnuSL[0]->trigger();
  Write(Field::add, "2");
  window->cmdGo->click();
  window->mnuSL[0]->trigger();
  EXPECT_EQ(Listing(data.path()).size(), 2u);  // the folder and one glitch
  dir.Write("CORRUPT.bin", rom);
  window->mnuLL[0]->trigger();
  EXPECT_EQ(Output(), Glitched(2));
}

}  // namespace
