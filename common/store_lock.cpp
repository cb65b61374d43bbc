#include "common/store_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <cerrno>
#include <cstring>
#include <thread>

namespace capacimo {
namespace {

// flock() waits without a time limit, so the wait is a series of quick tries.
// They are close together: a save holds the lock for milliseconds, and a
// waiter that slept longer and longer (as QLockFile::tryLock does) would miss
// the gaps between the saves of busy neighbours.
constexpr std::chrono::milliseconds kRetryPause{2};

QString reason(int error) { return QString::fromLocal8Bit(std::strerror(error)); }

bool sameFile(int fd, const QByteArray& path) {
    struct stat held {};
    struct stat named {};
    return fstat(fd, &held) == 0 && lstat(path.constData(), &named) == 0 && held.st_dev == named.st_dev &&
           held.st_ino == named.st_ino;
}

}  // namespace

std::optional<StoreLock> StoreLock::take(const QString& path, QString& problem, std::chrono::milliseconds wait) {
    const QByteArray native = QFile::encodeName(path);
    const auto deadline = std::chrono::steady_clock::now() + wait;
    bool removedUnreadable = false;
    for (;;) {
        // Read access is all flock() needs, so a lock file left read-only by
        // another run serves as well. O_NONBLOCK: a FIFO of that name must
        // not hang the open.
        const int fd = ::open(native.constData(), O_RDONLY | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK, 0600);
        if (fd < 0) {
            const int error = errno;
            // A lock file this user cannot even read (left by a run as another
            // user) is removed and made anew: the directory is the user's own.
            if (error == EACCES && !removedUnreadable && ::unlink(native.constData()) == 0) {
                removedUnreadable = true;
                continue;
            }
            problem = QStringLiteral("%1: %2").arg(path, reason(error));
            return std::nullopt;
        }
        struct stat info {};
        if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
            ::close(fd);
            problem = QStringLiteral("%1: not a regular file").arg(path);
            return std::nullopt;
        }
        while (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
            const int error = errno;
            if (error != EWOULDBLOCK && error != EINTR) {
                ::close(fd);
                problem = QStringLiteral("%1: %2").arg(path, reason(error));
                return std::nullopt;
            }
            if (std::chrono::steady_clock::now() >= deadline) {
                ::close(fd);
                problem = QStringLiteral("%1: held by another save for more than %2 s")
                              .arg(path)
                              .arg(std::chrono::duration_cast<std::chrono::seconds>(wait).count());
                return std::nullopt;
            }
            std::this_thread::sleep_for(kRetryPause);
        }
        // The holder before us removes the file when it is done; a lock on
        // the removed file guards nothing, so then the next file is tried.
        if (sameFile(fd, native)) return StoreLock(path, fd);
        ::close(fd);
    }
}

StoreLock::StoreLock(StoreLock&& other) noexcept : path_(std::move(other.path_)), fd_(other.fd_) { other.fd_ = -1; }

StoreLock::~StoreLock() {
    if (fd_ < 0) return;
    // Removed while still held, so that nobody locks a file on its way out.
    ::unlink(QFile::encodeName(path_).constData());
    ::close(fd_);
}

}  // namespace capacimo
