// The calculator dialog's result list menu: the Details window (chart,
// durations without each writer, retention target) and Copy.
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTableWidget>
#include <QTest>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

#include "calculator/breakdown.h"
#include "calculator/details/byte_chart.h"
#include "calculator/details/details_window.h"
#include "calculator/dialog.h"
#include "calculator/planner.h"
#include "calculator/text/vocabulary.h"
#include "common/ui/error_box.h"
#include "tests/calculator/dialog/dialog_fixture.h"

using namespace capacimo;
using namespace capacimo::unit;

namespace {

QString weeksDaysHours(const StorageDuration& d) {
    return QStringLiteral("%1 w %2 d %3 h").arg(d.weeks).arg(d.days).arg(d.hours);
}

// The planner's answers below the heading, one "question answer" a line, from planFor itself.
QStringList expectedPlan(const CalculatorEntries& e, Medium medium, int weeks) {
    const std::int64_t hours = std::int64_t{weeks} * kHoursPerWeek;
    const PlanWords words = planWords(planFor(e, medium, hours), medium, hours, e.cardItem, StorageDuration{});
    QStringList lines;
    for (const PlanAnswer& a : words.answers) lines << QString::fromStdString(a.question + ' ' + a.answer);
    if (!words.note.empty()) lines << QString::fromStdString(words.note);
    return lines;
}

}  // namespace

class DetailsTest : public QObject, DialogFixture {
    Q_OBJECT

    TDetailsWindow* details() const { return dialog->detailsWindow(); }
    QAction* action(const char* name) const { return results()->findChild<QAction*>(name); }

    // The window's deferred refreshes, run when the test says so.
    std::vector<std::function<void()>> pending;
    void openDetails() {
        dialog->setScheduler([this](std::function<void()> task) { pending.push_back(std::move(task)); });
        dialog->ShowDetails();
    }
    void settle() {
        const auto tasks = std::exchange(pending, {});
        for (const auto& task : tasks) task();
    }
    void doubleClickRow(int row) {
        const QRect rect = results()->visualItemRect(results()->topLevelItem(row));
        // As the system delivers it: a click, then the second press as a double click.
        QTest::mouseClick(results()->viewport(), Qt::LeftButton, {}, rect.center());
        QTest::mouseDClick(results()->viewport(), Qt::LeftButton, {}, rect.center());
    }
    // Several groups and an analysis, set as the user would.
    void enterPlantSetup() {
        spin("spe_CountAnalog")->setValue(12);
        spin("spe_CountDigitalOnOff")->setValue(6);
        spin("spe_GroupIV00")->setValue(6);
        spin("spe_GroupIV01")->setValue(4);
        spin("spe_GroupState01")->setValue(3);
        combo("cb_GroupCycle00")->setCurrentIndex(2);  // 1s
        combo("cb_GroupCycle01")->setCurrentIndex(6);  // 10s
        combo("cb_Analysis2")->setCurrentIndex(1);     // daily
        dialog->Recalculate();
    }
    // The chart's rows as the breakdown gives them: writers, then the overhead.
    static std::vector<ChartBar> barsOf(const Breakdown& b) {
        std::vector<ChartBar> bars;
        for (const WriterBytes& w : b.writers) {
            bars.push_back({QString::fromStdString(writerLabel(w)), w.bytes,
                            w.writer < kGroups ? ChartBar::Kind::Group : ChartBar::Kind::Analysis});
        }
        bars.push_back({QString::fromStdString(std::string(breakdownRowName(BreakdownKind::Overhead))), b.headerBytes(),
                        ChartBar::Kind::Overhead});
        return bars;
    }
    void verifyNothingClipped() {
        QApplication::processEvents();  // the window's layout follows its contents
        TByteChart* chart = details()->chart();
        const QFontMetrics metrics = chart->fontMetrics();
        QVERIFY(chart->width() >= chart->minimumSizeHint().width());
        QVERIFY(chart->height() >= chart->minimumSizeHint().height());
        for (int row = 0; row < static_cast<int>(chart->bars().size()); ++row) {
            const TByteChart::RowGeometry g = chart->rowGeometry(row);
            QVERIFY(g.label.width() >= metrics.horizontalAdvance(chart->labelText(row)));
            QVERIFY(g.bytes.width() >= metrics.horizontalAdvance(chart->bytesText(row)));
            QVERIFY(g.share.width() >= metrics.horizontalAdvance(chart->shareText(row)));
            for (const QRect& part : {g.label, g.bar, g.bytes, g.share})
                QVERIFY(part.isEmpty() || chart->rect().contains(part));
            QVERIFY(g.label.right() < g.bytes.left() && g.bytes.right() < g.share.left());
            if (!g.bar.isEmpty()) QVERIFY(g.label.right() < g.bar.left() && g.bar.right() < g.bytes.left());
        }
        auto* plan = details()->findChild<QLabel*>("lbl_Plan");
        QVERIFY(plan->width() >= plan->sizeHint().width());
        QVERIFY(details()->scrollArea()->widget()->rect().contains(chart->geometry()));
        // It scrolls only once it is as tall as the screen lets it be.
        const QScrollBar* bar = details()->scrollArea()->verticalScrollBar();
        if (bar->maximum() > 0) QCOMPARE(details()->height(), details()->maximumHeight());
    }

private slots:
    void init() { openDialog(); }
    void cleanup() { closeDialog(); }

