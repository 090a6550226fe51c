// Start-up, shutdown and the preset menus, over the settings store.
#include <QAction>
#include <QString>
#include <exception>

#include "platform/qt_settings_store.h"
#include "settings/registry.h"
#include "ui/frm.h"

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

// The settings operations tell the user nothing. A store whose texts do not
// fit in memory ends the operation where it stands instead of the program.
template <typename Call>
void Quietly(Call call) {
  try {
    call();
  } catch (const std::exception&) {
  }
}

}  // namespace

settings::SettingsStore& frm::Store() {
  if (!settings_) {
    ownSettings_ = std::make_unique<platform::QtSettingsStore>();
    settings_ = ownSettings_.get();
  }
  return *settings_;
}

// A store on disk is written out at once, so that it survives whatever ends
// the program next. A store that cannot be written is left as it is.
void frm::SyncStore() {
  if (auto* onDisk = dynamic_cast<platform::QtSettingsStore*>(settings_)) onDisk->Sync();
}

void frm::Form_Load() {
  Quietly([this] {
    WindowFields fields(*this);
    WindowMenus menus(*this);
    settings::Start(Store(), fields, menus);
  });
}

void frm::Form_QueryUnload() {
  Quietly([this] {
    WindowFields fields(*this);
    settings::SaveDefaults(Store(), fields);
    SyncStore();
  });
}

void frm::mnuExit_Click() { close(); }

void frm::mnuSG_Click(int Index) {
  if (!IsSlot(Index)) return;
  Quietly([this, Index] {
    WindowFields fields(*this);
    WindowMenus menus(*this);
    settings::mnuSG_Click(Index, Store(), fields, menus);
    SyncStore();
  });
}

void frm::mnuLG_Click(int Index) {
  if (!IsSlot(Index)) return;
  Quietly([this, Index] {
    WindowFields fields(*this);
    settings::mnuLG_Click(Index, Store(), fields);
  });
}

void frm::UpdateGlobalMenus() {
  Quietly([this] {
    WindowMenus menus(*this);
    settings::UpdateGlobalMenus(Store(), menus);
  });
}

}  // namespace ui
