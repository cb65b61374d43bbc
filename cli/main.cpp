// capacimo-calc: the storage-duration calculator without a window. It computes
// exactly what the calculator dialog shows for the same entries.
//
// Exit status: 0 calculated (a configuration with a problem too: the problem
// goes to stderr, or into the JSON's status), 1 the result could not be
// written, 2 bad usage or input.
#include <fcntl.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDateTime>
#include <QGuiApplication>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <exception>
#include <memory>
#include <span>
#include <string>
#include <string_view>

#include "calculator/files/result_record.h"
#include "calculator/files/setup_file.h"
#include "calculator/plant/plant_file.h"
#include "calculator/report/setup_report.h"
#include "calculator/settings.h"
#include "cli/options.h"
#include "cli/plant.h"
#include "cli/report.h"
#include "common/safe_file.h"

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

// Writes text to stdout; false, with errno saying why, when it did not arrive.
bool writeOut(std::string_view text) {
    if (stdoutClosed) {
        errno = EBADF;
        return false;
    }
    return std::fwrite(text.data(), 1, text.size(), stdout) == text.size();
}

// Closes stdout; false, with errno saying why, when any of what was written
// did not arrive. The flush and the close report what a buffered write only
// finds out later (a full disk, say).
bool closeOut() {
    if (stdoutClosed) {
        errno = EBADF;
        return false;
    }
    if (std::fflush(stdout) != 0) return false;
    return std::fclose(stdout) == 0;
}

int cannotWrite() {
    say(std::string("cannot write the result: ") + std::strerror(errno));
    return kCannotWrite;
}

// Calculates the plant the options name, one row at a time.
int runPlant(const capacimo::cli::Options& o, const capacimo::CalculatorEntries& start) {
    if (!o.saveSetupPath.isEmpty() && !capacimo::cli::isPlantCsv(o.saveSetupPath)) {
        say("--save-setup: a plant is saved as a plant CSV; name a FILE.csv");
        return kBadInput;
    }
    const auto outcome = capacimo::cli::runPlant(o, start, writeOut, say);
    if (!outcome.fileError.isEmpty()) {
        say(outcome.fileError.toStdString());
        return kCannotWrite;
    }
    if (outcome.cannotWrite || !closeOut()) return cannotWrite();
    return outcome.badInput ? kBadInput : 0;
}

// The arguments, read before there is an application: which kind is needed
// depends on them. Decoded so that a file name that is not UTF-8 names the
// very file it named in the shell.
QStringList argumentList(int argc, char* argv[]) {
    QStringList list;
    for (int i = 0; i < argc; ++i) list << capacimo::fileNameFromBytes(argv[i]);
    return list;
}

// The report's fonts need a QGuiApplication and a platform. It draws on Qt's
// offscreen platform always: a report needs no screen, and a display that has
// gone (a stale DISPLAY under cron or after a dropped SSH session) would make
// Qt abort. Every other run keeps to QCoreApplication, which starts in a
// fraction of the time.
std::unique_ptr<QCoreApplication> makeApplication(int& argc, char* argv[], bool drawing) {
    if (!drawing) return std::make_unique<QCoreApplication>(argc, argv);
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // Without a desktop session Qt warns that it has no runtime folder (it
    // makes one of its own): noise on stderr, where a script expects only the
    // program's own lines.
    static const QtMessageHandler qtHandler = qInstallMessageHandler(nullptr);
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext& context, const QString& message) {
        if (!message.startsWith(QLatin1String("QStandardPaths: XDG_RUNTIME_DIR"))) qtHandler(type, context, message);
    });
    return std::make_unique<QGuiApplication>(argc, argv);
}

// Writes the report of the record to path (with its days, where it has a
// start); an error text when it could not.
QString writeReport(const QString& path, const capacimo::ResultRecord& record, const capacimo::RecorderRow& row) {
    capacimo::unit::ReportInput input;
    input.record = record;
    if (row.start) input.days = capacimo::unit::ReportDays{row.start, row.dates};
    input.when = QDateTime::currentDateTime();
    input.version = QStringLiteral(CAPACIMO_VERSION);
    return capacimo::unit::writeReportPdf(path, input);
}

// The setup as --save-setup saves it: a setup file, or a plant CSV of this one recorder with its days.
std::string savedSetup(const capacimo::cli::Options& o, const capacimo::PlantRecorder& recorder) {
    if (!capacimo::cli::isPlantCsv(o.saveSetupPath)) return capacimo::writeSetupText(recorder.entries, recorder.name);
    return capacimo::plantCsvText(std::span(&recorder, 1));
}

