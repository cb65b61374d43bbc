// A private settings store for one test: the user's configuration directory
// pointed at a fresh temporary directory, with helpers to plant and read the
// raw file.
#pragma once

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>

class TestStore {
public:
    TestStore() : previous_(qgetenv("XDG_CONFIG_HOME")) { qputenv("XDG_CONFIG_HOME", dir_.path().toUtf8()); }
    ~TestStore() { qputenv("XDG_CONFIG_HOME", previous_); }
    TestStore(const TestStore&) = delete;
    TestStore& operator=(const TestStore&) = delete;

    QString directory() const { return dir_.path(); }
    QString filePath() const { return dir_.filePath("Ostrelwerk/Capacimo.conf"); }

    // Writes the unit's section of the store file; lines are "Settings\\Name=value".
    void plant(const QByteArray& unitLines) const {
        QDir(dir_.path()).mkpath("Ostrelwerk");
        QFile file(filePath());
        if (file.open(QIODevice::WriteOnly)) file.write("[ScribentS]\n" + unitLines);
    }
    void plantRaw(const QByteArray& bytes) const {
        QDir(dir_.path()).mkpath("Ostrelwerk");
        QFile file(filePath());
        if (file.open(QIODevice::WriteOnly)) file.write(bytes);
    }
    QByteArray raw() const {
        QFile file(filePath());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    // The stored text of a value, as another program would read it.
    QString text(const QString& section, const QString& name) const {
        QSettings s(filePath(), QSettings::IniFormat);
        return s.value("ScribentS/" + QString(section).replace('\\', '/') + '/' + name).toString();
    }
    bool contains(const QString& section, const QString& name) const {
        QSettings s(filePath(), QSettings::IniFormat);
        return s.contains("ScribentS/" + QString(section).replace('\\', '/') + '/' + name);
    }

private:
    QTemporaryDir dir_;
    QByteArray previous_;
};
