#include <QAction>
#include <QFrame>
#include <QMenu>
#include <QMenuBar>
#include <cmath>

#include "window_fixture.h"

namespace {

struct Placed {
  const char* name;
  const char* container;
  int left, top, width, height;  // twips
};

// The layout tables, in twips.
const Placed kLayout[] = {
    {"optChdir", "client", 120, 120, 2670, 285},
    {"txtPath", "client", 2880, 120, 3375, 285},
    {"cmdOpen1", "client", 6280, 120, 375, 285},
    {"lblHelp(0)", "client", 7920, 120, 375, 375},
    {"lblRunEmulator", "client", 1100, 480, 1665, 285},
    {"txtEMU", "client", 2880, 480, 3375, 285},
    {"cmdOpen2", "client", 6280, 480, 375, 285},
    {"lblCorruptThis", "client", 615, 840, 2145, 285},
    {"txtROM", "client", 2880, 840, 3375, 285},
    {"cmdOpen3", "client", 6280, 840, 375, 285},
    {"lblCreateThis", "client", 1710, 1200, 1050, 195},
    {"txtCreate", "client", 2880, 1200, 3375, 285},
    {"optAutoCreate", "client", 6360, 1200, 735, 255},
    {"cmdCreateNow", "client", 7200, 1200, 1095, 255},
    {"Separator", "client", 100, 1530, 8175, 80},
    {"lblRange", "client", 120, 1680, 840, 285},
    {"lblHelp(1)", "client", 2640, 1680, 375, 375},
    {"lblStart", "client", 120, 2160, 630, 285},
    {"txtStart", "client", 840, 2160, 800, 285},
    {"cmdPlus(1)", "client", 1680, 2160, 240, 255},
    {"cmdMinus(1)", "client", 1920, 2160, 240, 255},
    {"cmdPlus(3)", "client", 2160, 2160, 240, 615},
    {"cmdMinus(3)", "client", 2400, 2160, 240, 615},
    {"lblEnd", "client", 120, 2520, 555, 285},
    {"txtEnd", "client", 840, 2520, 800, 285},
    {"cmdPlus(2)", "client", 1680, 2520, 240, 255},
    {"cmdMinus(2)", "client", 1920, 2520, 240, 255},
    {"cmdAutoEnd", "client", 840, 2820, 855, 270},
    {"lblIncDec", "client", 120, 3240, 2145, 285},
    {"txtInc", "client", 2280, 3240, 705, 285},
    {"Separator3", "client", 3120, 1680, 48, 2895},
    {"lblWhichBytes", "client", 3240, 1680, 1530, 285},
    {"fraWhich", "client", 3240, 2040, 2295, 1095},
    {"optAll", "fraWhich", 0, 0, 1815, 255},
    {"optNth", "fraWhich", 0, 240, 735, 255},
    {"txtNth", "fraWhich", 720, 240, 615, 285},
    {"lblThByte", "fraWhich", 1360, 270, 615, 255},
    {"optMask", "fraWhich", 0, 480, 1935, 495},
    {"txtMask", "fraWhich", 720, 720, 1335, 285},
    {"lblAction", "client", 5640, 1680, 825, 285},
    {"lblHelp(2)", "client", 7920, 1670, 375, 375},
    {"fraAction", "client", 5640, 2040, 2655, 2475},
    {"optShift", "fraAction", 0, 0, 1080, 255},
    {"txtShift", "fraAction", 1080, 0, 495, 285},
    {"lblBytes", "fraAction", 1605, 15, 375, 195},
    {"optCorrupt", "fraAction", 0, 240, 1695, 255},
    {"fraCorruptWith", "fraAction", 0, 480, 2655, 1695},
    {"optAdd", "fraAction", 0, 2160, 615, 255},
    {"txtAdd", "fraAction", 720, 2160, 615, 285},
    {"lblToByte", "fraAction", 1440, 2160, 855, 255},
    {"optRandomBytes", "fraCorruptWith", 240, 0, 1455, 255},
    {"optByteRange", "fraCorruptWith", 240, 240, 1335, 255},
    {"txtRange1", "fraCorruptWith", 480, 480, 495, 285},
    {"txtTo", "fraCorruptWith", 1080, 500, 165, 225},
    {"txtRange2", "fraCorruptWith", 1320, 480, 495, 285},
    {"optSequence", "fraCorruptWith", 240, 840, 1695, 255},
    {"txtSequence", "fraCorruptWith", 480, 1080, 1815, 285},
    {"optRandomSeq", "fraCorruptWith", 480, 1440, 2055, 255},
    {"lblStatus", "client", 240, 4320, 2895, 255},
    {"Separator2", "client", 120, 4560, 8175, 80},
    {"cmdGo", "client", 120, 4680, 975, 435},
    {"cmdAuto", "client", 1200, 4680, 975, 435},
    {"optOverwrite", "client", 2280, 4800, 1695, 255},
};

int Px(int twips) { return static_cast<int>(std::lround(twips / 15.0)); }

using LayoutTest = WindowTest;

TEST_F(LayoutTest, EveryControlSitsWhereTheLayoutPutsIt) {
  for (const Placed& p : kLayout) {
    QWidget* w = Find(p.name);
    ASSERT_NE(w, nullptr) << p.name;
    ASSERT_NE(w->parentWidget(), nullptr) << p.name;
    EXPECT_EQ(w->parentWidget()->objectName().toStdString(), p.container) << p.name;
    EXPECT_EQ(w->geometry(), QRect(Px(p.left), Px(p.top), Px(p.width), Px(p.height))) << p.name;
  }
}

TEST_F(LayoutTest, ClientAreaIsFixedBelowTheMenuBar) {
  window->show();
  QCoreApplication::processEvents();
  EXPECT_EQ(window->centralWidget(), window->client);
  EXPECT_EQ(window->client->size(), QSize(558, 344));
  EXPECT_EQ(window->client->y(), window->menuBar()->height());
  EXPECT_EQ(window->minimumSize(), window->maximumSize());
  EXPECT_EQ(window->windowTitle(), "ROM Glitchforge 5.99 by Quorvath");
}

TEST_F(LayoutTest, CaptionsAndFirstTexts) {
  const std::pair<const char*, const char*> captions[] = {
      {"optChdir", "Change directory to:"}, {"lblRunEmulator", "Run Emulator:"},
      {"lblCorruptThis", "Corrupt This ROM:"}, {"lblCreateThis", "Create This:"},
      {"optAutoCreate", "Auto"}, {"cmdCreateNow", "Create Now"}, {"lblRange", "Range:"},
      {"lblStart", "Start:"}, {"cmdPlus(1)", "+"}, {"cmdMinus(1)", "-"}, {"cmdPlus(3)", "+"},
      {"cmdMinus(3)", "-"}, {"lblEnd", "End:"}, {"cmdPlus(2)", "+"}, {"cmdMinus(2)", "-"},
      {"cmdAutoEnd", "Auto End"}, {"lblIncDec", "Change Range by:"},
      {"lblWhichBytes", "Which Bytes:"}, {"optAll", "Change ALL bytes"}, {"optNth", "Every"},
      {"lblThByte", "th Byte"}, {"optMask", "Bytes 0 after Byte AND Mask"},
      {"lblAction", "Action:"}, {"optShift", "Shift Right"}, {"lblBytes", "bytes"},
      {"optCorrupt", "Corrupt bytes with"}, {"optAdd", "Add"}, {"lblToByte", "To Byte"},
      {"optRandomBytes", "Random Bytes"}, {"optByteRange", "Byte Range"}, {"txtTo", "to"},
      {"optSequence", "Looping Sequence:"}, {"optRandomSeq", "Random from sequence"},
      {"lblStatus", "Status: Ready!"}, {"cmdGo", "&GO!"}, {"cmdAuto", "Auto >>"},
      {"optOverwrite", "Overwrite Old File"}, {"lblHelp(0)", "?"}, {"lblHelp(1)", "?"},
      {"lblHelp(2)", "?"},
      // Text boxes: the first text, which start-up replaces.
      {"txtPath", "path"}, {"txtEMU", "emu"}, {"txtROM", "rom"}, {"txtCreate", "create"},
      {"txtStart", "start"}, {"txtEnd", "end"}, {"txtInc", "range"}, {"txtNth", "nth"},
      {"txtMask", "mask"}, {"txtShift", "shift"}, {"txtAdd", "add"}, {"txtRange1", "range1"},
      {"txtRange2", "range2"}, {"txtSequence", "sequence"},
  };
  for (const auto& [name, caption] : captions) {
    QWidget* w = Find(name);
    ASSERT_NE(w, nullptr) << name;
    QString text;
    if (auto* b = qobject_cast<QAbstractButton*>(w)) text = b->text();
    else if (auto* l = qobject_cast<QLabel*>(w)) text = l->text();
    else if (auto* e = qobject_cast<QLineEdit*>(w)) text = e->text();
    EXPECT_EQ(text.toStdString(), caption) << name;
  }
  for (const char* open : {"cmdOpen1", "cmdOpen2", "cmdOpen3"}) {
    auto* b = Find<QPushButton>(open);
    EXPECT_TRUE(b->text().isEmpty()) << open;
    EXPECT_FALSE(b->icon().isNull()) << open;
  }
}

TEST_F(LayoutTest, TextBoxLimitsAndAccessibleNames) {
  struct Box {
    const char* name;
    int maxLength;  // 32767: no limit of its own
    const char* accessible;
  };
  const Box boxes[] = {
      {"txtPath", 512, "Change directory to:"}, {"txtEMU", 512, "Run Emulator:"},
      {"txtROM", 512, "Corrupt This ROM:"},     {"txtCreate", 32767, "Create This:"},
      {"txtStart", 16, "Start:"},               {"txtEnd", 16, "End:"},
      {"txtInc", 16, "Change Range by:"},       {"txtNth", 20, "Every"},
      {"txtMask", 50, "Bytes 0 after Byte AND Mask"}, {"txtShift", 16, "Shift Right"},
      {"txtAdd", 32767, "Add"},                 {"txtRange1", 16, "Byte Range"},
      {"txtRange2", 16, "to"},                  {"txtSequence", 32767, "Looping Sequence:"},
  };
  for (const Box& b : boxes) {
    auto* box = Find<QLineEdit>(b.name);
    ASSERT_NE(box, nullptr) << b.name;
    EXPECT_EQ(box->maxLength(), b.maxLength) << b.name;
    EXPECT_EQ(box->accessibleName().toStdString(), b.accessible) << b.name;
  }
  EXPECT_EQ(window->cmdOpen1->accessibleName(), "Change directory to:");
  EXPECT_EQ(window->cmdOpen2->accessibleName(), "Run Emulator:");
  EXPECT_EQ(window->cmdOpen3->accessibleName(), "Corrupt This ROM:");
}

TEST_F(LayoutTest, FontsAlignmentAndColours) {
  for (const char* name : {"optChdir", "lblRunEmulator", "lblCorruptThis", "lblRange", "lblStart",
                           "lblEnd", "lblIncDec", "lblWhichBytes", "lblAction"}) {
    QFont f = Find(name)->font();
    EXPECT_EQ(f.family(), "Arial") << name;
    EXPECT_TRUE(f.bold()) << name;
    EXPECT_DOUBLE_EQ(f.pointSizeF(), 12.0) << name;
  }
  EXPECT_EQ(window->lblCreateThis->font().family(), "MS Sans Serif");
  EXPECT_TRUE(window->lblCreateThis->font().bold());
  EXPECT_EQ(window->txtTo->font().family(), "Times New Roman");
  EXPECT_FALSE(window->txtTo->font().bold());
  for (QLabel* help : window->lblHelp) {
    EXPECT_DOUBLE_EQ(help->font().pointSizeF(), 14.25);
    EXPECT_EQ(help->toolTip(), "?");
    EXPECT_TRUE(help->alignment() & Qt::AlignHCenter);
  }
  for (QLabel* right : {window->lblRunEmulator, window->lblCorruptThis, window->lblCreateThis}) {
    EXPECT_TRUE(right->alignment() & Qt::AlignRight) << right->objectName().toStdString();
  }
  EXPECT_TRUE(window->cmdGo->styleSheet().contains("rgb(0, 255, 0)"));
  EXPECT_TRUE(window->cmdAuto->styleSheet().contains("rgb(255, 0, 0)"));
  // The Windows fonts are drawn with their metric-compatible substitutes.
  EXPECT_EQ(QFontInfo(window->lblRange->font()).family(), "Liberation Sans");
  EXPECT_EQ(QFontInfo(window->lblCreateThis->font()).family(), "Liberation Sans");
  EXPECT_EQ(QFontInfo(window->txtTo->font()).family(), "Liberation Serif");
  EXPECT_EQ(QFontInfo(window->txtStart->font()).family(), "Liberation Sans");
}

TEST_F(LayoutTest, StateWhenCreated) {
  for (QCheckBox* box : {window->optChdir, window->optAutoCreate, window->optRandomSeq,
                         window->optOverwrite}) {
    EXPECT_EQ(ui::frm::CheckValue(box), engine::kGrey) << box->objectName().toStdString();
  }
  for (QRadioButton* option : window->findChildren<QRadioButton*>()) {
    EXPECT_FALSE(option->isChecked()) << option->objectName().toStdString();
  }
  for (QWidget* off : std::initializer_list<QWidget*>{window->optSequence, window->txtSequence,
                                                     window->optRandomSeq}) {
    EXPECT_FALSE(off->isEnabled()) << off->objectName().toStdString();
  }
  window->show();
  for (QLabel* help : window->lblHelp) EXPECT_FALSE(help->isVisible());
  EXPECT_TRUE(window->txtCreate->isReadOnly());
  EXPECT_EQ(window->txtCreate->palette().color(QPalette::Base),
            QApplication::palette().color(QPalette::Button));
  EXPECT_FALSE(window->txtPath->isReadOnly());
  EXPECT_EQ(window->DefaultButton(), window->cmdGo);
  EXPECT_TRUE(window->cmdGo->isDefault());
  EXPECT_FALSE(window->cmdAuto->isDefault());
}

TEST_F(LayoutTest, OptionGroupsFollowTheirFrames) {
  EXPECT_EQ(window->optAll->parentWidget(), window->fraWhich);
  EXPECT_EQ(window->optNth->parentWidget(), window->fraWhich);
  EXPECT_EQ(window->optMask->parentWidget(), window->fraWhich);
  EXPECT_EQ(window->optShift->parentWidget(), window->fraAction);
  EXPECT_EQ(window->optCorrupt->parentWidget(), window->fraAction);
  EXPECT_EQ(window->optAdd->parentWidget(), window->fraAction);
  EXPECT_EQ(window->fraCorruptWith->parentWidget(), window->fraAction);
  for (QFrame* frame : {window->fraWhich, window->fraAction, window->fraCorruptWith}) {
    EXPECT_EQ(frame->frameShape(), QFrame::NoFrame);
  }
  EXPECT_EQ(window->Separator->frameShape(), QFrame::HLine);
  EXPECT_EQ(window->Separator2->frameShape(), QFrame::HLine);
  EXPECT_EQ(window->Separator3->frameShape(), QFrame::VLine);
}

TEST_F(LayoutTest, TabOrderSkipsLabelsAndFrames) {
  const char* order[] = {
      "optChdir",   "txtPath",     "cmdOpen1",    "txtEMU",      "cmdOpen2",     "txtROM",
      "cmdOpen3",   "txtCreate",   "optAutoCreate", "cmdCreateNow", "txtStart",  "txtEnd",
      "cmdPlus(1)", "cmdMinus(1)", "cmdPlus(2)",  "cmdMinus(2)", "cmdPlus(3)",   "cmdMinus(3)",
      "txtInc",     "optAll",      "optNth",      "txtNth",      "optMask",      "txtMask",
      "optShift",   "txtShift",    "optCorrupt",  "optRandomBytes", "optByteRange", "txtRange1",
      "txtRange2",  "optSequence", "txtSequence", "optRandomSeq", "optAdd",      "txtAdd",
      "cmdGo",      "cmdAuto",     "cmdAutoEnd",  "optOverwrite",
  };
  for (std::size_t i = 1; i < std::size(order); ++i) {
    QWidget* next = Find(order[i - 1])->nextInFocusChain();
    // Widgets that take no focus may sit between; skip them.
    while (next && next->focusPolicy() == Qt::NoFocus) next = next->nextInFocusChain();
    ASSERT_NE(next, nullptr);
    EXPECT_EQ(next->objectName().toStdString(), order[i]) << "after " << order[i - 1];
  }
}

TEST_F(LayoutTest, MenuTree) {
  const QList<QAction*> bar = window->menuBar()->actions();
  ASSERT_EQ(bar.size(), 3);
  EXPECT_EQ(bar[0]->text(), "&File");
  EXPECT_EQ(bar[1]->text(), "&Save");
  EXPECT_EQ(bar[2]->text(), "&Load");

  const QList<QAction*> file = window->mnuFile->actions();
  ASSERT_EQ(file.size(), 4);
  EXPECT_EQ(file[0]->text(), "&Import...");
  EXPECT_FALSE(file[0]->isEnabled());
  EXPECT_EQ(file[1]->text(), "&Export...");
  EXPECT_FALSE(file[1]->isEnabled());
  EXPECT_TRUE(file[2]->isSeparator());
  EXPECT_EQ(file[3]->text(), "E&xit");
  EXPECT_TRUE(file[3]->isEnabled());

  struct SlotMenu {
    QMenu* parent;
    const char* caption;
    const char* items;
    bool offered;
  };
  for (const SlotMenu& m : {SlotMenu{window->mnuSave, "&Global", "mnuSG", true},
                            SlotMenu{window->mnuSave, "&Local", "mnuSL", false},
                            SlotMenu{window->mnuLoad, "&Global", "mnuLG", true},
                            SlotMenu{window->mnuLoad, "&Local", "mnuLL", false}}) {
    QMenu* sub = nullptr;
    for (QAction* a : m.parent->actions()) {
      if (a->text() == m.caption) sub = a->menu();
    }
    ASSERT_NE(sub, nullptr) << m.caption;
    const QList<QAction*> items = sub->actions();
    ASSERT_EQ(items.size(), 11) << m.items;
    for (int i = 0; i <= 10; ++i) {
      EXPECT_EQ(items[i]->text(), QString::number(i));
      EXPECT_EQ(items[i]->objectName(), QStringLiteral("%1(%2)").arg(m.items).arg(i));
      EXPECT_EQ(items[i]->isEnabled(), m.offered);
    }
    EXPECT_EQ(sub->menuAction()->isEnabled(), m.offered);
  }
}

TEST_F(LayoutTest, WindowIconFromTheResources) {
  const QIcon icon = window->windowIcon();
  ASSERT_FALSE(icon.isNull());
  const QList<QSize> sizes = icon.availableSizes();
  EXPECT_TRUE(sizes.contains(QSize(16, 16)));
  EXPECT_TRUE(sizes.contains(QSize(32, 32)));
}

TEST_F(LayoutTest, ExitClosesTheWindow) {
  window->show();
  ASSERT_TRUE(window->isVisible());
  window->mnuExit->trigger();
  EXPECT_FALSE(window->isVisible());
}

}  // namespace