// The files the options ask for beside the result: the setup, the calendar
// and the report. An error text when one could not be written.
QString writeFiles(const capacimo::cli::Options& o, const capacimo::ResultRecord& record,
                   const capacimo::PlantRecorder& recorder, const capacimo::RecorderRow& row) {
    if (!o.saveSetupPath.isEmpty()) {
        const QString error = capacimo::writeWholeFile(o.saveSetupPath, savedSetup(o, recorder));
        if (!error.isEmpty()) return error;
    }
    if (!o.calendarPath.isEmpty()) {
        if (!recorder.start) say("--ics: without --start DATE the setup has no read-out day; the calendar is empty");
        const QString error =
            capacimo::cli::writeCalendar(o.calendarPath, std::span(&row, 1), capacimo::cli::plantTerms(o));
        if (!error.isEmpty()) return error;
    }
    return o.reportPath.isEmpty() ? QString() : writeReport(o.reportPath, record, row);
}

// One setup's result as JSON or as text, with its days where it has a start.
std::string resultText(const capacimo::cli::Options& o, const capacimo::ResultRecord& record,
                       const capacimo::RecorderRow& row) {
    if (o.json) {
        if (!o.start) return capacimo::resultJson(record);
        nlohmann::ordered_json object = capacimo::resultObject(record);
        object.update(capacimo::datesObject(row.dates));
        return object.dump() + '\n';
    }
    // The problem a configuration has goes beside the result, so that
    // stdout holds the result alone.
    if (record.status.level != capacimo::StatusLevel::None) say(record.status.text);
    const std::string table = capacimo::cli::formatText(record);
    return o.start ? table + capacimo::cli::datesText(row) : table;
}

// Calculates one setup into output, as JSON or as text. The order of
// precedence: the defaults or the stored entries, then the setup file, then
// the options.
int calculate(const capacimo::cli::Options& o, const capacimo::CalculatorEntries& start, std::string& output) {
    capacimo::CalculatorEntries entries = o.entries;
    std::string name;
    if (!o.setupPaths.isEmpty()) {
        const auto read = capacimo::cli::readSetupFile(o.setupPaths.first());
        if (!read.setup) {
            say(read.error);
            return kBadInput;
        }
        const std::string left = capacimo::cli::defaultedText(*read.setup);
        if (!left.empty()) say(o.setupPaths.first().toStdString() + ": " + left);
        entries = capacimo::cli::entriesOf(*read.setup, start, o);
        name = read.setup->name;
    }
    const auto record = capacimo::makeResultRecord(entries, o.result, name);
    const capacimo::PlantRecorder recorder = capacimo::cli::withOptionDays({name, entries, {}, {}, {}, {}}, o);
    const capacimo::RecorderRow row = capacimo::cli::recorderRow(
        record, recorder, capacimo::recorderDates(record.result, recorder, capacimo::cli::plantTerms(o)));
    if (const QString error = writeFiles(o, record, recorder, row); !error.isEmpty()) {
        say(error.toStdString());
        return kCannotWrite;
    }
    output = resultText(o, record, row);
    return 0;
}

int run(int argc, char* argv[]) {
    const QStringList arguments = argumentList(argc, argv);
    const auto first = capacimo::cli::parseOptions(arguments, capacimo::defaultEntries());
    const auto app = makeApplication(argc, argv, first.ok() && !first.options.reportPath.isEmpty());
    QCoreApplication::setApplicationName("capacimo-calc");
    QCoreApplication::setApplicationVersion(CAPACIMO_VERSION);

    // The stored entries are read with the dialog's rules, so the result is
    // what the dialog will show when it opens; the other options change them.
    capacimo::CalculatorEntries start = capacimo::defaultEntries();
    auto parsed = first;
    if (parsed.ok() && parsed.options.fromSettings) {
        const auto stored = capacimo::unit::readStoredEntriesChecked();
        if (!stored.problem.isEmpty()) {
            say(stored.problem.toStdString());
            return kBadInput;
        }
        if (!stored.note.isEmpty()) say(stored.note.toStdString());
        start = stored.entries;
        parsed = capacimo::cli::parseOptions(arguments, start);
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
    } else if (capacimo::cli::isPlant(o)) {
        return runPlant(o, start);
    } else if (const int status = calculate(o, start, output); status != 0) {
        return status;
    }
    if (!writeOut(output) || !closeOut()) return cannotWrite();
    return 0;
}

}  // namespace

int main(int argc, char* argv[]) {
    holdStandardDescriptors();
    // The readers refuse bad input with a reason of their own; whatever else
    // fails is one line too, never an abort.
    try {
        return run(argc, argv);
    } catch (const std::exception& e) {
        say(std::string("stopped: ") + e.what());
        return kCannotWrite;
    }
}
