#include <QFileDialog>
#include <QTimer>
#include <stdexcept>

#include "auto/output_name.h"
#include "support/temp_dir.h"
#include "window_fixture.h"

namespace {

// A name written with "/" as it reads on this host.
QString Native(QString text) { return text.replace('/', QLatin1Char(automode::kNativeSeparator)); }

// Picks the file it is given ("": cancels, "!": fails), and records how the
// dialog was set up each time it was shown: "filter index" "file name".
class PickingDialogs : public RecordingDialogs {
 public:
  bool ShowOpen(QWidget*) override {
    shows.push_back(QString("%1 \"%2\"").arg(filterIndex).arg(fileName).toStdString());
    if (pick == "!") throw std::runtime_error("the dialog could not be shown");
    fileName = Native(pick);
    fileTitle = pick.mid(pick.lastIndexOf('/') + 1);
    return !pick.isEmpty();
  }
  std::vector<std::string> shows;
  QString pick;
};

class PickersTest : public WindowTest {
 protected:
  PickersTest() {
    services.dialogs = &picker;
    Rebuild();
    Apply(engine::FirstRunDefaults());
  }
  ~PickersTest() override { window.reset(); }

  // Starts from the path "/old/", emulator "oldemu" and ROM "old.nes".
  void Reset(int chdir, int autocreate) {
    Write("autocreate", engine::kUnchecked);
    window->txtCreate->setText("create");
    Write("chdir", chdir);
    Write("path", Native("/old/").toStdString());
    Write("emu", "oldemu");
    Write("rom", "old.nes");
    Write("autocreate", autocreate);
    picker.shows.clear();
    picker.fileName = "left over from the last pick";
  }
  std::string Boxes() const {
    return QStringList{window->txtPath->text(), window->txtEMU->text(), window->txtROM->text(),
                       window->txtCreate->text()}
        .join(" | ")
        .toStdString();
  }

  PickingDialogs picker;
};

TEST_F(PickersTest, EachButtonFillsItsBoxWholeOrSplitByChangeDirectory) {
  const int on = engine::kChecked, off = engine::kUnchecked;
  const QString longDir = "/" + QString(600, 'd') + "/";  // longer than the boxes take typed
  const char* const unchanged = "/old/ | oldemu | old.nes | create";
  const std::tuple<int, int, int, QString, const char*> cases[] = {
      // button chdir autocreate pick, then
      // path | emu | rom | create
      {1, on, 0, "/emu dir/nes.exe", "/emu dir/ | oldemu | old.nes | create"},
      {2, on, 0, "/emu dir/nes.exe", "/emu dir/ | nes.exe | old.nes | create"},
      {2, off, 0, "/emu dir/nes.exe", "/old/ | /emu dir/nes.exe | old.nes | create"},
      {3, on, 0, "/emu dir/nes.exe", "/emu dir/ | oldemu | nes.exe | create"},
      {3, off, 0, "/emu dir/nes.exe", "/old/ | oldemu | /emu dir/nes.exe | create"},
      // The output name is derived again from a picked ROM; with the ROM's
      // directory as the path it needs none.
      {3, off, 1, "/roms/Mario.NES", "/old/ | oldemu | /roms/Mario.NES | /roms/CORRUPT.NES"},
      {3, on, 1, "/roms/Mario.NES", "/roms/ | oldemu | Mario.NES | CORRUPT.NES"},
      {3, on, 0, longDir + "m.nes", "L | oldemu | m.nes | create"},
      {3, off, 0, longDir + "m.nes", "/old/ | oldemu | Lm.nes | create"},
#ifndef _WIN32
      {1, on, 0, "C:\\nes\\m.nes", unchanged},  // a name without this host's separator leaves the path alone
#endif
      {1, on, 0, "", unchanged},
      {3, on, 0, "", unchanged},
      {2, off, 0, "", unchanged},
      {3, off, 0, "!", unchanged},
  };
  const char* shown[] = {"", "3 \"\"", "1 \"\"", "2 \"\""};  // All, Executable, ROM Files
  for (const auto& [button, chdir, autocreate, pick, boxes] : cases) {
    SCOPED_TRACE(QString("cmdOpen%1 chdir %2 pick %3").arg(button).arg(chdir).arg(pick).toStdString());
    Reset(chdir, autocreate);
    picker.pick = pick;
    QPushButton* buttons[] = {nullptr, window->cmdOpen1, window->cmdOpen2, window->cmdOpen3};
    QTest::mouseClick(buttons[button], Qt::LeftButton);
    EXPECT_EQ(Boxes(), Native(QString(boxes).replace("L", longDir)).toStdString());
    EXPECT_EQ(picker.shows, std::vector<std::string>{shown[button]});
  }
  EXPECT_TRUE(picker.messages.empty());
}

// The real dialog, driven once it is open: the entry given by the index is
// preselected, and a pick reports the full and the bare name.
TEST(QtOpenDialogTest, OpensOnTheGivenEntryAndReportsTheFullAndBareName) {
  TempDir dir;
  dir.Write("mario.nes", {1, 2, 3});
  ui::QtDialogs cmd;
  cmd.filterIndex = 2;
  QStringList filters;
  QString selected, suffix;
  QTimer::singleShot(0, [&] {
    auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
    if (!dialog) {
      ADD_FAILURE() << "no file dialog came up";
      if (QWidget* other = QApplication::activeModalWidget()) other->close();
      return;
    }
    filters = dialog->nameFilters();
    selected = dialog->selectedNameFilter();
    suffix = dialog->defaultSuffix();  // added to a typed name without one
    dialog->selectFile(QString::fromStdString(dir / "mario.nes"));
    static_cast<QDialog*>(dialog)->accept();  // as the Open button does
  });
  ASSERT_TRUE(cmd.ShowOpen(nullptr));
  ASSERT_EQ(filters.size(), 3);
  EXPECT_TRUE(selected.startsWith("ROM Files")) << selected.toStdString();
  EXPECT_TRUE(filters[1].startsWith("ROM Files (*.nes *.NES *.fds *.FDS")) << filters[1].toStdString();
  EXPECT_EQ(suffix, "NES");
#ifndef _WIN32
  EXPECT_EQ(filters[2], "All Files (*)");  // "*.*" would hide the many programs here without an extension
#endif
  EXPECT_EQ(std::filesystem::canonical(cmd.fileName.toStdString()),
            std::filesystem::canonical(dir.path() / "mario.nes"));
  EXPECT_EQ(cmd.fileTitle, "mario.nes");
}

}  // namespace
