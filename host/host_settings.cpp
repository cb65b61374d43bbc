#include "host_settings.h"

#include <stdexcept>

#include <QSettings>

namespace capacimo {
namespace {

// Closes the key when a call asked for it, also when the call fails.
class CloseAfterGuard {
 public:
  CloseAfterGuard(CHostSettings& settings, bool closeAfter) : settings_(settings), closeAfter_(closeAfter) {}
  ~CloseAfterGuard() {
    if (closeAfter_) settings_.CloseSettingsKey();
  }
  CloseAfterGuard(const CloseAfterGuard&) = delete;
  CloseAfterGuard& operator=(const CloseAfterGuard&) = delete;

 private:
  CHostSettings& settings_;
  bool closeAfter_;
};

}  // namespace

CHostSettings::CHostSettings() = default;
CHostSettings::~CHostSettings() = default;

void CHostSettings::OpenSettingsKey() {
  if (key_) return;
  // HKEY_CURRENT_USER\Software\Ostrelwerk\Capacimo on Windows;
  // $XDG_CONFIG_HOME/Ostrelwerk/Capacimo.conf elsewhere. Units keep their own
  // sections below the same key.
  key_ = std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Ostrelwerk"),
                                     QStringLiteral("Capacimo"));
}

void CHostSettings::CloseSettingsKey() { key_.reset(); }

QString CHostSettings::ReadSettingString(const QString& section, const QString& name, const QString& defaultText,
                                         bool closeAfter) {
  CloseAfterGuard guard(*this, closeAfter);
  OpenSettingsKey();
  const QVariant value = key_->value(section + QLatin1Char('/') + name);
  if (!value.isValid()) return defaultText;
  if (value.typeId() != QMetaType::QString)
    throw std::runtime_error("Ung\xC3\xBCltiger Datentyp f\xC3\xBCr '" + name.toStdString() + "'");
  return value.toString();
}

void CHostSettings::WriteSettingString(const QString& section, const QString& name, const QString& text,
                                       bool closeAfter) {
  CloseAfterGuard guard(*this, closeAfter);
  OpenSettingsKey();
  key_->setValue(section + QLatin1Char('/') + name, text);
  key_->sync();
  if (key_->status() != QSettings::NoError)
    throw std::runtime_error("Fehler beim Setzen der Daten f\xC3\xBCr '" + name.toStdString() + "'");
}

CHostSettings& HostSettings() {
  static CHostSettings settings;
  return settings;
}

}  // namespace capacimo
