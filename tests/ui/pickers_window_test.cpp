#include <QFileDialog>
#include <QTimer>
#include <stdexcept>

#include "support/temp_dir.h"
#include "window_fixture.h"

namespace {

// Picks the file it is given ("": cancels, "!": fails), and records how the dialog was set up each
// time it was shown: "filter index" "file name". It keeps the name of the last pick, as the window
// holds one dialog for every picker.
class PickingDialogs : public RecordingDialogs {
 public:
  bool ShowOpen(QWidget*) override {
    shows += QString("%1 \"%2\"").arg(filterIndex).arg(fileName);
    if (pick == "!") throw std::runtime_error("the dialog could not be shown");
    fileName = pick;
    fileTitle = pick.mid(pick.lastIndexOf('/') + 1);
    return !pick.isEmpty();
  }
  QString shows, pick;
};

using PickersTest = WindowTest;

// From the layout's texts, with "Change directory to:" and "Auto" as given (2: grey).
TEST_F(PickersTest, EachButtonFillsItsBoxWholeOrSplitByChangeDirectory) {
  PickingDialogs picker;
  services.dialogs = &picker;
  const QString longDir = "/" + QString(600, 'd') + "/";  // longer than the boxes take typed
  const char* const unchanged = "path | emu | rom | create";
  const std::tuple<int, int, int, QString, const char*> cases[] = {
      // button chdir autocreate pick, then path | emu | rom | create
      {1, 1, 0, "/emu dir/nes.exe", "/emu dir/ | emu | rom | create"},
      {2, 1, 0, "/emu dir/nes.exe", "/emu dir/ | nes.exe | rom | create"},
      {2, 2, 0, "/emu dir/nes.exe", "path | /emu dir/nes.exe | rom | create"},
      // The output name is derived again from a picked ROM; with the ROM's directory as the path it needs none.
      {3, 0, 1, "/roms/Mario.NES", "path | emu | /roms/Mario.NES | /roms/CORRUPT.NES"},
      {3, 1, 1, "/roms/Mario.NES", "/roms/ | emu | Mario.NES | CORRUPT.NES"},
      {3, 1, 0, longDir + "m.nes", "L | emu | m.nes | create"},
      {3, 0, 0, longDir + "m.nes", "path | emu | Lm.nes | create"},
      {1, 1, 0, "C:\\nes\\m.nes", unchanged},  // a name without this host's separator leaves the path alone
      {1, 1, 0, "", unchanged},
      {3, 1, 0, "", unchanged},
      {2, 0, 0, "", unchanged},
      {3, 0, 0, "!", unchanged},
  };
  const char* shown[] = {"", "3 \"\"", "1 \"\"", "2 \"\""};  // All, Executable, ROM Files
  for (const auto& [button, chdir, autocreate, pick, boxes] : cases) {
    Rebuild();
    Write(Field::chdir, chdir);
    Write(Field::autocreate, autocreate);
    picker.pick = pick;
    picker.shows.clear();
    QTest::mouseClick(std::array{window->cmdOpen1, window->cmdOpen2, window->cmdOpen3}[button - 1], Qt::LeftButton);
    const QStringList now = {window->txtPath->text(), window->txtEMU->text(), window->txtROM->text(),
                             window->txtCreate->text()};
    EXPECT_EQ(now.join(" | ") + " after " + picker.shows,
              QString(boxes).replace("L", longDir) + " after " + shown[button])
        << "cmdOpen" << button << " chdir " << chdir << " pick " << pick.toStdString();
  }
  EXPECT_TRUE(picker.messages.empty());
}

// The real dialog, driven once it is open: the entry given by the index is preselected, the suffix
// is added to a typed name without one, and a pick reports the full and the bare name.
TEST(QtOpenDialogTest, OpensOnTheGivenEntryAndReportsTheFullAndBareName) {
  TempDir dir;
  const QString rom = QString::fromStdString(dir.Write("mario.nes", {1, 2, 3}));
  ui::QtDialogs cmd;
  cmd.filterIndex = 2;
  QString seen;
  QTimer::singleShot(0, [&] {
    QWidget* modal = QApplication::activeModalWidget();
    if (auto* dialog = qobject_cast<QFileDialog*>(modal)) {
      const QStringList filters = dialog->nameFilters();
      seen = QStringList{dialog->selectedNameFilter().section(" (", 0, 0), dialog->defaultSuffix(),
                         QString::number(filters.size()), filters.value(1).left(34), filters.value(2)}
                 .join('|');
      dialog->selectFile(rom);
    }
    qobject_cast<QDialog*>(modal)->accept();  // as the Open button does
  });
  ASSERT_TRUE(cmd.ShowOpen(nullptr));
  // "*.*" would hide the many programs here without an extension.
  EXPECT_EQ(seen + "|" + cmd.fileName + "|" + cmd.fileTitle,
            "ROM Files|NES|3|ROM Files (*.nes *.NES *.fds *.FDS|All Files (*)|" + rom + "|mario.nes");
}

}  // namespace
