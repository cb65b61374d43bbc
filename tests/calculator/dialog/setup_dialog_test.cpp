// The calculator dialog with setup files: opening, refusing, saving, dropping
// and the keys of the result list's menu.
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QLabel>
#include <QMimeData>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>
#include <nlohmann/json.hpp>
#include <stdexcept>
#include <vector>

#include "calculator/details/details_window.h"
#include "calculator/files/setup_file.h"
#include "calculator/text/vocabulary.h"
#include "tests/calculator/dialog/dialog_fixture.h"

using namespace capacimo;
using namespace capacimo::unit;

namespace {

// Entries unlike the defaults in every part: counts, a card, an analysis, a group.
CalculatorEntries someEntries() {
    CalculatorEntries e = defaultEntries();
    e.counts.analog = 5;
    e.cardItem = 2;
    e.analysisItems[0] = 3;
    e.cycleItems[1] = 7;
    return e;
}

void writeText(const QString& path, const std::string& text) {
    QFile file(path);
    if (file.open(QIODevice::WriteOnly)) file.write(text.data(), static_cast<qint64>(text.size()));
}

QString pdfText(const QString& program, const QString& path) {
    QProcess p;
    p.start(program, program == "pdfinfo" ? QStringList{path} : QStringList{path, "-"});
    return p.waitForFinished(60000) && p.exitCode() == 0 ? QString::fromUtf8(p.readAllStandardOutput()) : QString();
}

}  // namespace

class SetupDialogTest : public QObject, DialogFixture {
    Q_OBJECT

    QTemporaryDir dir;
    std::vector<Tdlg_Main::FileQuestion> asked;
    QString answer;  // what the file chooser gives back

    QString path(const char* name) const { return dir.filePath(name); }
    // Drags a file onto the dialog and drops it there, as the desktop does;
    // false when the dialog refuses the drag.
    bool drop(const char* name) {
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(path(name))});
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(dialog.get(), &enter);
        if (!enter.isAccepted()) return false;
        QDropEvent dropped(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(dialog.get(), &dropped);
        return true;
    }
    QStringList boxes;  // the error boxes' texts, once catchBoxes() ran
    void catchBoxes() {
        setErrorBoxHandler([this](const QString& text) { boxes << text; });
    }
    QLabel* status() const { return dialog->findChild<QLabel*>("lbl_Status"); }
    QString shownWeeks(int row) const { return results()->SubItem(row, 0); }

