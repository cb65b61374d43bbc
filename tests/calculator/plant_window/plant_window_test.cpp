// The calculator dialog's plant window, offscreen, on a fixed day: its table
// against the core's plant, the dialog's edits reaching the open row alone,
// the commands, the plant file, closing with changes, the remembered margin.
#include <QAccessible>
#include <QAction>
#include <QDateEdit>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTableView>
#include <QTemporaryDir>
#include <functional>
#include <vector>

#include "calculator/details/details_window.h"
#include "calculator/plant/plant.h"
#include "calculator/plant/plant_file.h"
#include "calculator/plant_window/plant_model.h"
#include "calculator/plant_window/plant_window.h"
#include "calculator/settings.h"
#include "tests/calculator/dialog/dialog_fixture.h"
#include "tests/calculator/report/poppler.h"

using namespace capacimo;
using namespace capacimo::unit;

namespace {

CalendarDate day(int y, int m, int d) { return dateOf({y, m, d}); }

// The pages of a report as text, each without what differs from run to run
// or from report to report (the time it was made, its page numbers).
QStringList reportPages(const QString& pdf) {
    const QString info = run("pdfinfo", {pdf});
    const int pages = QRegularExpression("Pages:\\s+(\\d+)").match(info).captured(1).toInt();
    QStringList texts;
    for (int page = 1; page <= pages; ++page) {
        QString text =
            run("pdftotext", {"-f", QString::number(page), "-l", QString::number(page), "-layout", pdf, "-"});
        text.remove(QRegularExpression("\\d{4}-\\d{2}-\\d{2} \\d{2}:\\d{2}|page \\d+ of \\d+"));
        texts << text.split('\n').replaceInStrings(QRegularExpression("\\s+$"), {}).join('\n').trimmed();
    }
    return texts;
}

}  // namespace

class PlantWindowTest : public QObject, DialogFixture {
    Q_OBJECT

    FixedClock clock{day(2026, 3, 1)};
    std::vector<std::function<void()>> pending;

    TPlantWindow* plant() const { return dialog->plantWindow(); }
    const PlantTableModel& model() const { return plant()->model(); }
    QAction* action(const char* name) const { return plant()->findChild<QAction*>(name); }
    void settle() {
        const auto tasks = std::exchange(pending, {});
        for (const auto& task : tasks) task();
    }
    // The dialog with its plant window open on the fixed day.
    void openPlant() {
        dialog->setClock(clock);
        dialog->setScheduler([this](std::function<void()> task) { pending.push_back(std::move(task)); });
        show();
        // "Plant..." in the results' menu, with its key.
        QAction* item = results()->findChild<QAction*>("act_Plant");
        QVERIFY(results()->actions().contains(item) && item->isShortcutVisibleInContextMenu());
        QCOMPARE(item->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_P));
        QTest::keyClick(dialog.get(), Qt::Key_P, Qt::ControlModifier);
        QVERIFY(plant() != nullptr && QTest::qWaitForWindowExposed(plant()));
        plant()->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(plant()));
    }
    // Adds the dialog's setup with an analog count, as a recorder started `start`.
    void addRecorder(int analog, std::optional<CalendarDate> start) {
        spin("spe_CountAnalog")->setValue(analog);
        spin("spe_GroupIV00")->setValue(std::min(analog, 8));
        dialog->Recalculate();
        action("act_AddSetup")->trigger();
        const int row = plant()->table()->currentIndex().row();
        const_cast<PlantTableModel&>(model()).setData(model().index(row, PlantTableModel::kStartColumn),
                                                      start ? qDateOf(*start) : QDate());
        QCOMPARE(model().plant().recorders().back().start, start);
    }
    QString cell(int row, int column) const { return model().index(row, column).data().toString(); }
    void selectRow(int row) { plant()->table()->selectRow(row); }

