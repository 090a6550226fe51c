// Start-up, shutdown and the preset menus, over the settings store.
#include <QAction>
#include <QString>
#include <optional>

#include "settings/global_slots.h"
#include "settings/startup.h"
#include "ui/frm.h"
#include "ui/ignore_failure.h"
#include "ui/window_fields.h"

namespace ui {

namespace {

class WindowMenus : public settings::GlobalMenus {
 public:
  explicit WindowMenus(frm& window) : window_(window) {}
  void SetSlotCaption(int slot, const std::string& caption) override {
    if (slot < 0 || slot >= settings::kSlotCount) return;
    const QString text = QString::fromStdString(caption);
    window_.mnuSG[static_cast<std::size_t>(slot)]->setText(text);
    window_.mnuLG[static_cast<std::size_t>(slot)]->setText(text);
  }

 private:
  frm& window_;
};

bool IsSlot(int index) { return index >= 0 && index < settings::kSlotCount; }

}  // namespace

settings::SettingsStore& frm::Store() { return *services_.settings; }

void frm::Form_Load() {
  RunIgnoringFailure("Loading the options", [this] {
    WindowFields fields(*this);
    WindowMenus menus(*this);
    settings::WindowOptions options;
    settings::Start(Store(), fields, menus, options);
    mnuCloseEmulator->setChecked(options.closeEmulator);
  });
}

// The options are written to disk at once; a store that cannot keep them
// says so, and the close goes on.
void frm::Form_QueryUnload() {
  std::optional<settings::StoreFailure> failure;
  RunIgnoringFailure("Saving the options", [this, &failure] {
    WindowFields fields(*this);
    failure =
        settings::SaveDefaults(Store(), fields, {.closeEmulator = mnuCloseEmulator->isChecked()});
  });
  if (failure) ShowMessage(settings::OptionsNotKeptMessage(*failure));
}

void frm::mnuExit_Click() { close(); }

void frm::mnuSG_Click(int Index) {
  if (!IsSlot(Index)) return;
  std::optional<settings::StoreFailure> failure;
  RunIgnoringFailure("Saving a preset", [this, Index, &failure] {
    WindowFields fields(*this);
    WindowMenus menus(*this);
    failure = settings::SaveSlot(Index, Store(), fields, menus);
  });
  if (failure) ShowMessage(settings::PresetNotKeptMessage(Index, *failure));
}

void frm::mnuLG_Click(int Index) {
  if (!IsSlot(Index)) return;
  RunIgnoringFailure("Loading a preset", [this, Index] {
    WindowFields fields(*this);
    settings::LoadSlot(Index, Store(), fields);
  });
}

void frm::UpdateGlobalMenus() {
  RunIgnoringFailure("Captioning the presets", [this] {
    WindowMenus menus(*this);
    settings::UpdateGlobalMenus(Store(), menus);
  });
}

}  // namespace ui