private slots:
    void init() {
        openDialog();
        asked.clear();
        answer.clear();
        boxes.clear();
        dialog->setFileChooser([this](QWidget*, const Tdlg_Main::FileQuestion& q) {
            asked.push_back(q);
            return answer;
        });
    }
    void cleanup() { closeDialog(); }

    void openFillsEveryControlOnceAndNamesTheTitle() {
        const CalculatorEntries wanted = someEntries();
        writeText(path("boiler.capacimo"), writeSetupText(wanted, "Boiler house, recorder 3"));
        const int before = dialog->calculationCount();
        QVERIFY(dialog->OpenSetup(path("boiler.capacimo")));
        QCOMPARE(dialog->currentEntries(), wanted);
        QCOMPARE(dialog->calculationCount(), before + 1);
        QCOMPARE(shownWeeks(0), QString::number(Calculator().calculate(wanted).internal.weeks));
        QCOMPARE(dialog->windowTitle(), QString("Scribent S - Boiler house, recorder 3[*]"));
        QVERIFY(!dialog->isWindowModified());
        QVERIFY(status()->isHidden());

        spin("spe_CountAnalog")->setValue(6);
        QVERIFY(dialog->isWindowModified());
        // Remembered as always when the dialog closes.
        dialog.reset();
        dialog = std::make_unique<Tdlg_Main>();
        QCOMPARE(spin("spe_CountAnalog")->Value(), 6);
        QCOMPARE(dialog->windowTitle(), QString("Scribent S"));
    }

    void aRefusedFileChangesNothing() {
        spin("spe_CountAnalog")->setValue(3);
        dialog->PersistSettings();
        const QByteArray stored = store->raw();
        const CalculatorEntries before = dialog->currentEntries();
        const int runs = dialog->calculationCount();
        catchBoxes();
        nlohmann::ordered_json tooMany = setupObject(defaultEntries(), "x");
        tooMany["analog"] = 41;
        for (const std::string& text : {std::string("not json"), tooMany.dump(), std::string("{\"colour\": 1}")}) {
            writeText(path("bad.capacimo"), text);
            QVERIFY(!dialog->OpenSetup(path("bad.capacimo")));
            QVERIFY(boxes.last().contains(QString::fromStdString(readSetupText(text).error)));
        }
        QCOMPARE(boxes.size(), 3);
        QCOMPARE(dialog->currentEntries(), before);
        QCOMPARE(dialog->calculationCount(), runs);
        QCOMPARE(dialog->windowTitle(), QString("Scribent S"));
        dialog->PersistSettings();
        QCOMPARE(store->raw(), stored);
    }

    void missingKeysAreSaidInTheStatusLine() {
        nlohmann::ordered_json partial = setupObject(someEntries(), "Partial");
        partial.erase("analysis1");
        partial.erase("card");
        writeText(path("partial.capacimo"), partial.dump());
        QVERIFY(dialog->OpenSetup(path("partial.capacimo")));
        CalculatorEntries wanted = someEntries();
        wanted.analysisItems[0] = defaultEntries().analysisItems[0];
        wanted.cardItem = defaultEntries().cardItem;
        QCOMPARE(dialog->currentEntries(), wanted);
        QVERIFY(!status()->isHidden());
        QVERIFY(status()->text().contains("card"));
        QVERIFY(status()->text().contains("analysis1"));
        QCOMPARE(status()->palette().color(QPalette::WindowText).blue() > 0, true);
        // Many are counted rather than named ("a, b, c and N more"), and the line still fits.
        const std::string bare = R"({"format": "capacimo-setup", "version": 1, "model": "Scribent S"})";
        const SetupReadResult read = readSetupText(bare);
        QVERIFY(read.setup);
        writeText(path("bare.capacimo"), bare);
        QVERIFY(dialog->OpenSetup(path("bare.capacimo")));
        QCOMPARE(dialog->currentEntries(), defaultEntries());
        const auto named = static_cast<std::size_t>(status()->text().section(u':', 1).count(u',')) + 1;
        QVERIFY(
            status()->text().endsWith(QStringLiteral(" and %1 more.").arg(read.setup->defaultedKeys.size() - named)));
        QVERIFY(status()->width() >= status()->fontMetrics().horizontalAdvance(status()->text()));
    }

    void saveThenOpenGivesTheSameEntries() {
        const CalculatorEntries wanted = someEntries();
        writeText(path("start.capacimo"), writeSetupText(wanted, "Start"));
        QVERIFY(dialog->OpenSetup(path("start.capacimo")));
        spin("spe_CountAnalog")->setValue(7);
        QVERIFY(dialog->isWindowModified());
        answer = path("copy");  // the extension is added
        dialog->SaveSetupAs();
        QCOMPARE(asked.back().save, true);
        QCOMPARE(asked.back().folder, dir.path());  // where the last file came from
        QVERIFY(asked.back().filter.contains("*.capacimo"));
        QVERIFY(!dialog->isWindowModified());
        const CalculatorEntries saved = dialog->currentEntries();

        dialog->ResetToDefaults();
        answer = path("copy.capacimo");
        dialog->OpenSetupAs();
        QCOMPARE(asked.back().save, false);
        QCOMPARE(dialog->currentEntries(), saved);
        QCOMPARE(dialog->windowTitle(), QString("Scribent S - Start[*]"));

        // A failed write is said, and the title keeps its change mark.
        QVERIFY(QDir(dir.path()).mkdir("folder.capacimo"));
        catchBoxes();
        spin("spe_CountAnalog")->setValue(2);
        QVERIFY(!dialog->SaveSetup(path("folder.capacimo")));
        QCOMPARE(boxes.size(), 1);
        QVERIFY(dialog->isWindowModified());
        QCOMPARE(dialog->setupName(), QString("Start"));
    }

    void droppingASetupOpensIt() {
        writeText(path("dropped.capacimo"), writeSetupText(someEntries(), "Dropped"));
        writeText(path("dropped.txt"), writeSetupText(someEntries(), "Text"));
        QVERIFY(!drop("dropped.txt"));
        QCOMPARE(dialog->currentEntries(), defaultEntries());
        QVERIFY(drop("dropped.capacimo"));
        QCOMPARE(dialog->currentEntries(), someEntries());
        QCOMPARE(dialog->setupName(), QString("Dropped"));
    }

    // A failure that escapes a handler (here a reader that throws, as the
    // JSON library's number overflow once did) is shown in the error box, and
    // the dialog goes on with the user's entries: from the menu's key, from a
    // drop and from the Details window's button.
    void failuresInHandlersLeaveTheDialogStanding() {
        show();
        spin("spe_CountAnalog")->setValue(7);
        const CalculatorEntries entered = dialog->currentEntries();
        catchBoxes();
        dialog->setSetupReader([](const QString&) -> SetupReadResult {
            throw std::out_of_range("[json.exception.out_of_range.406] number overflow parsing '1e400'");
        });
        answer = path("huge.capacimo");
        QTest::keyClick(dialog.get(), Qt::Key_O, Qt::ControlModifier);
        QVERIFY(drop("huge.capacimo"));
        dialog->ShowDetails();
        dialog->setFileChooser(
            [](QWidget*, const Tdlg_Main::FileQuestion&) -> QString { throw std::runtime_error("No file dialog"); });
        dialog->detailsWindow()->saveReportButton()->click();
        QCOMPARE(boxes.size(), 3);
        QVERIFY(boxes[0].contains("number overflow parsing '1e400'"));
        QCOMPARE(boxes[1], boxes[0]);
        QCOMPARE(boxes[2], QString("No file dialog."));
        QVERIFY(dialog->isVisible() && dialog->detailsWindow()->isVisible());
        QCOMPARE(dialog->currentEntries(), entered);
        spin("spe_CountAnalog")->setValue(8);  // and it still calculates
        QCOMPARE(shownWeeks(0), QString::number(Calculator().calculate(dialog->currentEntries()).internal.weeks));
    }

    // The file dialogs start where a file was last opened or saved; a folder
    // where that failed (as saving into /proc does) is not offered again.
    void onlyAFolderThatWorkedIsOfferedAgain() {
        writeText(path("good.capacimo"), writeSetupText(someEntries(), "Good"));
        QVERIFY(dialog->OpenSetup(path("good.capacimo")));
        catchBoxes();
        QVERIFY(!dialog->SaveSetup(path("missing/setup.capacimo")));
        QVERIFY(!dialog->SaveReport(path("missing/report.pdf")));
        QVERIFY(!dialog->OpenSetup(path("missing/setup.capacimo")));
        QCOMPARE(boxes.size(), 3);
        dialog->OpenSetupAs();
        QCOMPARE(asked.back().folder, dir.path());
    }

    // Only a real change marks the title: choosing the same card again does
    // not, and going back to the entries as saved takes the mark away.
    void onlyRealChangesMarkTheTitle() {
        writeText(path("card.capacimo"), writeSetupText(someEntries(), "Card"));
        QVERIFY(dialog->OpenSetup(path("card.capacimo")));
        QComboBox* card = combo("cb_CFSize");
        emit card->activated(card->currentIndex());
        QVERIFY(!dialog->isWindowModified());
        const int analog = spin("spe_CountAnalog")->Value();
        spin("spe_CountAnalog")->setValue(analog + 1);
        QVERIFY(dialog->isWindowModified());
        spin("spe_CountAnalog")->setValue(analog);
        QVERIFY(!dialog->isWindowModified());
    }

    // Ctrl+Z takes back the last Reset or file open, once: the entries, the
    // title and its change mark. A field keeps the key for its own typing
    // while it has any to undo.
    void undoBringsBackWhatResetOrOpenReplaced() {
        show();
        writeText(path("start.capacimo"), writeSetupText(someEntries(), "Start"));
        QVERIFY(dialog->OpenSetup(path("start.capacimo")));
        spin("spe_CountAnalog")->setValue(7);
        const CalculatorEntries before = dialog->currentEntries();
        auto* reset = dialog->findChild<QPushButton*>("btn_Clear");
        reset->setFocus();
        QTest::keyClick(reset, Qt::Key_Return);  // the stray Enter
        QCOMPARE(dialog->currentEntries(), defaultEntries());
        QAction* undo = results()->findChild<QAction*>("act_Undo");
        QCOMPARE(undo->text() + '|' + undo->shortcut().toString(), QString("Undo Reset|Ctrl+Z"));
        QVERIFY(undo->isEnabled());

        pages("pctrl_Stgs")->setActivePage(dialog->findChild<TTab95Sheet*>("tab_ChStgs"));
        TExtSpinEdit* analog = spin("spe_CountAnalog");
        analog->setFocus();
        QTest::keyClicks(analog, "3");
        QTest::keyClick(analog, Qt::Key_Z, Qt::ControlModifier);  // the field's own typing first
        QCOMPARE(analog->text(), QString("1"));
        QVERIFY(dialog->canUndo());
        QTest::keyClick(analog, Qt::Key_Z, Qt::ControlModifier);  // then the Reset
        QCOMPARE(dialog->currentEntries(), before);
        QCOMPARE(dialog->windowTitle(), QString("Scribent S - Start[*]"));
        QVERIFY(dialog->isWindowModified());
        QCOMPARE(shownWeeks(0), QString::number(Calculator().calculate(before).internal.weeks));
        QVERIFY(!undo->isEnabled());
        QTest::keyClick(analog, Qt::Key_Z, Qt::ControlModifier);  // one step only
        QCOMPARE(dialog->currentEntries(), before);

        writeText(path("other.capacimo"), writeSetupText(defaultEntries(), "Other"));
        QVERIFY(drop("other.capacimo"));
        QCOMPARE(undo->text(), QString("Undo open setup"));
        undo->trigger();
        QCOMPARE(dialog->currentEntries(), before);
        QCOMPARE(dialog->setupName(), QString("Start"));
        QVERIFY(dialog->isWindowModified());
    }

    // From the Details window's button: the breakdown and the window's target on one page.
    void saveReportWritesOnePage() {
        show();
        dialog->ShowDetails();
        TDetailsWindow* details = dialog->detailsWindow();
        details->targetWeeks()->setValue(30);
        QPushButton* button = details->saveReportButton();
        QVERIFY(button->focusPolicy() & Qt::TabFocus);
        QVERIFY(!button->accessibleName().isEmpty());
        answer = path("report");
        button->click();
        QCOMPARE(asked.back().filter, QString("PDF files (*.pdf)"));
        QVERIFY(pdfText("pdfinfo", path("report.pdf")).contains(QRegularExpression("Pages:\\s+1\n")));
        const QString text = pdfText("pdftotext", path("report.pdf"));
        QVERIFY(text.contains(QString::fromStdString(std::string(breakdownRowName(BreakdownKind::Overhead)))));
        QVERIFY(text.contains("30 weeks"));
        // Without the window, no target.
        details->hide();
        QVERIFY(dialog->SaveReport(path("plain.pdf")));
        QVERIFY(!pdfText("pdftotext", path("plain.pdf")).contains("30 weeks"));
    }

    void shortcutsAskForFiles() {
        show();
        QList<QAction*> actions = results()->actions();
        QStringList shown;
        for (QAction* a : actions) shown << a->text() + '|' + a->shortcut().toString();
        QVERIFY(shown.contains("Open setup...|Ctrl+O"));
        QVERIFY(shown.contains("Save setup as...|Ctrl+S"));
        QTest::keyClick(dialog.get(), Qt::Key_O, Qt::ControlModifier);
        QTest::keyClick(dialog.get(), Qt::Key_S, Qt::ControlModifier);
        QCOMPARE(asked.size(), std::size_t{2});
        QCOMPARE(asked[0].save, false);
        QCOMPARE(asked[1].save, true);
    }
};

QTEST_MAIN(SetupDialogTest)
#include "setup_dialog_test.moc"