private slots:
    void init() {
        openDialog();
        pending.clear();
    }
    void cleanup() {
        if (plant() != nullptr) plant()->setCloseQuestion([](QWidget*) { return QMessageBox::Discard; });
        closeDialog();
    }

    // The rows, their order and the totals are the core's, for a fixed day.
    void tableShowsThePlantSorted() {
        openPlant();
        addRecorder(40, day(1971, 1, 1));  // long past: overdue
        addRecorder(1, std::nullopt);      // no days
        addRecorder(8, day(2026, 3, 1));
        const Plant& p = model().plant();
        QCOMPARE(model().rowCount(), 3);
        QCOMPARE(model().headerData(PlantTableModel::kStartColumn, Qt::Horizontal).toString(), QString("Start"));
        // Soonest read-out first, the recorder without days last.
        const std::vector<std::size_t> order = p.sorted();
        for (int row = 0; row < 3; ++row) {
            const RecorderRow& expected = p.rows()[order[static_cast<std::size_t>(row)]];
            QCOMPARE(model().recorderAt(row), order[static_cast<std::size_t>(row)]);
            for (int column = 0; column < PlantTableModel::kColumns; ++column) {
                if (const auto shown = PlantTableModel::plantColumn(column))
                    QCOMPARE(cell(row, column), QString::fromStdString(cellText(expected, *shown)));
            }
        }
        QCOMPARE(cell(0, PlantTableModel::kStartColumn), QString("1971-01-01"));
        QCOMPARE(cell(0, 8), QString("Overdue"));
        QVERIFY(cell(2, 7).isEmpty() && cell(2, PlantTableModel::kStartColumn).isEmpty());
        // Figures and days on the right, the name on the left.
        QCOMPARE(model().index(0, 3).data(Qt::TextAlignmentRole).value<Qt::Alignment>() & Qt::AlignHorizontal_Mask,
                 Qt::AlignRight);
        QCOMPARE(model().index(0, 0).data(Qt::TextAlignmentRole).value<Qt::Alignment>() & Qt::AlignHorizontal_Mask,
                 Qt::AlignLeft);
        const PlantTotals totals = p.totals();
        QCOMPARE(plant()->totalsLabel()->text(), QStringLiteral("Recorders: 3    Overdue: %1    Due: %2    Short: %3")
                                                     .arg(totals.of(RecorderState::Overdue))
                                                     .arg(totals.of(RecorderState::Due))
                                                     .arg(totals.of(RecorderState::Short)));
        // A click on a header sorts by it; the start column keeps the order.
        QHeaderView* header = plant()->table()->horizontalHeader();
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                          QPoint(header->sectionViewportPosition(3) + 5, header->height() / 2));
        QCOMPARE(model().sortColumn(), 3);
        const std::vector<std::size_t> byInternal = p.sorted(PlantColumn::Internal, SortOrder::Ascending);
        for (int row = 0; row < 3; ++row) QCOMPARE(model().recorderAt(row), byInternal[static_cast<std::size_t>(row)]);
        header->setSortIndicator(PlantTableModel::kStartColumn, Qt::AscendingOrder);
        QCOMPARE(header->sortIndicatorSection(), 3);
        // And from the keyboard, through the menu.
        action("act_SortDescending")->trigger();
        QCOMPARE(model().sortOrder(), Qt::DescendingOrder);
    }

    // A row opened in the dialog follows its changes; only that row is evaluated again.
    void dialogChangesUpdateOnlyTheOpenRow() {
        openPlant();
        for (int analog : {2, 4, 6}) addRecorder(analog, day(2026, 2, 1));
        const int row = model().rowOf(1);
        selectRow(row);
        action("act_OpenInDialog")->trigger();
        QCOMPARE(dialog->currentEntries(), model().plant().recorders()[1].entries);
        QCOMPARE(plant()->linkedRecorder(), std::optional<std::size_t>(1));
        settle();
        const std::vector<RecorderRow> before = model().plant().rows();
        QSignalSpy changed(&model(), &QAbstractItemModel::dataChanged);
        spin("spe_CountAnalog")->setValue(9);
        spin("spe_GroupIV00")->setValue(8);
        const std::uint64_t calculations = calculationsRun();
        settle();
        QCOMPARE(calculationsRun() - calculations, std::uint64_t{1});
        QCOMPARE(model().plant().recorders()[1].entries, dialog->currentEntries());
        const auto internal = [](const RecorderRow& r) { return cellText(r, PlantColumn::Internal); };
        QVERIFY(internal(model().plant().rows()[1]) != internal(before[1]));
        for (std::size_t other : {0u, 2u}) {
            QCOMPARE(internal(model().plant().rows()[other]), internal(before[other]));
            QCOMPARE(model().plant().rows()[other].dates, before[other].dates);
        }
        QCOMPARE(changed.size(), 1);
        QCOMPARE(changed[0][0].toModelIndex().row(), changed[0][1].toModelIndex().row());
        QVERIFY(plant()->isUnsaved() && plant()->windowTitle().contains("[*]"));
    }

    // Remove, Ctrl+Z, rename in place, duplicate, the start in its date field.
    void commandsEditTheRows() {
        openPlant();
        for (int analog : {2, 4}) addRecorder(analog, day(2026, 2, 1));
        const PlantRecorder first = model().plant().recorders()[0];
        selectRow(model().rowOf(0));
        QTest::keyClick(plant()->table(), Qt::Key_Delete);
        QCOMPARE(model().rowCount(), 1);
        QVERIFY(plant()->canUndo());
        QTest::keyClick(plant()->table(), Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(model().plant().size(), std::size_t{2});
        QCOMPARE(model().plant().recorders()[0], first);

        selectRow(model().rowOf(0));
        QTest::keyClick(plant()->table(), Qt::Key_F2);
        auto* name = plant()->table()->viewport()->findChild<QLineEdit*>();
        QVERIFY(name != nullptr && name->hasFocus());
        name->selectAll();
        QTest::keyClicks(name, "Boiler 1");
        QTest::keyClick(name, Qt::Key_Return);
        // The editor hands its text on once control is back in the event loop.
        QTRY_COMPARE(model().plant().recorders()[0].name, std::string("Boiler 1"));

        selectRow(model().rowOf(0));
        action("act_Duplicate")->trigger();
        QCOMPARE(model().plant().recorders()[1].name, std::string("Boiler 1 copy"));
        QCOMPARE(model().plant().recorders()[1].entries, first.entries);

        selectRow(model().rowOf(1));
        QTest::keyClick(plant()->table(), Qt::Key_T, Qt::ControlModifier);
        auto* start = plant()->table()->viewport()->findChild<QDateEdit*>();
        QVERIFY(start != nullptr && start->calendarPopup());
        start->setDate(QDate(2026, 2, 20));
        QTest::keyClick(start, Qt::Key_Return);
        QTRY_COMPARE(model().plant().recorders()[1].start, std::optional(day(2026, 2, 20)));
        selectRow(model().rowOf(1));
        action("act_EditStart")->trigger();
        start = plant()->table()->viewport()->findChild<QDateEdit*>();
        QTest::keyClick(start, Qt::Key_Delete);
        QTest::keyClick(start, Qt::Key_Return);
        QTRY_COMPARE(model().plant().recorders()[1].start, std::optional<CalendarDate>());
    }

    // Saved and opened again, the same plant. A bad start costs its cell
    // alone, and a box names line and column; a file that cannot be
    // written loses nothing and stays marked unsaved.
    void plantFileRoundTrip() {
        openPlant();
        for (int analog : {2, 4, 6}) addRecorder(analog, day(2026, 2, 1));
        QTemporaryDir dir;
        QStringList asked;
        QString answer = dir.filePath("plant");
        dialog->setFileChooser([&](QWidget*, const widgets::FileQuestion& q) {
            asked << q.caption;
            return answer;
        });
        QTest::keyClick(plant()->table(), Qt::Key_S, Qt::ControlModifier);
        QCOMPARE(asked, QStringList{"Save plant as"});
        const QString file = dir.filePath("plant.csv");
        QVERIFY(QFile::exists(file) && !plant()->isUnsaved());
        QCOMPARE(plant()->windowTitle(), QString("Plant - plant.csv[*]"));
        const std::vector<PlantRecorder> saved = model().plant().recorders();
        QVERIFY(plant()->OpenPlant(file));
        QCOMPARE(model().plant().recorders(), saved);

        QFile csv(file);
        QVERIFY(csv.open(QIODevice::ReadOnly));
        QList<QByteArray> lines = csv.readAll().split('\n');
        csv.close();
        lines[2].replace("2026-02-01", "2026-02-30");
        QVERIFY(csv.open(QIODevice::WriteOnly) && csv.write(lines.join('\n')) > 0);
        csv.close();
        QStringList boxes;
        setErrorBoxHandler([&boxes](const QString& text) { boxes << text; });
        QVERIFY(plant()->OpenPlant(file));
        QCOMPARE(boxes.size(), 1);
        QVERIFY2(boxes[0].contains("line 3, column start: 2026-02-30 is not a day"), qPrintable(boxes[0]));
        QCOMPARE(model().plant().size(), std::size_t{3});
        QCOMPARE(model().plant().recorders()[1].start, std::optional<CalendarDate>());
        QCOMPARE(model().plant().recorders()[2], saved[2]);

        selectRow(0);
        action("act_Duplicate")->trigger();
        const std::vector<PlantRecorder> changed = model().plant().recorders();
        QVERIFY(!plant()->SavePlant(dir.filePath("no/such/folder/plant.csv")));
        QCOMPARE(boxes.size(), 2);
        QVERIFY(plant()->isUnsaved() && plant()->windowTitle().endsWith("plant.csv[*]"));
        QCOMPARE(model().plant().recorders(), changed);
        QCOMPARE(QFileInfo(file).size(), qint64(lines.join('\n').size()));
    }

    // What could not be read is kept: shown where it belongs, written back
    // unread, and the first save over its file asks once.
    void unreadRowsAndCellsAreKeptAndSavedAfterOneQuestion() {
        openPlant();
        QTemporaryDir dir;
        const QString file = dir.filePath("plant.csv");
        const QByteArray text = "name,start,analog\nK\xF6ln 1,01/02/27,2\n\"Open,1\nB,2026-02-01,41\n";
        QFile csv(file);
        QVERIFY(csv.open(QIODevice::WriteOnly) && csv.write(text) > 0);
        csv.close();
        QStringList boxes;
        setErrorBoxHandler([&boxes](const QString& box) { boxes << box; });
        QVERIFY(plant()->OpenPlant(file));
        QCOMPARE(boxes.size(), 1);
        QVERIFY2(boxes[0].startsWith(file + ": 1 recorder opened; what could not be read is kept and saved back as "
                                            "it was"),
                 qPrintable(boxes[0]));
        QVERIFY2(boxes[0].contains("line 2: the bytes are not UTF-8; read as Windows-1252"), qPrintable(boxes[0]));
        QCOMPARE(cell(0, 0), QString::fromUtf8("K\xC3\xB6ln 1"));
        const QModelIndex start = model().index(0, PlantTableModel::kStartColumn);
        QCOMPARE(start.data().toString(), QString("01/02/27"));
        QVERIFY(start.data(Qt::ToolTipRole).toString().startsWith("Not read: 01/02/27 may be day/month"));
        QCOMPARE(cell(0, 8), QString("No start"));
        QVERIFY(!plant()->isUnsaved());

        QStringList asked;
        bool answer = false;
        plant()->setUnreadQuestion([&](QWidget*, const QString& question) {
            asked << question;
            return answer;
        });
        QVERIFY(!plant()->SavePlant(file));  // Cancel: nothing written
        QCOMPARE(asked.size(), 1);
        QVERIFY2(asked[0].contains("2 rows and 1 cell that could not be read are written back as they were"),
                 qPrintable(asked[0]));
        QVERIFY(asked[0].contains("K\xC3\xB6ln 1, column start: 01/02/27"));
        QVERIFY(csv.open(QIODevice::ReadOnly));
        QCOMPARE(csv.readAll(), text);
        csv.close();
        answer = true;
        QVERIFY(plant()->SavePlant(file));
        QVERIFY(plant()->SavePlant(file));
        QCOMPARE(asked.size(), 2);  // once, not at every save
        const PlantFileReading again = readPlantText(text.toStdString());
        QVERIFY(csv.open(QIODevice::ReadOnly));
        QCOMPARE(csv.readAll().toStdString(), plantCsvText(again.recorders, again.kept));
        csv.close();
        // A start given anew replaces the text that could not be read.
        const_cast<PlantTableModel&>(model()).setData(start, QDate(2026, 2, 1));
        QCOMPARE(model().plant().recorders()[0].refused.start, std::string());
        QCOMPARE(start.data().toString(), QString("2026-02-01"));
    }

    // A recorder's page is one page: the plant window's report holds the
    // pages capacimo-calc's report of the same plant holds, and the dialog's
    // report of a recorder opened from the plant is that recorder's page.
    void reportsAreTheCommandLines() {
        openPlant();
        addRecorder(4, day(2026, 2, 1));
        addRecorder(12, std::nullopt);
        QTemporaryDir dir;
        const QString file = dir.filePath("plant.csv");
        QVERIFY(plant()->SavePlant(file));
        QVERIFY(plant()->SaveReport(dir.filePath("window.pdf")));
        QProcess calc;
        calc.start(CAPACIMO_CALC_PATH,
                   {"--setup", file, "--today", "2026-03-01", "--report", dir.filePath("calc.pdf")});
        QVERIFY(calc.waitForFinished(60000) && calc.exitCode() == 0);
        const QStringList pages = reportPages(dir.filePath("calc.pdf"));
        QCOMPARE(reportPages(dir.filePath("window.pdf")), pages);
        QCOMPARE(pages.size(), 3);
        QVERIFY2(pages[1].contains(QRegularExpression("Start +2026-02-01\\n(.*\\n){2,4} *Read out by +\\d{4}-")),
                 qPrintable(pages[1]));

        selectRow(0);
        QTest::keyClick(plant()->table(), Qt::Key_Return);
        QVERIFY(plant()->linkedRecorder().has_value());
        QVERIFY(dialog->SaveReport(dir.filePath("dialog.pdf")));
        QCOMPARE(reportPages(dir.filePath("dialog.pdf")), QStringList{pages[1]});
    }

    // The plant last open comes back with the window; one that is gone is
    // named below the table, and the window opens all the same.
    void theLastPlantComesBack() {
        QTemporaryDir dir;
        const QString file = dir.filePath("plant.csv");
        QFile csv(file);
        QVERIFY(csv.open(QIODevice::WriteOnly) && csv.write("name,start\nKiln 1,2026-02-01\n") > 0);
        csv.close();
        WriteSettingText("Plant", "File", dir.filePath("gone.csv"), true);
        openPlant();
        QCOMPARE(plant()->statusLabel()->text(),
                 "The plant last open could not be opened: " + dir.filePath("gone.csv") + ": no such file");
        QVERIFY(plant()->statusLabel()->isVisible());
        QCOMPARE(model().rowCount(), 0);
        QVERIFY(plant()->OpenPlant(file));
        QVERIFY(!plant()->statusLabel()->isVisible());
        QCOMPARE(store->text("Plant", "File"), file);
    }

    // Closing with changes asks: Cancel keeps the window, a failed save too;
    // Save writes the file; Discard forgets the plant. Closing the dialog asks as well.
    void closingWithChangesAsks() {
        openPlant();
        addRecorder(2, day(2026, 2, 1));
        QTemporaryDir dir;
        QString answer = dir.filePath("no/such/folder/plant.csv");
        dialog->setFileChooser([&](QWidget*, const widgets::FileQuestion&) { return answer; });
        setErrorBoxHandler([](const QString&) {});
        int asked = 0;
        QMessageBox::StandardButton reply = QMessageBox::Cancel;
        plant()->setCloseQuestion([&](QWidget*) {
            ++asked;
            return reply;
        });
        plant()->close();
        QTest::keyClick(plant()->table(), Qt::Key_Escape);
        QCOMPARE(asked, 2);
        QVERIFY(plant()->isVisible());
        reply = QMessageBox::Save;
        plant()->close();
        QVERIFY(plant()->isVisible() && plant()->isUnsaved());  // the file could not be written
        answer = dir.filePath("plant.csv");
        plant()->close();
        QVERIFY(!plant()->isVisible() && QFile::exists(answer) && !plant()->isUnsaved());

        dialog->ShowPlant();
        addRecorder(3, std::nullopt);
        reply = QMessageBox::Cancel;
        dialog->reject();
        QVERIFY(dialog->isVisible() && plant()->isVisible());
        reply = QMessageBox::Discard;
        dialog->reject();
        QVERIFY(!dialog->isVisible() && !plant()->isVisible());
        QCOMPARE(model().rowCount(), 0);
        QCOMPARE(asked, 6);
    }

    // Every command has its key and every control a name for a screen
    // reader; Enter opens the selected recorder; the calendar and the report are saved.
    void keysNamesAndCalendar() {
        openPlant();
        addRecorder(2, day(2026, 2, 1));
        for (QAction* a : plant()->findChildren<QAction*>(QRegularExpression("^act_(?!Sort)")))
            QVERIFY2(!a->shortcut().isEmpty(), qPrintable(a->objectName()));
        const auto buttons = plant()->findChildren<QPushButton*>(QRegularExpression("^btn_"));
        QCOMPARE(buttons.size(), 6);
        for (QPushButton* b : buttons) {
            QAccessibleInterface* button = QAccessible::queryAccessibleInterface(b);
            QVERIFY(button != nullptr && !button->text(QAccessible::Name).isEmpty());
        }
        for (QWidget* w : std::initializer_list<QWidget*>{plant()->table(), plant()->marginField()})
            QVERIFY(!QAccessible::queryAccessibleInterface(w)->text(QAccessible::Name).isEmpty());
        spin("spe_CountAnalog")->setValue(5);
        selectRow(0);
        QTest::keyClick(plant()->table(), Qt::Key_Return);
        QCOMPARE(plant()->linkedRecorder(), std::optional<std::size_t>(0));
        QCOMPARE(dialog->currentEntries(), model().plant().recorders()[0].entries);

        QTemporaryDir dir;
        dialog->setFileChooser([&dir](QWidget*, const widgets::FileQuestion&) { return dir.filePath("plant"); });
        QTest::keyClick(plant()->table(), Qt::Key_E, Qt::ControlModifier);
        QFile ics(dir.filePath("plant.ics"));
        QVERIFY(ics.open(QIODevice::ReadOnly));
        const QByteArray text = ics.readAll();
        QVERIFY(text.startsWith("BEGIN:VCALENDAR\r\n") && text.count("BEGIN:VEVENT") == 1);
        QTest::keyClick(plant()->table(), Qt::Key_R, Qt::ControlModifier);
        QFile pdf(dir.filePath("plant.pdf"));
        QVERIFY(pdf.open(QIODevice::ReadOnly) && pdf.read(5) == "%PDF-");
    }

    // A plant file opened by its key; a recorder short of its target opens
    // by Ctrl+L in the dialog with the Details' plan for it, in whole weeks;
    // the dialog remembers the recorder's entries as its own.
    void aShortRecorderPlansByKey() {
        openPlant();
        QTemporaryDir dir;
        const QString file = dir.filePath("plant.csv");
        QFile csv(file);
        QVERIFY(csv.open(QIODevice::WriteOnly));
        csv.write(
            "name,start,target,medium,card,analog,group1.cycle,group1.values\n"
            "Kiln,,3w4d,sd,256 MB,40,100ms,8\nPress,2026-02-01,,,2 GB,1,1min,1\n");
        csv.close();
        dialog->setFileChooser([&file](QWidget*, const widgets::FileQuestion&) { return file; });
        QTest::keyClick(plant()->table(), Qt::Key_O, Qt::ControlModifier);
        QCOMPARE(model().plant().size(), std::size_t{2});
        const std::size_t kiln = model().plant().recorders()[0].name == "Kiln" ? 0 : 1;
        QCOMPARE(model().plant().rows()[kiln].dates.state, RecorderState::Short);
        selectRow(model().rowOf(1 - kiln));
        QVERIFY(!action("act_Plan")->isEnabled());
        selectRow(model().rowOf(kiln));
        QVERIFY(action("act_Plan")->isEnabled());
        QTest::keyClick(plant()->table(), Qt::Key_L, Qt::ControlModifier);
        QCOMPARE(dialog->currentEntries(), model().plant().recorders()[kiln].entries);
        TDetailsWindow* details = dialog->detailsWindow();
        QVERIFY(details != nullptr && details->isVisible());
        QCOMPARE(details->targetWeeks()->value(), 4);
        QCOMPARE(details->medium(), Medium::Card);
        QVERIFY(details->planCount() > 0 && !details->planLines().join("").isEmpty());
        dialog.reset();  // CloseDll: the entries are stored
        QCOMPARE(store->text("Settings\\Channels", "CountAnalog"), QString("40"));
        openDialog();
    }

    // The margin is the store's, and changes there.
    void marginIsRemembered() {
        store->plant("Plant\\MarginDays=400\n");
        openPlant();
        QCOMPARE(plant()->marginField()->value(), kDefaultMarginDays);  // out of range: the default
        plant()->marginField()->setValue(30);
        QCOMPARE(model().plant().marginDays(), 30);
        QCOMPARE(store->text("Plant", "MarginDays"), QString("30"));
        QCOMPARE(plant()->marginField()->maximum(), kLargestMarginDays);
    }
};

QTEST_MAIN(PlantWindowTest)
#include "plant_window_test.moc"
