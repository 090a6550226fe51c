#include <optional>
#include <stdexcept>
#include <utility>

#include "auto/output_name.h"
#include "window_fixture.h"

namespace {

// A name written with "/" as it reads on this host.
QString Native(const char* name) {
  QString text = QString::fromLatin1(name);
  text.replace(QLatin1Char('/'), QLatin1Char(automode::kNativeSeparator));
  return text;
}

// Picks the file it is given, or cancels when given none, and records how
// the dialog was set up each time it was shown.
class PickingDialogs : public RecordingDialogs {
 public:
  struct Show {
    int filterIndex;
    QString fileName;
  };
  bool ShowOpen(QWidget*) override {
    shows.push_back({filterIndex, fileName});
    if (fail) throw std::runtime_error("the dialog could not be shown");
    if (!pick) return false;
    fileName = pick->first;
    fileTitle = pick->second;
    return true;
  }
  std::vector<Show> shows;
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
    Write("autocreate", engine::kUnchecked);
    Write("path", Native("/old/").toStdString());
    Write("emu", std::string("oldemu"));
    Write("rom", std::string("old.nes"));
    window->txtCreate->setText("create");
  }
  ~PickersTest() override { window.reset(); }

  struct Boxes {
    QString path, emu, rom, create;
    bool operator==(const Boxes&) const = default;
    friend void PrintTo(const Boxes& b, std::ostream* out) {
      *out << "path \"" << b.path.toStdString() << "\", emu \"" << b.emu.toStdString() << "\", rom \""
           << b.rom.toStdString() << "\", create \"" << b.create.toStdString() << "\"";
    }
  };
  Boxes Read() const {
    return {window->txtPath->text(), window->txtEMU->text(), window->txtROM->text(),
            window->txtCreate->text()};
  }

  QPushButton* Button(int number) {
    return number == 1 ? window->cmdOpen1 : number == 2 ? window->cmdOpen2 : window->cmdOpen3;
  }

  PickingDialogs picker;
};

TEST_F(PickersTest, EachButtonFillsItsBoxWholeOrSplitByChangeDirectory) {
  struct Case {
    int button;
    int chdir;
    const char* path;
    const char* emu;
    const char* rom;
  };
  // The pick is always /emu dir/nesticle.exe.
  const Case cases[] = {
      {1, engine::kChecked, "/emu dir/", "oldemu", "old.nes"},
      {1, engine::kUnchecked, "/emu dir/", "oldemu", "old.nes"},
      {2, engine::kChecked, "/emu dir/", "nesticle.exe", "old.nes"},
      {2, engine::kUnchecked, "/old/", "/emu dir/nesticle.exe", "old.nes"},
      {2, engine::kGrey, "/old/", "/emu dir/nesticle.exe", "old.nes"},
      {3, engine::kChecked, "/emu dir/", "oldemu", "nesticle.exe"},
      {3, engine::kUnchecked, "/old/", "oldemu", "/emu dir/nesticle.exe"},
      {3, engine::kGrey, "/old/", "oldemu", "/emu dir/nesticle.exe"},
  };
  const int filterIndex[] = {0, 3, 1, 2};  // "All Files", "Executable Files", "ROM Files"
  for (const Case& c : cases) {
    SCOPED_TRACE("cmdOpen" + std::to_string(c.button) + " chdir " + std::to_string(c.chdir));
    Write("path", Native("/old/").toStdString());
    Write("emu", std::string("oldemu"));
    Write("rom", std::string("old.nes"));
    window->optChdir->setCheckState(c.chdir == engine::kGrey      ? Qt::PartiallyChecked
                                    : c.chdir == engine::kChecked ? Qt::Checked
                                                                  : Qt::Unchecked);
    picker.shows.clear();
    picker.fileName = "left over from the last pick";
    picker.pick = {{Native("/emu dir/nesticle.exe"), "nesticle.exe"}};

    QTest::mouseClick(Button(c.button), Qt::LeftButton);

    EXPECT_EQ(Read(), (Boxes{Native(c.path), Native(c.emu), Native(c.rom), "create"}));
    ASSERT_EQ(picker.shows.size(), 1u);
    EXPECT_EQ(picker.shows[0].filterIndex, filterIndex[c.button]);
    EXPECT_EQ(picker.shows[0].fileName, "");
  }
  EXPECT_TRUE(picker.messages.empty());
}

