// capacimo-calc: the storage-duration calculator without a window. It computes
// exactly what the calculator dialog shows for the same entries.
#include <QCoreApplication>
#include <QTextStream>
#include <cstdio>

#include "calculator/settings.h"
#include "cli/options.h"
#include "cli/report.h"

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName("capacimo-calc");
    QCoreApplication::setApplicationVersion(CAPACIMO_VERSION);
    const QStringList arguments = QCoreApplication::arguments();

    QTextStream err(stderr);
    QTextStream out(stdout);

    // The stored entries are read with the dialog's rules, so the result is
    // what the dialog will show when it opens; the other options change them.
    auto parsed = capacimo::cli::parseOptions(arguments, capacimo::defaultEntries());
    if (parsed.ok() && parsed.options.fromSettings) {
        const auto stored = capacimo::unit::readStoredEntriesChecked();
        if (!stored.problem.isEmpty()) {
            err << "capacimo-calc: " << stored.problem << '\n';
            return 2;
        }
        if (!stored.note.isEmpty()) err << "capacimo-calc: " << stored.note << '\n';
        parsed = capacimo::cli::parseOptions(arguments, stored.entries);
    }
    if (!parsed.ok()) {
        err << "capacimo-calc: " << parsed.error << '\n';
        return 2;
    }
    const auto& o = parsed.options;
    if (o.help) {
        out << capacimo::cli::helpText();
        return 0;
    }
    if (o.version) {
        out << "capacimo-calc " << CAPACIMO_VERSION << '\n';
        return 0;
    }
    const auto report = capacimo::cli::makeReport(o);
    if (o.json) {
        out << capacimo::cli::formatJson(report);
    } else {
        out << capacimo::cli::formatText(report);
    }
    return 0;
}
