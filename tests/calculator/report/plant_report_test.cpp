// The plant report as a reader gets it: a summary over as many landscape
// pages as its rows need, each with the header row and "page i of n", the
// soonest read-out first, then one page per recorder in the same order.
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include "calculator/report/plant_report.h"
#include "tests/calculator/report/poppler.h"

using namespace capacimo;
using namespace capacimo::unit;

namespace {

QString pageText(const QString& pdf, int page) {
    const QString n = QString::number(page);
    return run("pdftotext", {"-layout", "-f", n, "-l", n, pdf, "-"});
}

}  // namespace

class PlantReportTest : public QObject {
    Q_OBJECT

private slots:
    void summaryPagesThenOnePagePerRecorder() {
        const FixedClock clock(dateOf({2026, 12, 8}));
        Plant plant(clock);
        constexpr int kRecorders = 40;
        for (int i = 0; i < kRecorders; ++i) {
            PlantRecorder recorder;
            recorder.name = "Recorder " + std::to_string(i + 1);
            recorder.entries.counts.analog = i % 40 + 1;
            // Started one day apart, the last first: read out in the reverse order.
            if (i % 10 != 9) recorder.start = dateOf({2026, 6, 1}) + (kRecorders - i);
            plant.append(recorder);
        }
        PlantRecorder longName;
        longName.name = "Kesselhaus " + std::string(200, 'W');
        plant.append(longName);

        QTemporaryDir dir;
        const QString pdf = dir.filePath("plant.pdf");
        const PlantReportInput input{plant.recorders(), plant.rows(), plant.terms(), {}, "9.9", QPageSize::Letter};
        const QString error = writePlantReportPdf(pdf, input);
        QVERIFY2(error.isEmpty(), qPrintable(error));

        const QString info = run("pdfinfo", {pdf});
        const int pages = QRegularExpression("Pages: +(\\d+)").match(info).captured(1).toInt();
        const int summaryPages = pages - plant.size();
        QVERIFY2(summaryPages == 2, qPrintable(info));
        QVERIFY2(info.contains(QRegularExpression("Page size: +792 x 612 pts")), qPrintable(info));

        const QString first = pageText(pdf, 1);
        const QString second = pageText(pdf, 2);
        for (const QString& page : {first, second}) {
            QVERIFY(
                page.contains(QRegularExpression("Name +Card +Internal memory +SD Card +Full on \\(internal\\) +"
                                                 "Full on \\(SD\\) +Read out by +State")));
        }
        QVERIFY(first.contains(QStringLiteral("page 1 of %1").arg(pages)));
        QVERIFY(second.contains(QStringLiteral("page 2 of %1").arg(pages)));
        QVERIFY(first.contains("41 recorders: "));
        // The last recorder started first, so it is read out first; those without a start come last.
        const qsizetype soonest = first.indexOf(QRegularExpression("\nRecorder 39 "));
        QVERIFY(soonest > 0 && soonest < first.indexOf(QRegularExpression("\nRecorder 38 ")));
        QVERIFY(second.contains(QRegularExpression("Recorder 40 .*\n(.*\n)*Kesselhaus WWW")));
        // The long name is shortened in the summary; its own page names it whole.
        QVERIFY(!second.contains(QString::fromStdString(longName.name)));
        QString last = pageText(pdf, pages);
        QVERIFY(last.contains(QStringLiteral("page %1 of %1").arg(pages)));
        QVERIFY(last.remove(QRegularExpression("\\s")).contains(QString::fromStdString(longName.name).remove(u' ')));
        // Each recorder's page carries its days and state, as its summary row does.
        const QString own = pageText(pdf, summaryPages + 1);
        QVERIFY(own.contains("Scribent S: Recorder 39"));
        const RecorderRow& row = plant.rows()[38];
        for (const auto& [caption, day] : {std::pair{"Start", dateText(plant.recorders()[38].start)},
                                           {"Full on \\(internal\\)", dateText(row.dates.internalFullOn)},
                                           {"Full on \\(SD\\)", dateText(row.dates.sdFullOn)},
                                           {"Read out by", dateText(row.dates.readOutBy)}}) {
            QVERIFY2(
                own.contains(QRegularExpression(QStringLiteral("%1 +%2").arg(caption, QString::fromStdString(day)))),
                caption);
        }
        QVERIFY(own.contains(QStringLiteral("State: ") +
                             QString::fromStdString(std::string(recorderStateCaption(row.dates.state)))));
        QVERIFY(pageText(pdf, pages).contains("State: No start"));  // no start: no days, its state
    }
};

QTEST_MAIN(PlantReportTest)
#include "plant_report_test.moc"