TEST_F(PickersTest, CancelOrAFailureChangesNoBoxAndSaysNothing) {
  Write("autocreate", engine::kChecked);
  for (bool fail : {false, true}) {
    for (int chdir : {engine::kChecked, engine::kUnchecked}) {
      for (int button = 1; button <= 3; ++button) {
        Write("chdir", chdir);
        const Boxes before = Read();
        picker.pick.reset();
        picker.fail = fail;
        picker.shows.clear();
        QTest::mouseClick(Button(button), Qt::LeftButton);
        EXPECT_EQ(picker.shows.size(), 1u);
        EXPECT_EQ(Read(), before) << "cmdOpen" << button << (fail ? " failing" : " cancelled");
      }
    }
  }
  EXPECT_TRUE(picker.messages.empty());
}

TEST_F(PickersTest, OnlyTheHostSeparatorSplitsTheName) {
  Write("chdir", engine::kChecked);
  picker.pick = {{"mario.nes", "mario.nes"}};
  window->cmdOpen1_Click();
  EXPECT_EQ(window->txtPath->text(), Native("/old/"));
  window->cmdOpen3_Click();
  EXPECT_EQ(Read(), (Boxes{Native("/old/"), "oldemu", "mario.nes", "create"}));

  // The other host's separator is an ordinary character of the name.
  const QString foreign = automode::kNativeSeparator == '/' ? "C:\\nes\\mario.nes" : "C:/nes/mario.nes";
  picker.pick = {{foreign, foreign}};
  window->cmdOpen1_Click();
  EXPECT_EQ(window->txtPath->text(), Native("/old/"));
}

TEST_F(PickersTest, APickedRomDerivesTheOutputNameAgain) {
  Write("autocreate", engine::kChecked);
  struct Case {
    int chdir;
    int button;
    const char* full;
    const char* bare;
    Boxes after;
  };
  const Case cases[] = {
      {engine::kUnchecked, 3, "/roms/mario.nes", "mario.nes",
       {Native("/old/"), "oldemu", Native("/roms/mario.nes"), Native("/roms/CORRUPT.nes")}},
      // The ROM's directory becomes the path, so the output name needs none.
      {engine::kChecked, 3, "/roms/Mario.NES", "Mario.NES",
       {Native("/roms/"), "oldemu", "Mario.NES", "CORRUPT.NES"}},
      {engine::kChecked, 3, "/roms/mario", "mario",
       {Native("/roms/"), "oldemu", "mario", "CORRUPT.ROM"}},
  };
  for (const Case& c : cases) {
    Write("chdir", c.chdir);
    Write("path", Native("/old/").toStdString());
    Write("rom", std::string("old.nes"));
    picker.pick = {{Native(c.full), c.bare}};
    QTest::mouseClick(Button(c.button), Qt::LeftButton);
    EXPECT_EQ(Read(), c.after) << c.full;
  }

  // Picking the directory the ROM lies in drops the directory from the name.
  Write("chdir", engine::kChecked);
  Write("path", Native("/old/").toStdString());
  Write("rom", Native("/roms/mario.nes").toStdString());
  ASSERT_EQ(window->txtCreate->text(), Native("/roms/CORRUPT.nes"));
  picker.pick = {{Native("/roms/readme.txt"), "readme.txt"}};
  QTest::mouseClick(window->cmdOpen1, Qt::LeftButton);
  EXPECT_EQ(window->txtPath->text(), Native("/roms/"));
  EXPECT_EQ(window->txtCreate->text(), "CORRUPT.nes");
}

// The boxes take 512 typed characters; a longer picked name cut there would
// name another file.
TEST_F(PickersTest, ANameLongerThanTheTypingLimitIsSetWhole) {
  const QString directory = Native("/") + QString(600, QLatin1Char('d')) + Native("/");
  picker.pick = {{directory + "mario.nes", "mario.nes"}};
  Write("chdir", engine::kUnchecked);
  window->cmdOpen3_Click();
  EXPECT_EQ(Read(), (Boxes{Native("/old/"), "oldemu", directory + "mario.nes", "create"}));
  Write("chdir", engine::kChecked);
  window->cmdOpen3_Click();
  EXPECT_EQ(Read(), (Boxes{directory, "oldemu", "mario.nes", "create"}));
  EXPECT_TRUE(picker.messages.empty());
}

}  // namespace
