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
#include <vector>

#include "calculator/details_window.h"
#include "calculator/setup_file.h"
#include "calculator/vocabulary.h"
#include "dialog_fixture.h"

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
    QLabel* status() const { return dialog->findChild<QLabel*>("lbl_Status"); }
    QString shownWeeks(int row) const { return results()->SubItem(row, 0); }

private slots:
    void init() {
        openDialog();
        asked.clear();
        answer.clear();
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
        QStringList boxes;
        setErrorBoxHandler([&boxes](const QString& text) { boxes << text; });
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
        QStringList boxes;
        setErrorBoxHandler([&boxes](const QString& text) { boxes << text; });
        spin("spe_CountAnalog")->setValue(2);
        QVERIFY(!dialog->SaveSetup(path("folder.capacimo")));
        QCOMPARE(boxes.size(), 1);
        QVERIFY(dialog->isWindowModified());
        QCOMPARE(dialog->setupName(), QString("Start"));
    }

    void droppingASetupOpensIt() {
        writeText(path("dropped.capacimo"), writeSetupText(someEntries(), "Dropped"));
        writeText(path("dropped.txt"), writeSetupText(someEntries(), "Text"));
        auto drag = [this](const char* name) {
            QMimeData data;
            data.setUrls({QUrl::fromLocalFile(path(name))});
            QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(dialog.get(), &enter);
            if (!enter.isAccepted()) return false;
            QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(dialog.get(), &drop);
            return true;
        };
        QVERIFY(!drag("dropped.txt"));
        QCOMPARE(dialog->currentEntries(), defaultEntries());
        QVERIFY(drag("dropped.capacimo"));
        QCOMPARE(dialog->currentEntries(), someEntries());
        QCOMPARE(dialog->setupName(), QString("Dropped"));
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
