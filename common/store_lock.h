// The lock that makes saves of the settings file take turns, between
// processes: Capacimo.conf.lock beside the file.
//
// A kernel lock (flock) on an opened lock file, not QLockFile. The kernel
// drops the lock when its holder ends in any way, so a saver that was killed
// leaves nothing behind that blocks the next one: no file contents to judge
// (QLockFile reads a process id and treats an empty or unreadable lock file
// as held until it is 30 s old) and no stale lock to break. The file itself
// only names the lock; whoever holds the lock removes it again.
#pragma once

#include <QString>
#include <chrono>
#include <optional>

namespace capacimo {

class StoreLock {
public:
    // How long a save waits for the others before it gives up.
    static constexpr std::chrono::milliseconds kWaitLimit{20000};

    // Waits for the lock at path, at most wait. Empty when it cannot be
    // taken; problem then says why, starting with the path.
    static std::optional<StoreLock> take(const QString& path, QString& problem,
                                         std::chrono::milliseconds wait = kWaitLimit);

    StoreLock(StoreLock&& other) noexcept;
    StoreLock& operator=(StoreLock&&) = delete;
    StoreLock(const StoreLock&) = delete;
    ~StoreLock();  // removes the lock file and lets the next one in

private:
    StoreLock(QString path, int fd) : path_(std::move(path)), fd_(fd) {}

    QString path_;
    int fd_ = -1;
};

}  // namespace capacimo
