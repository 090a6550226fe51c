#include "platform/qt_settings_store.h"

#include <QByteArray>
#include <QSettings>
#include <QString>
#include <QStringList>
#include <QVariant>

namespace platform {
namespace {

QString FromUtf8(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QString KeyPath(std::string_view section, std::string_view key) {
  return FromUtf8(section) + QLatin1Char('/') + FromUtf8(key);
}

}  // namespace

QtSettingsStore::QtSettingsStore()
    : settings_(std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                            FromUtf8(settings::kAppName))) {}

QtSettingsStore::QtSettingsStore(const std::string& iniPath)
    : settings_(std::make_unique<QSettings>(FromUtf8(iniPath), QSettings::IniFormat)) {}

QtSettingsStore::~QtSettingsStore() = default;

std::optional<std::string> QtSettingsStore::Read(std::string_view section, std::string_view key) {
  const QString path = KeyPath(section, key);
  if (!settings_->contains(path)) return std::nullopt;
  const QVariant value = settings_->value(path);
  switch (value.typeId()) {
    case QMetaType::QString:
      return value.toString().toStdString();
    case QMetaType::QStringList:
      return value.toStringList().join(QStringLiteral(", ")).toStdString();
    case QMetaType::QByteArray: {
      const QByteArray bytes = value.toByteArray();
      return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
    }
    default:
      if (value.isValid() && value.canConvert<QString>()) return value.toString().toStdString();
      return std::nullopt;
  }
}

void QtSettingsStore::Save(std::string_view section, std::string_view key, std::string_view value) {
  settings_->setValue(KeyPath(section, key), FromUtf8(value));
}

bool QtSettingsStore::Sync() {
  settings_->sync();
  return settings_->status() == QSettings::NoError;
}

}  // namespace platform
