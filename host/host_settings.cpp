#include "host_settings.h"

#include <stdexcept>

#include "common/settings_store.h"

namespace capacimo::host {

CHostSettings::CHostSettings() : key_(std::make_unique<SettingsKey>(QString())) {}
CHostSettings::~CHostSettings() = default;

void CHostSettings::OpenSettingsKey() { key_->open(); }

void CHostSettings::CloseSettingsKey() {
    const QString name = key_->firstNameWritten();
    try {
        key_->close();
    } catch (const SettingsWriteError& e) {
        // The message, and on the next line which file failed and why.
        throw std::runtime_error("Fehler beim Setzen der Daten f\xC3\xBCr '" + name.toStdString() + "'\n" + e.what());
    }
}

bool CHostSettings::IsOpen() const { return key_->isOpen(); }

QString CHostSettings::ReadSettingString(const QString& section, const QString& name, const QString& defaultText,
                                         bool closeAfter) {
    const ini::StoredValue value = key_->read(section, name);
    if (closeAfter) CloseSettingsKey();
    switch (value.kind) {
    case ini::StoredValue::Kind::Missing: return defaultText;
    case ini::StoredValue::Kind::Text: return value.text;
    case ini::StoredValue::Kind::Other: break;
    }
    throw std::runtime_error("Ung\xC3\xBCltiger Datentyp f\xC3\xBCr '" + name.toStdString() + "'");
}

void CHostSettings::WriteSettingString(const QString& section, const QString& name, const QString& text,
                                       bool closeAfter) {
    key_->write(section, name, text);
    if (closeAfter) CloseSettingsKey();
}

CHostSettings& HostSettings() {
    static CHostSettings settings;
    return settings;
}

}  // namespace capacimo::host
