// Writes the setup report for two setups into a folder as PDF files, on A4
// and on Letter: a plant's typical recorder with half a year to keep on its
// card, and the heaviest setup with four weeks to keep on the card.
#include <QDir>
#include <QGuiApplication>
#include <QTextStream>

#include "calculator/report/setup_report.h"

using namespace capacimo;
using namespace capacimo::unit;

namespace {

// Eight analog values every second, four digital events every ten seconds,
// a daily analysis.
CalculatorEntries typical() {
    CalculatorEntries e = defaultEntries();
    e.counts.analog = 8;
    e.counts.analogTotalized = 2;
    e.counts.digitalEvents = 4;
    e.cycleItems[0] = cycleItemForCode(0, 2);  // 1 s
    e.counts.groupValues[0] = 8;
    e.cycleItems[1] = cycleItemForCode(1, 7);  // 10 s
    e.counts.groupStates[1] = 4;
    for (int g = 2; g < kGroups; ++g) e.cycleItems[static_cast<std::size_t>(g)] = 0;  // Off
    e.analysisItems[1] = 1;
    return e;
}

}  // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    if (argc < 2) {
        QTextStream(stderr) << "usage: " << argv[0] << " OUTDIR\n";
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    QDir().mkpath(out.path());
    const QDateTime when(QDate(2026, 12, 8), QTime(9, 30));
    struct Sample {
        const char* file;
        ResultRecord record;
    };
    const Sample samples[] = {
        {"typical.pdf",
         makeResultRecord(typical(), {false, true, Target{Medium::Card, 26 * 168}}, "Boiler house, recorder 1")},
        {"heaviest.pdf", makeResultRecord(heaviestEntries(), {false, true, Target{Medium::Card, 4 * 168}},
                                          "Turbine hall, recorder 12")},
    };
    int status = 0;
    for (const Sample& s : samples) {
        for (auto paper : {QPageSize::A4, QPageSize::Letter}) {
            const QString file = out.filePath(QString::fromLatin1(s.file).replace(
                ".pdf", paper == QPageSize::A4 ? QStringLiteral("_a4.pdf") : QStringLiteral("_letter.pdf")));
            const QString error = writeReportPdf(file, {s.record, when, QStringLiteral("1.0.0"), paper, {}});
            if (!error.isEmpty()) {
                QTextStream(stderr) << error << '\n';
                status = 1;
            }
        }
    }
    return status;
}
