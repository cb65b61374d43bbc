// The host's settings key in the per-user settings store:
// "Software\Ostrelwerk\Capacimo" (the registry on Windows, the user's
// configuration directory elsewhere).
#pragma once

#include <memory>

#include <QString>

class QSettings;

namespace capacimo {

class CHostSettings {
 public:
  CHostSettings();
  ~CHostSettings();
  CHostSettings(const CHostSettings&) = delete;
  CHostSettings& operator=(const CHostSettings&) = delete;

  // Opens the key if it is not open yet (creating it on first write).
  void OpenSettingsKey();
  // Closes the key, writing out pending changes.
  void CloseSettingsKey();
  bool IsOpen() const { return key_ != nullptr; }

  // The string stored under section/name, or defaultText when the section
  // or the value is missing. Throws when the stored value is not a string.
  QString ReadSettingString(const QString& section, const QString& name, const QString& defaultText,
                            bool closeAfter);
  // Stores text as a string under section/name, creating the section.
  // Throws when the store cannot be written.
  void WriteSettingString(const QString& section, const QString& name, const QString& text, bool closeAfter);

 private:
  std::unique_ptr<QSettings> key_;
};

// The program's one settings-key object.
CHostSettings& HostSettings();

}  // namespace capacimo
