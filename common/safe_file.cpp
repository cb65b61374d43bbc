#include "common/safe_file.h"
#include "common/qt_text.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>

namespace capacimo {
namespace {

namespace fs = std::filesystem;

// The first byte U+DC80..U+DCFF stands for: 0x80..0xFF, the bytes that can
// make UTF-8 invalid.
constexpr char16_t kByteSurrogates = 0xDC00;

QString systemError(int error) { return QString::fromLocal8Bit(std::strerror(error)); }

// What a path that is not a regular file is, in words, for what was wanted
// there ("a setup file"); empty for a regular file.
// (QFileInfo counts devices as files, hence std::filesystem.)
QString notAFile(fs::file_type type, const QString& wanted) {
    switch (type) {
    case fs::file_type::regular: return {};
    case fs::file_type::directory: return QStringLiteral("is a directory, not ") + wanted;
    case fs::file_type::fifo: return QStringLiteral("is a pipe, not ") + wanted;
    case fs::file_type::character:
    case fs::file_type::block: return QStringLiteral("is a device, not ") + wanted;
    case fs::file_type::socket: return QStringLiteral("is a socket, not ") + wanted;
    default: return QStringLiteral("is not a regular file");
    }
}

// The length of the UTF-8 sequence that starts bytes, or 0 where none does.
qsizetype utf8Sequence(QByteArrayView bytes) {
    const auto lead = static_cast<unsigned char>(bytes.front());
    const qsizetype length = lead < 0x80   ? 1
                             : lead < 0xC2 ? 0
                             : lead < 0xE0 ? 2
                             : lead < 0xF0 ? 3
                             : lead < 0xF5 ? 4
                                           : 0;
    if (length == 0 || length > bytes.size() || !bytes.first(length).isValidUtf8()) return 0;
    return length;
}

// Writes every byte to fd; false, with errno saying why, when the file took fewer.
bool writeAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return false;
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

}  // namespace

QString fileNameFromBytes(QByteArrayView bytes) {
    if (bytes.isValidUtf8()) return QString::fromUtf8(bytes);
    QString name;
    while (!bytes.isEmpty()) {
        const qsizetype length = utf8Sequence(bytes);
        if (length > 0) {
            name += QString::fromUtf8(bytes.first(length));
        } else {
            name += QChar(static_cast<char16_t>(kByteSurrogates + static_cast<unsigned char>(bytes.front())));
        }
        bytes = bytes.sliced(std::max<qsizetype>(length, 1));
    }
    return name;
}

std::string fileNameBytes(const QString& name) {
    std::string bytes;
    for (qsizetype i = 0; i < name.size(); ++i) {
        const char16_t unit = name[i].unicode();
        const bool pair = QChar::isHighSurrogate(unit) && i + 1 < name.size() && name[i + 1].isLowSurrogate();
        if (!pair && unit >= kByteSurrogates + 0x80 && unit <= kByteSurrogates + 0xFF) {
            bytes += static_cast<char>(unit - kByteSurrogates);
            continue;
        }
        bytes += QStringView(name).sliced(i, pair ? 2 : 1).toUtf8().toStdString();
        if (pair) ++i;
    }
    return bytes;
}

QString printableText(const QString& text) {
    QString out;
    for (const QChar c : text) {
        if (c == u'\n') {
            out += QLatin1String("\\n");
        } else if (c == u'\t') {
            out += QLatin1String("\\t");
        } else if (c.unicode() < 0x20 || (c.unicode() >= 0x7F && c.unicode() < 0xA0)) {
            out += QStringLiteral("\\x%1").arg(c.unicode(), 2, 16, QLatin1Char('0'));
        } else {
            out += c;
        }
    }
    return out;
}

QString shownPath(const QString& path) { return printableText(QDir::toNativeSeparators(path)); }

QString fileFailure(const QString& path, const QString& reason) {
    return shownPath(path) + QLatin1String(": ") + reason;
}

bool sameFile(const QString& a, const QString& b) {
    struct stat one {};
    struct stat other {};
    const std::string first = fileNameBytes(a);
    const std::string second = fileNameBytes(b);
    if (::stat(first.c_str(), &one) == 0 && ::stat(second.c_str(), &other) == 0) {
        return one.st_dev == other.st_dev && one.st_ino == other.st_ino;
    }
    // Not both there: the same name in the same folder, the folder's links followed.
    std::error_code error;
    const auto place = [&error](const std::string& name) {
        const fs::path path = fs::absolute(fs::path(name), error).lexically_normal();
        const fs::path folder = fs::weakly_canonical(path.parent_path(), error);
        return folder / path.filename();
    };
    return place(first) == place(second);
}

QString unreadableFile(const QString& path, std::string_view holds) {
    std::error_code error;
    const fs::file_status status = fs::status(fileNameBytes(path), error);  // follows a link to what it names
    if (status.type() == fs::file_type::not_found) return fileFailure(path, QStringLiteral("no such file"));
    if (error) return fileFailure(path, QString::fromStdString(error.message()));
    const QString wanted = QStringLiteral("a %1 file").arg(qText(holds));
    if (const QString what = notAFile(status.type(), wanted); !what.isEmpty()) return fileFailure(path, what);
    return {};
}

FileRead readWholeFile(const QString& path, std::string_view holds, std::size_t limit) {
    auto refuse = [&path](const QString& reason) { return FileRead{{}, fileFailure(path, reason).toStdString()}; };
    if (const QString problem = unreadableFile(path, holds); !problem.isEmpty()) return {{}, problem.toStdString()};

    // Opened by the name's bytes; QFile reads it from there.
    const int fd = ::open(fileNameBytes(path).c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return refuse(systemError(errno));
    QFile file;
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return refuse(file.errorString());
    }
    // One byte more than the limit tells a larger file without reading it.
    const QByteArray bytes = file.read(static_cast<qint64>(limit) + 1);
    if (file.error() != QFileDevice::NoError) return refuse(file.errorString());
    if (static_cast<std::size_t>(bytes.size()) > limit) {
        return refuse(QStringLiteral("larger than %1 bytes; no %2 is that large").arg(limit).arg(qText(holds)));
    }
    return {bytes.toStdString(), {}};
}

namespace {

// writeWholeFile's steps; the reason why not, without the path.
QString writeReplacing(const QString& path, std::string_view bytes) {
    const std::string target = fileNameBytes(path);
    std::error_code error;
    const fs::file_status status = fs::symlink_status(target, error);
    if (status.type() == fs::file_type::symlink) {
        // Replacing the file would replace the link with a file, and writing
        // through it would change a file elsewhere: neither happens unasked.
        const QString linked = fileNameFromBytes(QByteArray::fromStdString(fs::read_symlink(target, error).string()));
        return QStringLiteral("is a symbolic link to %1; save to that file itself").arg(linked);
    }
    if (status.type() != fs::file_type::not_found) {
        if (const QString what = notAFile(status.type(), QStringLiteral("a regular file")); !what.isEmpty())
            return what;
    }

    // QSaveFile's steps, by hand because QSaveFile takes the name as a QString
    // and would write a name that is not UTF-8 under another one: a new file
    // beside the target, written and flushed to the disk, then renamed over
    // the target. A failure removes the new file and leaves the target whole.
    const fs::path native(target);
    const fs::path folder = native.has_parent_path() ? native.parent_path() : fs::path(".");
    std::string temporary;
    int fd = -1;
    for (int attempt = 0; fd < 0 && attempt < 100; ++attempt) {
        temporary = (folder / (".capacimo-" + std::to_string(QRandomGenerator::global()->generate64()))).string();
        // Mode 0666 less the umask, as any new file gets it.
        fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST) break;
    }
    if (fd < 0) return systemError(errno);
    struct stat old {};
    // A file replaced keeps its permissions.
    const bool kept = status.type() != fs::file_type::regular || ::stat(target.c_str(), &old) != 0 ||
                      ::fchmod(fd, old.st_mode & 07777) == 0;
    // fsync: ext4 and most others say a full disk at the latest here; a file
    // system that cannot sync (EINVAL) has nothing more to say.
    const bool written = kept && writeAll(fd, bytes) && (::fsync(fd) == 0 || errno == EINVAL);
    const int writeError = errno;
    if (::close(fd) != 0 && written) {
        const int closeError = errno;
        ::unlink(temporary.c_str());
        return systemError(closeError);
    }
    if (!written || ::rename(temporary.c_str(), target.c_str()) != 0) {
        const int failed = written ? errno : writeError;
        ::unlink(temporary.c_str());
        return systemError(failed);
    }
    return {};
}

}  // namespace

QString writeWholeFile(const QString& path, std::string_view bytes) {
    const QString reason = writeReplacing(path, bytes);
    return reason.isEmpty() ? reason : fileFailure(path, reason);
}

}  // namespace capacimo
