// The setup report as a reader gets it: the PDF's text as poppler extracts
// it, its page count and size, and its fonts.
#include <unistd.h>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include "calculator/report/setup_report.h"
#include "calculator/text/vocabulary.h"
#include "tests/calculator/report/poppler.h"

using namespace capacimo;
using namespace capacimo::unit;

Q_DECLARE_METATYPE(CalculatorEntries)
Q_DECLARE_METATYPE(std::optional<Target>)

namespace {

// pdftotext spaces words as it sees fit: compare without any blanks.
QString squeezed(QString s) { return s.remove(QRegularExpression(QStringLiteral("\\s"))); }

QString thousands(qint64 n) { return QLocale(QLocale::English, QLocale::UnitedStates).toString(n); }

QString duration(const StorageDuration& d) {
    return d == kNoDuration ? QStringLiteral("-") : QStringLiteral("%1w%2d%3h").arg(d.weeks).arg(d.days).arg(d.hours);
}

QString q(std::string_view s) { return QString::fromUtf8(s.data(), qsizetype(s.size())); }

}  // namespace

class SetupReportTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir;

private slots:
    void figuresOnOnePage_data() {
        QTest::addColumn<CalculatorEntries>("entries");
        QTest::addColumn<std::optional<Target>>("target");
        QTest::addColumn<QPageSize::PageSizeId>("paper");

        QTest::newRow("defaults") << defaultEntries() << std::optional<Target>() << QPageSize::A4;
        const std::optional<Target> fourWeeksOnCard = Target{Medium::Card, 4 * 168};
        QTest::newRow("heaviest, A4") << heaviestEntries() << fourWeeksOnCard << QPageSize::A4;
        QTest::newRow("heaviest, Letter") << heaviestEntries() << fourWeeksOnCard << QPageSize::Letter;
        CalculatorEntries inAlarm = heaviestEntriesInAlarm();
        inAlarm.cardReserve = 64;
        QTest::newRow("in alarm, a card reserve") << inAlarm << fourWeeksOnCard << QPageSize::A4;

        CalculatorEntries noChannel = defaultEntries();
        noChannel.counts.analog = 0;
        noChannel.counts.mathValues = 1;                                             // what group 1 records
        for (int g = 2; g < kGroups; ++g) noChannel.cycleItems[std::size_t(g)] = 0;  // Off
        QTest::newRow("error status, groups off") << noChannel << std::optional<Target>() << QPageSize::A4;

        CalculatorEntries silent = defaultEntries();
        silent.cycleItems.fill(0);  // every group Off
        QTest::newRow("nothing records") << silent << std::optional<Target>(Target{Medium::Card, 1000 * 168})
                                         << QPageSize::A4;

        CalculatorEntries target = defaultEntries();
        target.cycleItems[0] = cycleItemForCode(0, 2);  // 1s
        target.analysisItems[0] = 9;                    // 1h
        target.counts.digitalEvents = 2;
        target.counts.groupStates[1] = 2;
        QTest::newRow("target on the internal memory")
            << target << std::optional<Target>(Target{Medium::Internal, 26 * 168}) << QPageSize::A4;
    }

    void figuresOnOnePage() {
        QFETCH(CalculatorEntries, entries);
        QFETCH(std::optional<Target>, target);
        QFETCH(QPageSize::PageSizeId, paper);
        const QString path = dir.filePath(QStringLiteral("%1.pdf").arg(QTest::currentDataTag()));
        const ReportInput input{makeResultRecord(entries, {false, false, target}, "Line 3 / recorder 7"),
                                QDateTime(QDate(2026, 3, 4), QTime(5, 6)),
                                "4.5.6",
                                paper,
                                {}};
        const QString error = writeReportPdf(path, input);
        QVERIFY2(error.isEmpty(), qPrintable(error));

        const QString info = run("pdfinfo", {path});
        QVERIFY(info.contains(QRegularExpression("Pages:\\s+1\n")));
        QVERIFY(info.contains(paper == QPageSize::A4 ? "595 x 842 pts (A4)" : "612 x 792 pts (letter)"));
        const QStringList fonts = run("pdffonts", {path}).split('\n', Qt::SkipEmptyParts).mid(2);
        QVERIFY(!fonts.isEmpty());
        for (const QString& font : fonts)
            QVERIFY2(font.contains(QRegularExpression(" yes +(yes|no) +yes ")), qPrintable(font));

        // Text outside the page is not extracted, so what is found lies on it.
        const QString layout = run("pdftotext", {"-layout", path, "-"});
        const QString text = squeezed(layout);
        const QString raw = squeezed(run("pdftotext", {"-raw", path, "-"}));
        auto expect = [&](const QStringList& cells) {
            const QString wanted = squeezed(cells.join(QString()));
            QVERIFY2(text.contains(wanted), qPrintable("missing: " + cells.join(" | ")));
        };
        expect({"Scribent S: Line 3 / recorder 7"});
        expect({"4.5.6"});
        expect({"2026-03-04 05:06"});

        // Every entry with its value, grouped by page; group pages only for groups that record.
        for (const Entry& entry : entryTable()) {
            const std::int32_t value = entry.field(entries);
            const QString shown = entry.isList() ? q(entry.items[std::size_t(value)]) : QString::number(value);
            if (entry.page != EntryPage::Group) {
                expect({q(entry.caption), shown});
            } else if (entry.id == EntryId::GroupCycle) {
                const QString group = q(pageCaption(EntryPage::Group, entry.index));
                const QString row = group + shown + QString::number(entries.counts.groupValues[entry.index]) +
                                    QString::number(entries.counts.groupStates[entry.index]);
                if (value == 0) {
                    QVERIFY2(!layout.contains(QRegularExpression(group + "\\b")), qPrintable(group));
                } else {
                    expect({row});
                }
            } else if (entry.id == EntryId::GroupAlarmCycle && !hasAlarmCycles(entries)) {
                // The alarm cycles show only where one differs from its storage cycle.
                QVERIFY2(!raw.contains(squeezed(q(entry.caption))), entry.caption.c_str());
            } else if (std::any_of(entries.cycleItems.begin(), entries.cycleItems.end(), [](int i) { return i; })) {
                // A column header of the groups' table, wrapped: its lines
                // stand together only in the order they were drawn.
                QVERIFY2(raw.contains(squeezed(q(entry.caption))), entry.caption.c_str());
            }
        }

        const CalculationResult result = Calculator().calculate(entries);
        const StorageDuration card = result.card;
        expect({"Internal memory", QString::number(result.internal.weeks), QString::number(result.internal.days),
                QString::number(result.internal.hours)});
        expect({q(resultRowCaption(Medium::Card, entries.cardItem)), QString::number(card.weeks),
                QString::number(card.days), QString::number(card.hours)});
        const ValidationOutcome status = validateCounts(entries.counts);
        if (status.level != StatusLevel::None) expect({q(status.text)});

        const Breakdown b = breakdownOf(entries);
        auto share = [&](qint64 bytes) { return QString::number(100.0 * bytes / b.bytesWritten(), 'f', 1) + " %"; };
        for (const WriterBytes& w : b.writers) {
            // The chart's bar, then the table's row.
            expect({q(w.name) + " (" + q(w.cycle) + ")", thousands(w.bytes) + " bytes", share(w.bytes)});
            expect({q(w.name), q(w.cycle), thousands(w.records), thousands(w.bytes), share(w.bytes),
                    duration(w.withoutInternal), duration(w.withoutCard)});
        }
        expect({"Block overhead", thousands(b.headerBytes()), share(b.headerBytes())});
        expect({"Written in two hours", thousands(b.bytesWritten())});
        QCOMPARE(text.contains("Openblock,notcounted"), b.uncountedBytes() > 0);
        if (b.uncountedBytes() > 0) expect({"Open block, not counted", thousands(-b.uncountedBytes())});
        // The breakdown is normal operation's; with alarms the results beside it count more.
        expect({"Two hours as the durations count them", thousands(result.normalWritten)});

        QCOMPARE(text.contains("Tokeep"), target.has_value());
        if (!target) return;
        const Plan plan = planFor(entries, target->medium, target->hours);
        const PlanWords words = planWords(plan, target->medium, target->hours, entries.cardItem,
                                          target->medium == Medium::Card ? card : result.internal);
        expect({q(words.heading)});
        QCOMPARE(text.contains("SmallestSDCard"), target->medium == Medium::Card);
        for (const PlanAnswer& a : words.answers) expect({q(a.question), q(a.answer)});
        if (plan.groups.empty()) expect({q(words.note)});
    }

    void paperFollowsTheLocale() {
        QCOMPARE(reportPaperFor(QLocale(QLocale::English, QLocale::UnitedStates)), QPageSize::Letter);
        QCOMPARE(reportPaperFor(QLocale(QLocale::German, QLocale::Germany)), QPageSize::A4);
        QCOMPARE(reportPaperFor(QLocale(QLocale::English, QLocale::UnitedKingdom)), QPageSize::A4);
    }

    void unwritableFolderLeavesNothing() {
        QTemporaryDir locked;
        QVERIFY(QFile::setPermissions(locked.path(), QFile::ReadOwner | QFile::ExeOwner));
        // Root writes into any folder: a file system without new files stands in.
        const QString folder = ::geteuid() == 0 ? QStringLiteral("/proc") : locked.path();
        const QString path = folder + "/report.pdf";
        const QString error =
            writeReportPdf(path, {makeResultRecord(defaultEntries(), {}), {}, "1", QPageSize::A4, {}});
        QVERIFY2(error.contains(path), qPrintable(error));
        QVERIFY(QDir(folder).entryList({"report.pdf*"}, QDir::AllEntries | QDir::Hidden).isEmpty());
        QFile::setPermissions(locked.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
};

QTEST_MAIN(SetupReportTest)
#include "setup_report_test.moc"
