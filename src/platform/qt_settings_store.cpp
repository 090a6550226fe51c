#include "platform/qt_settings_store.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStringList>
#include <QTemporaryFile>
#include <QVariant>

#include "platform/ini_text.h"

namespace platform {
namespace {

QString FromUtf8(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QString KeyPath(std::string_view section, std::string_view key) {
  return FromUtf8(section) + QLatin1Char('/') + FromUtf8(key);
}

#if defined(Q_OS_WIN)
constexpr bool kNativeIsFile = false;  // the registry
constexpr bool kNativeIsIni = false;
#elif defined(Q_OS_DARWIN)
constexpr bool kNativeIsFile = true;  // a property list
constexpr bool kNativeIsIni = false;
#else
constexpr bool kNativeIsFile = true;
constexpr bool kNativeIsIni = true;
#endif

// Why a settings file cannot be written, found out by trying the steps of
// Qt's own write (it replaces the file by a new one made beside it) without
// changing anything; QSettings itself only says that it failed.
std::string WhyNotWritable(const QString& fileName) {
  const QFileInfo info(fileName);
  if (info.isDir()) return "it is a folder, not a file";
  if (info.exists()) {
    QFile file(fileName);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append))
      return "the file is read-only (" + file.errorString().toStdString() + ")";
  }
  const QString folder = info.absolutePath();
  if (!QDir().mkpath(folder)) return "its folder cannot be made";
  QTemporaryFile probe(folder + QLatin1Char('/') + info.fileName() + QStringLiteral(".XXXXXX"));
  if (!probe.open())
    return "its folder takes no new file (" + probe.errorString().toStdString() + ")";
  const QByteArray room(info.size() + 4096, ' ');
  if (probe.write(room) != room.size() || !probe.flush())
    return "there is no room for it (" + probe.errorString().toStdString() + ")";
  return "the write did not complete";
}

}  // namespace

QtSettingsStore::QtSettingsStore()
    : QtSettingsStore(
          [] {
            return std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                               FromUtf8(settings::kAppName));
          },
          kNativeIsIni, kNativeIsFile) {}

QtSettingsStore::QtSettingsStore(const std::string& iniPath)
    : QtSettingsStore(
          [path = FromUtf8(iniPath)] {
            return std::make_unique<QSettings>(path, QSettings::IniFormat);
          },
          true, true) {}

QtSettingsStore::QtSettingsStore(std::function<std::unique_ptr<QSettings>()> open, bool iniFile,
                                 bool fileBacked)
    : open_(std::move(open)), settings_(open_()), iniFile_(iniFile), fileBacked_(fileBacked) {}

QtSettingsStore::~QtSettingsStore() = default;

std::string QtSettingsStore::FileName() const { return settings_->fileName().toStdString(); }

std::optional<std::string> QtSettingsStore::Read(std::string_view section, std::string_view key) {
  const QString path = KeyPath(section, key);
  for (auto it = pending_.rbegin(); it != pending_.rend(); ++it)
    if (it->first == path) return it->second.toStdString();
  if (!settings_->contains(path)) return std::nullopt;
  const QVariant value = settings_->value(path);
  switch (value.typeId()) {
    case QMetaType::QString: return value.toString().toStdString();
    case QMetaType::QStringList: {
      if (iniFile_) {
        QFile file(settings_->fileName());
        if (file.open(QIODevice::ReadOnly)) {
          const auto texts = IniTexts(file.readAll());
          if (const auto text = texts.find(path); text != texts.end()) return text->toStdString();
        }
      }
      return value.toStringList().join(QStringLiteral(", ")).toStdString();
    }
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
  pending_.emplace_back(KeyPath(section, key), FromUtf8(value));
}

// A QSettings reports only the first error it meets, and a format error found
// while reading hides a later failed write. So the write is made by an object
// that has met no error yet, with every section already read: a fresh one
// shares the file that the one it replaces has read.
bool QtSettingsStore::CleanStatus() {
  for (int attempt = 0; attempt < 3; ++attempt) {
    if (settings_->status() == QSettings::NoError) {
      settings_->allKeys();
      if (settings_->status() == QSettings::NoError) return true;
    }
    settings_ = open_();
  }
  return false;
}

// Qt writes back a hand-written list `a,b` as "a, b"; store it as the text
// it was written as, so that a rewrite of the file keeps it.
void QtSettingsStore::KeepHandWrittenLists() {
  if (!iniFile_) return;
  QHash<QString, QString> texts;
  bool read = false;
  for (const QString& path : settings_->allKeys()) {
    if (settings_->value(path).typeId() != QMetaType::QStringList) continue;
    if (!read) {
      QFile file(settings_->fileName());
      if (file.open(QIODevice::ReadOnly)) texts = IniTexts(file.readAll());
      read = true;
    }
    if (const auto text = texts.find(path); text != texts.end()) settings_->setValue(path, *text);
  }
}

std::optional<settings::StoreFailure> QtSettingsStore::Sync() {
  if (pending_.empty()) return std::nullopt;
  const auto saves = std::move(pending_);
  pending_.clear();
  if (!CleanStatus()) return Failure();
  KeepHandWrittenLists();
  std::vector<std::pair<QString, std::optional<QVariant>>> before;
  for (const auto& [path, text] : saves) {
    before.emplace_back(
        path, settings_->contains(path) ? std::optional(settings_->value(path)) : std::nullopt);
    settings_->setValue(path, text);
  }
  settings_->sync();
  QSettings::Status status = settings_->status();
  // A format error met while re-reading a file changed meanwhile hides how the
  // write went; a fresh object writes whatever is still pending as it opens.
  if (status == QSettings::FormatError) status = open_()->status();
  if (status == QSettings::NoError) return std::nullopt;

  // Not kept: reads give again what the file holds, and no later write brings
  // these saves back.
  for (auto it = before.rbegin(); it != before.rend(); ++it) {
    if (it->second)
      settings_->setValue(it->first, *it->second);
    else
      settings_->remove(it->first);
  }
  settings_->sync();
  return Failure();
}

settings::StoreFailure QtSettingsStore::Failure() const {
  return {FileName(), fileBacked_ ? WhyNotWritable(settings_->fileName()) : "access denied"};
}

}  // namespace platform
