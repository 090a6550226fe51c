// Start-up, shutdown and the preset menus, over the settings store.
#include <QAction>
#include <QString>

#include "settings/registry.h"
#include "ui/frm.h"
#include "ui/ignore_failure.h"

namespace ui {

namespace {

class WindowFields : public settings::FieldControls {
 public:
  explicit WindowFields(frm& window) : window_(window) {}
  engine::FieldValue ReadField(int index) override { return window_.ReadField(index); }
  void WriteField(int index, const engine::FieldValue& value) override {
    window_.WriteField(index, value);
  }

 private:
  frm& window_;
};

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

// The store is written out at once, so that it survives whatever ends the
// program next. A store that cannot be written is left as it is.
void frm::SyncStore() { Store().Sync(); }

void frm::Form_Load() {
  RunIgnoringFailure([this] {
    WindowFields fields(*this);
    WindowMenus menus(*this);
    settings::Start(Store(), fields, menus);
  });
}

void frm::Form_QueryUnload() {
  RunIgnoringFailure([this] {
    WindowFields fields(*this);
    settings::SaveDefaults(Store(), fields);
    SyncStore();
  });
}

void frm::mnuExit_Click() { close(); }

void frm::mnuSG_Click(int Index) {
  if (!IsSlot(Index)) return;
  RunIgnoringFailure([this, Index] {
    WindowFields fields(*this);
    WindowMenus menus(*this);
    settings::SaveSlot(Index, Store(), fields, menus);
    SyncStore();
  });
}

void frm::mnuLG_Click(int Index) {
  if (!IsSlot(Index)) return;
  RunIgnoringFailure([this, Index] {
    WindowFields fields(*this);
    settings::LoadSlot(Index, Store(), fields);
  });
}

void frm::UpdateGlobalMenus() {
  RunIgnoringFailure([this] {
    WindowMenus menus(*this);
    settings::UpdateGlobalMenus(Store(), menus);
  });
}

}  // namespace ui
