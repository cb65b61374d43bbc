#include "common/setup_file_io.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <filesystem>
#include <system_error>

namespace capacimo {
namespace {

namespace fs = std::filesystem;

QString shownPath(const QString& path) { return QDir::toNativeSeparators(path); }

QString failure(const QString& path, const QString& reason) { return shownPath(path) + QLatin1String(": ") + reason; }

// What a path that is not a regular file is, in words; empty for a regular file.
// (QFileInfo counts devices as files, hence std::filesystem.)
QString notAFile(fs::file_type type) {
    switch (type) {
    case fs::file_type::regular: return {};
    case fs::file_type::directory: return QStringLiteral("is a directory, not a setup file");
    case fs::file_type::fifo: return QStringLiteral("is a pipe, not a setup file");
    case fs::file_type::character:
    case fs::file_type::block: return QStringLiteral("is a device, not a setup file");
    case fs::file_type::socket: return QStringLiteral("is a socket, not a setup file");
    default: return QStringLiteral("is not a regular file");
    }
}

}  // namespace

SetupReadResult readSetupFile(const QString& path) {
    auto refuse = [&path](const QString& reason) {
        return SetupReadResult{std::nullopt, failure(path, reason).toStdString()};
    };
    std::error_code error;
    const fs::path native = path.toStdU16String();
    const fs::file_status status = fs::status(native, error);  // follows a link to what it names
    if (status.type() == fs::file_type::not_found) return refuse(QStringLiteral("no such file"));
    if (error) return refuse(QString::fromStdString(error.message()));
    if (const QString what = notAFile(status.type()); !what.isEmpty()) return refuse(what);

    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return refuse(file.errorString());
    // One byte more than a setup may have tells a larger file without reading it.
    const QByteArray text = file.read(static_cast<qint64>(kSetupFileLimit) + 1);
    if (file.error() != QFileDevice::NoError) return refuse(file.errorString());
    SetupReadResult result = readSetupText(std::string_view(text.constData(), static_cast<std::size_t>(text.size())));
    if (!result.setup) result.error = failure(path, QString::fromStdString(result.error)).toStdString();
    return result;
}

QString writeSetupFile(const QString& path, std::string_view text) {
    std::error_code error;
    const fs::path native = path.toStdU16String();
    const fs::file_status status = fs::symlink_status(native, error);
    if (status.type() == fs::file_type::symlink) {
        // Replacing the file would replace the link with a file, and writing
        // through it would change a file elsewhere: neither happens unasked.
        const QString target = QString::fromStdU16String(fs::read_symlink(native, error).u16string());
        return failure(path, QStringLiteral("is a symbolic link to %1; save to that file itself").arg(target));
    }
    if (status.type() != fs::file_type::not_found) {
        if (const QString what = notAFile(status.type()); !what.isEmpty()) return failure(path, what);
    }

    // QSaveFile writes a temporary file beside the target and renames it over
    // the target only when every byte was written and flushed. Unbuffered, so
    // that a full disk fails the write itself: a buffered write would only fail
    // when commit() closes the file, which QSaveFile does not check.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) return failure(path, file.errorString());
    const auto size = static_cast<qint64>(text.size());
    if (file.write(text.data(), size) != size) {
        const QString reason = file.errorString();
        file.cancelWriting();
        return failure(path, reason);
    }
    if (!file.commit()) return failure(path, file.errorString());
    return {};
}

}  // namespace capacimo
