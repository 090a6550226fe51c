#include <QFileDialog>
#include <QTimer>
#include <stdexcept>

#include "support/temp_dir.h"
#include "window_fixture.h"

namespace {

// Picks the file it is given ("": cancels, "!": fails), and records how the dialog was set up each time it
// was shown. It keeps the name of the last pick, as the window holds one dialog for every picker.
class PickingDialogs : public RecordingDialogs {
 public:
  struct Shown {
    int filterIndex;
    QString fileName;
    bool operator==(const Shown&) const = default;
  };
  bool ShowOpen(QWidget*) override {
    shows.push_back({filterIndex, fileName});
    if (pick == "!") throw std::runtime_error("the dialog could not be shown");
    fileName = pick;
    fileTitle = pick.mid(pick.lastIndexOf('/') + 1);
    return !pick.isEmpty();
  }
  std::vector<Shown> shows;
  QString pick;
};

using PickersTest = WindowTest;

// The boxes' texts as the layout leaves them.
struct Boxes {
  QString path = "path", emu = "emu", rom = "rom", create = "create";
};

// From the layout's texts, with "Change directory to:" and "Auto" as given (2: grey).
TEST_F(PickersTest, EachButtonFillsItsBoxWholeOrSplitByChangeDirectory) {
  PickingDialogs picker;
  services.dialogs = &picker;
  const QString longDir = "/" + QString(600, 'd') + "/";  // longer than the boxes take typed
  const QString exe = "/emu dir/nes.exe", mario = "/roms/Mario.NES";
  const struct {
    int button, chdir, autocreate = 0;
    QString pick;
    Boxes after{};
  } cases[] = {
      {.button = 1, .chdir = 1, .pick = exe, .after = {.path = "/emu dir/"}},
      {.button = 2, .chdir = 1, .pick = exe, .after = {.path = "/emu dir/", .emu = "nes.exe"}},
      {.button = 2, .chdir = 2, .pick = exe, .after = {.emu = exe}},
      // The output name is derived again from a picked ROM; with the ROM's directory as the path it needs none.
      {.button = 3, .chdir = 0, .autocreate = 1, .pick = mario, .after = {.rom = mario, .create = "/roms/CORRUPT.NES"}},
      {.button = 3, .chdir = 1, .autocreate = 1, .pick = mario, .after = {.path = "/roms/", .rom = "Mario.NES", .create = "CORRUPT.NES"}},
      {.button = 3, .chdir = 1, .pick = longDir + "m.nes", .after = {.path = longDir, .rom = "m.nes"}},
      {.button = 3, .chdir = 0, .pick = longDir + "m.nes", .after = {.rom = longDir + "m.nes"}},
      // A name without this host's separator leaves the path alone; a cancel or a failure leaves every box.
      {.button = 1, .chdir = 1, .pick = "C:\\nes\\m.nes"},
      {.button = 1, .chdir = 1, .pick = ""},
      {.button = 3, .chdir = 1, .pick = ""},
      {.button = 2, .chdir = 0, .pick = ""},
      {.button = 3, .chdir = 0, .pick = "!"},
  };
  // The dialog opens with no file name, on All Files for the path, Executable for the emulator, ROM Files for the ROM.
  const PickingDialogs::Shown shown[] = {{}, {3, ""}, {1, ""}, {2, ""}};
  for (const auto& c : cases) {
    Rebuild();
    Write(Field::chdir, c.chdir);
    Write(Field::autocreate, c.autocreate);
    picker.pick = c.pick;
    picker.shows.clear();
    QTest::mouseClick(std::array{window->cmdOpen1, window->cmdOpen2, window->cmdOpen3}[c.button - 1], Qt::LeftButton);
    const std::string row = "cmdOpen" + std::to_string(c.button) + " chdir " + std::to_string(c.chdir) + " pick " + c.pick.left(40).toStdString();
    EXPECT_EQ(window->txtPath->text(), c.after.path) << row;
    EXPECT_EQ(window->txtEMU->text(), c.after.emu) << row;
    EXPECT_EQ(window->txtROM->text(), c.after.rom) << row;
    EXPECT_EQ(window->txtCreate->text(), c.after.create) << row;
    EXPECT_EQ(picker.shows, std::vector{shown[c.button]}) << row;
  }
  EXPECT_TRUE(picker.messages.empty());
}

}  // namespace
