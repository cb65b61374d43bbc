// capacimo-calc: the storage-duration calculator without a window. It computes
// exactly what the calculator dialog shows for the same entries.
//
// Exit status: 0 calculated (a configuration with a problem too: the problem
// goes to stderr, or into the JSON's status), 1 the result could not be
// written, 2 bad usage or input.
#include <fcntl.h>
#include <unistd.h>

#include <QCoreApplication>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>

#include "calculator/result_record.h"
#include "calculator/settings.h"
#include "cli/options.h"
#include "cli/report.h"

namespace {

constexpr int kCannotWrite = 1;
constexpr int kBadInput = 2;

// One line on stderr, named after the program.
void say(const std::string& line) { std::fprintf(stderr, "capacimo-calc: %s\n", line.c_str()); }

// Set when the program started with stdout closed: the result cannot arrive.
bool stdoutClosed = false;

// A closed stdout or stderr is taken over by /dev/null at once. Otherwise the
// next file the program opens (Qt opens some of its own) would become
// descriptor 1 or 2 and receive the result or the messages. stdio cannot
// tell a closed descriptor from an open one, so this is done by hand.
void holdStandardDescriptors() {
    for (const int fd : {STDOUT_FILENO, STDERR_FILENO}) {
        if (fcntl(fd, F_GETFD) != -1 || errno != EBADF) continue;
        if (fd == STDOUT_FILENO) stdoutClosed = true;
        const int null = open("/dev/null", O_RDWR);
        if (null >= 0 && null != fd) {
            dup2(null, fd);
            close(null);
        }
    }
}

// Writes the text to stdout and closes it; false, with errno saying why, when
// any of it did not arrive. The flush and the close report what a buffered
// write only finds out later (a full disk, say).
bool writeResult(std::string_view text) {
    if (stdoutClosed) {
        errno = EBADF;
        return false;
    }
    if (std::fwrite(text.data(), 1, text.size(), stdout) != text.size()) return false;
    if (std::fflush(stdout) != 0) return false;
    return std::fclose(stdout) == 0;
}

}  // namespace

int main(int argc, char* argv[]) {
    holdStandardDescriptors();
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName("capacimo-calc");
    QCoreApplication::setApplicationVersion(CAPACIMO_VERSION);
    const QStringList arguments = QCoreApplication::arguments();

    // The stored entries are read with the dialog's rules, so the result is
    // what the dialog will show when it opens; the other options change them.
    auto parsed = capacimo::cli::parseOptions(arguments, capacimo::defaultEntries());
    if (parsed.ok() && parsed.options.fromSettings) {
        const auto stored = capacimo::unit::readStoredEntriesChecked();
        if (!stored.problem.isEmpty()) {
            say(stored.problem.toStdString());
            return kBadInput;
        }
        if (!stored.note.isEmpty()) say(stored.note.toStdString());
        parsed = capacimo::cli::parseOptions(arguments, stored.entries);
    }
    if (!parsed.ok()) {
        say(parsed.error.toStdString());
        return kBadInput;
    }
    const auto& o = parsed.options;
    std::string output;
    if (o.help) {
        output = capacimo::cli::helpText().toStdString();
    } else if (o.version) {
        output = std::string("capacimo-calc ") + CAPACIMO_VERSION + '\n';
    } else {
        const auto record = capacimo::makeResultRecord(o.entries, o.result);
        if (o.json) {
            output = capacimo::resultJson(record);
        } else {
            // The problem a configuration has goes beside the result, so that
            // stdout holds the result alone.
            if (record.status.level != capacimo::StatusLevel::None) say(record.status.text);
            output = capacimo::cli::formatText(record);
        }
    }
    if (!writeResult(output)) {
        say(std::string("cannot write the result: ") + std::strerror(errno));
        return kCannotWrite;
    }
    return 0;
}
