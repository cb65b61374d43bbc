// The host's settings key: the top of the per-user settings store it shares
// with its units (common/settings_store.h). The host keeps one value there,
// "Last" in the section "Settings".
#pragma once

#include <memory>

#include <QString>

namespace capacimo {
class SettingsKey;
}

namespace capacimo::host {

class CHostSettings {
public:
    CHostSettings();
    ~CHostSettings();
    CHostSettings(const CHostSettings&) = delete;
    CHostSettings& operator=(const CHostSettings&) = delete;

    // Opens the key if it is not open yet (creating it on first write).
    void OpenSettingsKey();
    // Closes the key, writing out pending changes. Throws when the store
    // refused them; the store is then as it was.
    void CloseSettingsKey();
    bool IsOpen() const;

    // The string stored under section/name, or defaultText when the section
    // or the value is missing. Throws when the stored value is not a string.
    QString ReadSettingString(const QString& section, const QString& name, const QString& defaultText, bool closeAfter);
    // Stores text as a string under section/name, creating the section; it
    // reaches the store when the key is closed.
    void WriteSettingString(const QString& section, const QString& name, const QString& text, bool closeAfter);

private:
    std::unique_ptr<SettingsKey> key_;
};

// The program's one settings-key object.
CHostSettings& HostSettings();

}  // namespace capacimo::host