    void menuAndDoubleClickOpenOneWindow() {
        show();
        QCOMPARE(results()->contextMenuPolicy(), Qt::ActionsContextMenu);
        QStringList texts;
        for (QAction* a : results()->actions()) texts << a->text();
        QCOMPARE(texts, (QStringList{"Details...", "Copy", "Plant...", "Open setup...", "Save setup as...",
                                     "Save report...", "Undo"}));
        QVERIFY(details() == nullptr);  // nothing made before it is asked for

        doubleClickRow(0);
        QPointer<TDetailsWindow> window = details();
        QVERIFY(window != nullptr);
        QVERIFY(window->isVisible() && window->isWindow() && !window->isModal());
        QCOMPARE(window->parent(), dialog.get());
        QCOMPARE(window->objectName(), QString("dlg_Details"));
        QCOMPARE(window->windowTitle(), QString("Details"));
        doubleClickRow(1);
        action("act_Details")->trigger();
        QCOMPARE(details(), window.data());
        QCOMPARE(dialog->findChildren<TDetailsWindow*>().size(), 1);

        // The dialog runs modally; the window, its child, still takes the user's input.
        dialog->hide();
        dialog->setWindowModality(Qt::ApplicationModal);
        show();
        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window));
        window->targetWeeks()->setFocus();
        QTest::keyClick(window->windowHandle(), Qt::Key_Up);
        QCOMPARE(window->targetWeeks()->value(), 27);

        // It goes with the dialog: hidden with it, destroyed with it.
        dialog->reject();
        QVERIFY(!window->isVisible());
        dialog->ShowDetails();
        dialog.reset();
        QVERIFY(window.isNull());
    }

    // Enter presses the focused button of the window, as Space does; Esc closes it.
    void enterPressesTheFocusedButton() {
        dialog->setFileChooser([](QWidget*, const Tdlg_Main::FileQuestion&) { return QString(); });
        show();
        dialog->ShowDetails();
        details()->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(details()));
        QSignalSpy pressed(details(), &TDetailsWindow::saveReportRequested);
        details()->saveReportButton()->setFocus();
        QTest::keyClick(details()->saveReportButton(), Qt::Key_Return);
        QTest::keyClick(details()->saveReportButton(), Qt::Key_Enter);
        QCOMPARE(pressed.size(), 2);
        details()->targetWeeks()->setFocus();
        QTest::keyClick(details()->targetWeeks(), Qt::Key_Return);
        QCOMPARE(pressed.size(), 2);  // Enter in a field presses nothing
        QTest::keyClick(details()->targetWeeks(), Qt::Key_Escape);
        QVERIFY(!details()->isVisible());
    }

    void followsTheEntriesOnlyWhileOpen() {
        show();
        openDetails();
        TDetailsWindow* window = details();
        spin("spe_CountAnalog")->setValue(8);
        settle();
        const qint64 before = window->chart()->bars().front().bytes;
        int breakdowns = window->breakdownCount();
        int plans = window->planCount();
        int calculations = dialog->calculationCount();
        spin("spe_GroupIV00")->setValue(5);
        spin("spe_GroupState00")->setValue(1);
        // Two calculations of the dialog, one refresh of the window to come.
        QCOMPARE(dialog->calculationCount(), calculations + 2);
        QCOMPARE(pending.size(), std::size_t{1});
        QCOMPARE(window->breakdownCount(), breakdowns);
        const std::uint64_t run = calculationsRun();
        settle();
        // The window calculates none of the dialog's results again: only the
        // durations without each writer that their records leave open, and
        // the planner's own questions.
        const CalculatorEntries e = dialog->currentEntries();
        const std::uint64_t planning = calculationsRun();
        planFor(e, window->medium(), std::int64_t{window->targetWeeks()->value()} * 168);
        const std::uint64_t plan = calculationsRun() - planning;
        auto calculator = std::make_unique<Calculator>();
        const CalculationResult result = calculator->calculate(e);
        const std::uint64_t breaking = calculationsRun();
        breakdownOf(*calculator, result, e);
        QCOMPARE(planning - run, calculationsRun() - breaking + plan);
        QCOMPARE(window->entries(), dialog->currentEntries());
        QVERIFY(window->chart()->bars().front().bytes > before);
        QCOMPARE(window->chart()->bars(), barsOf(breakdownOf(dialog->currentEntries())));
        QCOMPARE(window->breakdownCount(), breakdowns + 1);
        QCOMPARE(window->planCount(), plans + 1);

        window->close();
        breakdowns = window->breakdownCount();
        plans = window->planCount();
        calculations = dialog->calculationCount();
        spin("spe_GroupIV00")->setValue(7);
        combo("cb_GroupCycle00")->setCurrentIndex(5);
        dialog->Recalculate();
        window->targetWeeks()->setValue(3);
        QCOMPARE(dialog->calculationCount(), calculations + 2);
        QVERIFY(pending.empty());
        QCOMPARE(window->breakdownCount(), breakdowns);
        QCOMPARE(window->planCount(), plans);

        action("act_Details")->trigger();  // reopened: the entries of the moment, calculated once
        QCOMPARE(window->entries(), dialog->currentEntries());
        QCOMPARE(window->chart()->bars(), barsOf(breakdownOf(dialog->currentEntries())));
        QCOMPARE(window->breakdownCount(), breakdowns + 1);
        QCOMPARE(window->planCount(), plans + 1);
    }

    void chartAndDurationsShowTheBreakdown() {
        show();
        openDetails();
        // The Reset defaults: the first row reads the dialog's known result.
        QTableWidget* table = details()->withoutTable();
        QCOMPARE(table->item(0, 1)->text(), QString("1879 w 2 d 12 h"));
        QCOMPARE(table->item(0, 2)->text(), QString("2535 w 4 d 11 h"));
        QCOMPARE(table->horizontalHeaderItem(2)->text(), QString("SD Card 256 MB"));

        enterPlantSetup();
        settle();
        const Breakdown b = breakdownOf(dialog->currentEntries());
        TByteChart* chart = details()->chart();
        QCOMPARE(chart->bars(), barsOf(b));
        QCOMPARE(chart->total(), qint64{b.bytesWritten()});
        QCOMPARE(chart->labelText(0), QString("Group 1 (1s)"));
        QCOMPARE(chart->labelText(2), QString("Analysis 2 (daily analysis)"));
        QCOMPARE(chart->bytesText(0), QLocale(QLocale::English).toString(b.writers[0].bytes) + " bytes");
        QCOMPARE(chart->shareText(0),
                 QString::number(100.0 * static_cast<double>(b.writers[0].bytes) / b.bytesWritten(), 'f', 1) + " %");
        QCOMPARE(table->rowCount(), static_cast<int>(b.writers.size()) + 1);
        for (int row = 1; row < table->rowCount(); ++row) {
            const WriterBytes& w = b.writers[static_cast<std::size_t>(row - 1)];
            QCOMPARE(table->item(row, 0)->text(), QString::fromStdString(w.name));
            QCOMPARE(table->item(row, 1)->text(), weeksDaysHours(w.withoutInternal));
            QCOMPARE(table->item(row, 2)->text(), weeksDaysHours(w.withoutCard));
        }
        // Bars grow with their bytes; a larger writer gets the longer bar.
        QVERIFY(chart->rowGeometry(0).bar.width() > chart->rowGeometry(1).bar.width());
        verifyNothingClipped();
    }

    void plannerAnswersTheTarget() {
        show();
        enterPlantSetup();
        dialog->ShowDetails();
        TDetailsWindow* window = details();
        // Opened, its field has the focus, and shows it.
        QCOMPARE(window->focusWidget(), static_cast<QWidget*>(window->targetWeeks()));
        QVERIFY(window->testAttribute(Qt::WA_KeyboardFocusChange));
        const CalculatorEntries e = dialog->currentEntries();
        struct Case {
            int weeks;
            Medium medium;
        };
        for (const Case c : {Case{26, Medium::Card}, Case{26, Medium::Internal}, Case{0, Medium::Card},
                             Case{int(kLargestRetentionNumber), Medium::Card}}) {
            window->targetMedium()->setCurrentIndex(c.medium == Medium::Card ? 1 : 0);
            window->targetWeeks()->setValue(c.weeks);
            QCOMPARE(window->medium(), c.medium);
            const QStringList lines = window->planLines();
            QVERIFY(lines.front().startsWith(
                "To keep " + QString::fromStdString(retentionText(c.weeks * kHoursPerWeek)) + " on the "));
            QCOMPARE(lines.mid(1), expectedPlan(e, c.medium, c.weeks));
        }
        window->targetWeeks()->setValue(26);
        verifyNothingClipped();
        // No target is ever below nothing: every group reaches 0 weeks at its fastest cycle.
        window->targetWeeks()->setValue(0);
        QCOMPARE(
            window->planLines().mid(1, 3),
            (QStringList{"Smallest SD Card: 256 MB", "Group 1 alone: 100ms or slower", "Group 2 alone: 1s or slower"}));
        // The field keeps the target within 0 .. 999999 weeks.
        window->targetWeeks()->setValue(int(kLargestRetentionNumber) + 1);
        QCOMPARE(window->targetWeeks()->value(), int(kLargestRetentionNumber));
        window->targetWeeks()->setValue(-5);
        QCOMPARE(window->targetWeeks()->value(), 0);
        // Typed beyond it, the target costs the dialog nothing: its results stand.
        const auto shown = [this] {
            QStringList cells;
            for (int row = 0; row < results()->topLevelItemCount(); ++row)
                for (int column = 1; column < 4; ++column) cells << results()->topLevelItem(row)->text(column);
            return cells;
        };
        const QStringList before = shown();
        window->targetWeeks()->selectAll();
        QTest::keyClicks(window->targetWeeks(), "1000000");
        QVERIFY(window->targetWeeks()->value() <= int(kLargestRetentionNumber));
        QCOMPARE(shown(), before);
        QVERIFY(!window->planLines().isEmpty());
    }

    // Every group off and no analysis: nothing writes but the open block.
    // Group 1 every 100 ms: the records in the open block outweigh the headers.
    void noWriterAndNegativeOverhead() {
        show();
        for (int g = 0; g < kGroups; ++g)
            combo(qPrintable("cb_GroupCycle0" + QString::number(g, 16)))->setCurrentIndex(0);
        dialog->Recalculate();
        openDetails();
        TByteChart* chart = details()->chart();
        QCOMPARE(chart->bars().size(), std::size_t{1});
        QCOMPARE(chart->bars().front().label, QString("Block overhead"));
        QCOMPARE(chart->bars().front().bytes, chart->total());
        QCOMPARE(chart->shareText(0), QString("100.0 %"));
        QVERIFY(details()->withoutTable()->isHidden());
        QVERIFY(details()->planLines().contains("No group records, so there is no storage cycle to change."));
        QVERIFY(!details()->planLines().join(u'\n').contains("Group 1"));
        verifyNothingClipped();

        combo("cb_GroupCycle00")->setCurrentIndex(1);
        dialog->Recalculate();
        settle();
        // Blocks close: the caption says how much of it the durations count.
        const Breakdown b = breakdownOf(dialog->currentEntries());
        QVERIFY(b.uncountedBytes() > 0);
        QCOMPARE(chart->bars().size(), std::size_t{2});
        QCOMPARE(chart->bars().back().bytes, b.headerBytes());
        QVERIFY(details()
                    ->findChild<QLabel*>("lbl_Written")
                    ->text()
                    .contains(QLocale(QLocale::English).toString(b.written)));
        QVERIFY(!details()->withoutTable()->isHidden());
        verifyNothingClipped();
    }

    void longLabelsWidenTheChart() {
        show();
        dialog->ShowDetails();
        const QString name = QString("Group with a name far longer than any the recorder gives ").repeated(3);
        details()->chart()->setBars({{name + "(30min)", 123456789, ChartBar::Kind::Group},
                                     {"Block overhead", -987654321, ChartBar::Kind::Overhead}},
                                    123);
        QApplication::processEvents();
        // The window grows up to the screen's width; the rest scrolls.
        QVERIFY(details()->scrollArea()->widget()->width() > details()->chart()->fontMetrics().horizontalAdvance(name));
        QVERIFY(details()->screen()->availableGeometry().contains(details()->frameGeometry()));
        QVERIFY(details()->width() > dialog->width());
        verifyNothingClipped();
    }

    void copyPutsResultsAndEntriesOnTheClipboard() {
        show();
        enterPlantSetup();
        spin("spe_CountAnalog")->setValue(25);  // a message in the status line
        combo("cb_CFSize")->setCurrentIndex(2);
        dialog->Recalculate();
        QGuiApplication::clipboard()->clear();
        action("act_Copy")->trigger();
        const QStringList lines = QGuiApplication::clipboard()->text().split(u'\n');
        const CalculationResult r = Calculator().calculate(dialog->currentEntries());
        auto row = [](const QString& caption, const StorageDuration& d) {
            return QStringLiteral("%1\t%2\t%3\t%4").arg(caption).arg(d.weeks).arg(d.days).arg(d.hours);
        };
        QCOMPARE(lines.mid(0, 2), (QStringList{"Model\tScribent S", "Program\tOstrel Capacimo " CAPACIMO_VERSION}));
        QVERIFY(lines[2] == "Date\t" + QDate::currentDate().toString(Qt::ISODate) ||
                lines[2] == "Date\t" + QDate::currentDate().addDays(-1).toString(Qt::ISODate));
        // The status line's message, when it shows one.
        const QString status = dialog->findChild<QLabel*>("lbl_Status")->text();
        QVERIFY(status.startsWith("Information:"));
        QCOMPARE(lines[3], "Status\t" + status);
        QCOMPARE(lines.mid(4, 5), (QStringList{"", "Result\tWeeks\tDays\tHours", row("Internal memory", r.internal),
                                               row("SD Card 1 GB", r.card), ""}));
        QCOMPARE(lines.size(), 9 + static_cast<int>(entryTable().size()) + 1);
        QCOMPARE(lines.back(), QString());
        QCOMPARE(lines[9], QString("SD Card size\t1 GB"));
        QVERIFY(lines.contains("Analysis 2\tdaily analysis"));
        QVERIFY(lines.contains("Analog channels\t25"));
        QVERIFY(lines.contains("Group 1 storage cycle\t1s"));
        QVERIFY(lines.contains("Group 2 on/off states\t3"));
        QVERIFY(lines.contains("Group 10 instantaneous values\t0"));
    }

    // The window stores nothing: the store is the same byte for byte.
    void storedSettingsStayTheSame() {
        auto useDialog = [this](bool withDetails) {
            dialog = std::make_unique<Tdlg_Main>();
            show();
            enterPlantSetup();
            if (withDetails) {
                dialog->ShowDetails();
                details()->targetWeeks()->setValue(40);
                details()->targetMedium()->setCurrentIndex(1);
                action("act_Copy")->trigger();
            }
            dialog.reset();
        };
        useDialog(false);
        const QByteArray plain = store->raw();
        QVERIFY(!plain.isEmpty());
        store.reset();  // one store at a time: each restores the directory it found
        store = std::make_unique<TestStore>();
        useDialog(true);
        QCOMPARE(store->raw(), plain);
    }
};

QTEST_MAIN(DetailsTest)
#include "details_test.moc"
