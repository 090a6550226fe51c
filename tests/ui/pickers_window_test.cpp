#include <optional>
#include <stdexcept>
#include <utility>

#include "auto/output_name.h"
#include "window_fixture.h"

namespace {

// A name written with "/" as it reads on this host.
QString Native(QString text) { return text.replace('/', QLatin1Char(automode::kNativeSeparator)); }

// Picks the file it is given, or cancels when given none, and records how
// the dialog was set up each time it was shown.
class PickingDialogs : public RecordingDialogs {
 public:
  bool ShowOpen(QWidget*) override {
    shows.push_back(QString("%1 \"%2\"").arg(filterIndex).arg(fileName).toStdString());
    if (fail) throw std::runtime_error("the dialog could not be shown");
    if (!pick) return false;
    fileName = Native(pick->first);
    fileTitle = pick->second;
    return true;
  }
  std::vector<std::string> shows;                   // "filter index" "file name"
  std::optional<std::pair<QString, QString>> pick;  // full name, bare name
  bool fail = false;
};

class PickersTest : public WindowTest {
 protected:
  PickersTest() {
    ui::Services services = FakeServices();
    services.dialogs = &picker;
    window = std::make_unique<ui::frm>(services);
    LoadFirstRunDefaults();
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
                       window->txtCreate->text()}.join(" | ").toStdString();
  }

  PickingDialogs picker;
};

TEST_F(PickersTest, EachButtonFillsItsBoxWholeOrSplitByChangeDirectory) {
  struct Case {
    int button;
    int chdir;
    int autocreate;
    QString pick;
    const char* boxes;  // path | emu | rom | create
  };
  const QString longDir = "/" + QString(600, 'd') + "/";  // longer than the boxes take typed
  const Case cases[] = {
      {1, engine::kChecked, 0, "/emu dir/nes.exe", "/emu dir/ | oldemu | old.nes | create"},
      {1, engine::kUnchecked, 0, "/emu dir/nes.exe", "/emu dir/ | oldemu | old.nes | create"},
      {2, engine::kChecked, 0, "/emu dir/nes.exe", "/emu dir/ | nes.exe | old.nes | create"},
      {2, engine::kUnchecked, 0, "/emu dir/nes.exe", "/old/ | /emu dir/nes.exe | old.nes | create"},
      {3, engine::kChecked, 0, "/emu dir/nes.exe", "/emu dir/ | oldemu | nes.exe | create"},
      {3, engine::kUnchecked, 0, "/emu dir/nes.exe", "/old/ | oldemu | /emu dir/nes.exe | create"},
      // The output name is derived again from a picked ROM; with the ROM's
      // directory as the path it needs none.
      {3, engine::kUnchecked, 1, "/roms/Mario.NES", "/old/ | oldemu | /roms/Mario.NES | /roms/CORRUPT.NES"},
      {3, engine::kChecked, 1, "/roms/Mario.NES", "/roms/ | oldemu | Mario.NES | CORRUPT.NES"},
      {3, engine::kChecked, 0, longDir + "m.nes", "L | oldemu | m.nes | create"},
#ifndef _WIN32
      // A name without this host's separator leaves the path alone.
      {1, engine::kChecked, 0, "C:\\nes\\m.nes", "/old/ | oldemu | old.nes | create"},
#endif
      {3, engine::kUnchecked, 0, longDir + "m.nes", "/old/ | oldemu | Lm.nes | create"},
  };
  const char* shown[] = {"", "3 \"\"", "1 \"\"", "2 \"\""};  // All, Executable, ROM Files
  for (const Case& c : cases) {
    SCOPED_TRACE("cmdOpen" + std::to_string(c.button) + " chdir " + std::to_string(c.chdir));
    Reset(c.chdir, c.autocreate);
    picker.pick = {{c.pick, c.pick.mid(c.pick.lastIndexOf('/') + 1)}};
    QPushButton* buttons[] = {nullptr, window->cmdOpen1, window->cmdOpen2, window->cmdOpen3};
    QTest::mouseClick(buttons[c.button], Qt::LeftButton);
    EXPECT_EQ(Boxes(), Native(QString(c.boxes).replace("L", longDir)).toStdString());
    EXPECT_EQ(picker.shows, std::vector<std::string>{shown[c.button]});
  }
  EXPECT_TRUE(picker.messages.empty());
}

TEST_F(PickersTest, CancelOrAFailureChangesNoBoxAndSaysNothing) {
  for (bool fail : {false, true}) {
    for (int chdir : {engine::kChecked, engine::kUnchecked}) {
      for (QPushButton* button : {window->cmdOpen1, window->cmdOpen2, window->cmdOpen3}) {
        Reset(chdir, engine::kChecked);
        const std::string before = Boxes();
        picker.pick.reset();
        picker.fail = fail;
        QTest::mouseClick(button, Qt::LeftButton);
        EXPECT_EQ(picker.shows.size(), 1u);
        EXPECT_EQ(Boxes(), before) << button->objectName().toStdString() << (fail ? " failing" : " cancelled");
      }
    }
  }
  EXPECT_TRUE(picker.messages.empty());
}

}  // namespace
