// Keeping and sharing a glitch: File > Export... and Import..., and the
// Local presets of the ROM in the box, which keep the glitch's bytes.
#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <optional>

#include "auto/patch_names.h"
#include "engine/patch_job.h"
#include "settings/global_slots.h"
#include "settings/local_slots.h"
#include "ui/dialogs.h"
#include "ui/frm.h"
#include "ui/ignore_failure.h"
#include "ui/window_fields.h"

namespace ui {

namespace {

bool IsSlot(int index) { return index >= 0 && index < settings::kSlotCount; }

QString FromStd(const std::string& text) { return QString::fromStdString(text); }

class WindowLocalMenus : public settings::LocalMenus {
 public:
  explicit WindowLocalMenus(frm& window) : window_(window) {}
  void SetLocalCaption(int slot, const std::string& caption, bool kept) override {
    if (!IsSlot(slot)) return;
    const auto at = static_cast<std::size_t>(slot);
    window_.mnuSL[at]->setText(FromStd(caption));
    window_.mnuLL[at]->setText(FromStd(caption));
    window_.mnuLL[at]->setEnabled(kept);
  }

 private:
  frm& window_;
};

}  // namespace

void frm::mnuExport_Click() {
  AsOneRun([this] {
    RunGuarded([this] {
      const engine::JobSettings job = ReadJob();
      const std::string rom =
          automode::RomLocation(job.rom, job.chdir == engine::kChecked, job.path);
      const QString proposed = QDir::current().absoluteFilePath(
          FromStd(automode::ProposedPatchName(rom, QFileInfo(FromStd(rom)).size())));
      const std::optional<Dialogs::PatchChoice> choice = dialogs().ShowSavePatch(this, proposed);
      if (!choice) return;
      const std::string name = choice->fileName.toStdString();
      const engine::PatchFormat format = engine::PatchFormatOfName(name).value_or(
          choice->bpsEntry ? engine::PatchFormat::Bps : engine::PatchFormat::Ips);
      engine::Host host = MakeHost();
      engine::ExportPatch(job, name, format, host);
    });
  });
}

void frm::mnuImport_Click() {
  AsOneRun([this] {
    RunGuarded([this] {
      const engine::JobSettings job = ReadJob();
      const QString rom =
          FromStd(automode::RomLocation(job.rom, job.chdir == engine::kChecked, job.path));
      const std::optional<QString> patch =
          dialogs().ShowOpenPatch(this, QFileInfo(rom).absolutePath());
      if (!patch) return;
      engine::Host host = MakeHost();
      engine::ImportPatch(job, patch->toStdString(), host);
    });
  });
}

// The glitch is kept in a new file first; the slot names it only once the
// store has kept the slot, and the file it named before goes then.
void frm::mnuSL_Click(int Index) {
  if (!IsSlot(Index)) return;
  AsOneRun([this, Index] {
    RunGuarded([this, Index] {
      const engine::JobSettings job = ReadJob();
      const std::string key = automode::LocalSlotKey(job.rom);
      const std::optional<std::string> before = settings::LocalGlitch(Index, key, Store());
      const std::string file = settings::NewGlitchFileName(Index, key, Store());
      const QDir folder(services_.dataFolder);
      if (!QDir().mkpath(folder.absolutePath())) {
        ShowMessage(settings::LocalNotKeptMessage(
            Index,
            "The data folder \"" + folder.absolutePath().toStdString() + "\" cannot be made."));
        return;
      }
      const QString kept = folder.absoluteFilePath(FromStd(file));
      try {
        engine::Host host = MakeHost();
        engine::KeepGlitch(job, kept.toStdString(), host);
      } catch (...) {
        ShowMessage(settings::LocalNotKeptMessage(Index, engine::DescribeCurrentFailure()));
        return;
      }
      WindowFields fields(*this);
      if (const auto failure = settings::SaveLocalSlot(Index, key, file, Store(), fields)) {
        QFile::remove(kept);
        ShowMessage(
            settings::NotKeptMessage("Local preset " + std::to_string(Index) + " was", *failure));
      } else if (before) {
        QFile::remove(folder.absoluteFilePath(FromStd(*before)));
      }
      UpdateLocalMenus();
    });
  });
}

void frm::mnuLL_Click(int Index) {
  if (!IsSlot(Index)) return;
  AsOneRun([this, Index] {
    RunGuarded([this, Index] {
      const std::string key = automode::LocalSlotKey(txtROM->text().toStdString());
      const std::optional<std::string> glitch = settings::LocalGlitch(Index, key, Store());
      if (!glitch) return;
      WindowFields fields(*this);
      settings::LoadLocalSlot(Index, key, Store(), fields);
      engine::Host host = MakeHost();
      engine::ImportPatch(
          ReadJob(), QDir(services_.dataFolder).absoluteFilePath(FromStd(*glitch)).toStdString(),
          host);
    });
  });
}

void frm::UpdateLocalMenus() {
  RunIgnoringFailure("Captioning the Local presets", [this] {
    WindowLocalMenus menus(*this);
    settings::UpdateLocalMenus(Store(), automode::LocalSlotKey(txtROM->text().toStdString()),
                               menus);
  });
}

}  // namespace ui
