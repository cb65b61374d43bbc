#include "launcher_dialog.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QPushButton>
#include <QSettings>
#include <QSignalSpy>
#include <QStringList>
#include <QTest>

#include "host_settings.h"
#include "host_test_support.h"
#include "version_info.h"

using capacimo::host::Tdlg_Main;
using host_test::CallsOf;
using host_test::HostSettingsFile;
using host_test::IsLoaded;
using host_test::PlaceFixture;
using host_test::ScratchDir;
namespace fs = std::filesystem;

namespace {

struct Box {
    QString text;
    QString caption;
};

QSettings Store() { return QSettings(QSettings::NativeFormat, QSettings::UserScope, "Ostrelwerk", "Capacimo"); }

QStringList Items(const QComboBox* combo) {
    QStringList items;
    for (int i = 0; i < combo->count(); ++i) items << combo->itemText(i);
    return items;
}

}  // namespace

class LauncherDialogTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<ScratchDir> dir_;
    QList<Box> boxes_;
    QStringList diagnostics_;

    std::unique_ptr<Tdlg_Main> Create() {
        Tdlg_Main::Services services;
        services.programDir = QString::fromStdString(dir_->str());
        services.messageBox = [this](const QString& text, const QString& caption) { boxes_.append({text, caption}); };
        services.diagnostic = [this](const std::string& line) { diagnostics_ << QString::fromStdString(line); };
        return std::make_unique<Tdlg_Main>(services);
    }

    void StoreLast(const QVariant& value) {
        QSettings store = Store();
        store.setValue("Settings/Last", value);
    }

    static QVariant StoredLast() { return Store().value("Settings/Last"); }

private slots:
    void init() {
        dir_ = std::make_unique<ScratchDir>();
        boxes_.clear();
        diagnostics_.clear();
        fs::remove_all(HostSettingsFile().parent_path());
    }
    void cleanup() { dir_.reset(); }

    void captionCarriesTheFileVersion() {
        auto dlg = Create();
        QCOMPARE(dlg->windowTitle(), QString("Ostrel Capacimo " HOST_VERSION_TEXT ".0"));
    }

    void layoutFollowsTheDesign() {
        auto dlg = Create();
        // Laid out at 120 pixels per inch, scaled down on a 96 pixels per inch screen.
        const bool design = host_test::AtDesignResolution(dlg.get());
        QCOMPARE(dlg->size(), design ? QSize(343, 82) : QSize(274, 66));
        QCOMPARE(dlg->minimumSize(), dlg->maximumSize());
        QCOMPARE(dlg->cb_Units->geometry(), design ? QRect(10, 10, 324, 24) : QRect(8, 8, 259, 19));
        QCOMPARE(dlg->btn_Execute->geometry(), design ? QRect(12, 45, 214, 30) : QRect(10, 36, 171, 24));
        QCOMPARE(dlg->bln_Close->geometry(), design ? QRect(233, 45, 100, 30) : QRect(186, 36, 80, 24));
        QCOMPARE(dlg->font().pixelSize(), design ? 13 : 10);
        QCOMPARE(dlg->btn_Execute->text(), QString("Execute"));
        QCOMPARE(dlg->bln_Close->text(), QString("Close"));
        QVERIFY(!dlg->btn_Execute->isDefault() && !dlg->btn_Execute->autoDefault());
        QVERIFY(!dlg->bln_Close->isDefault() && !dlg->bln_Close->autoDefault());
        QVERIFY(dlg->windowFlags() & Qt::WindowCloseButtonHint);
        QVERIFY(!dlg->cb_Units->isEditable());
        // Tab order: Close, list, Execute.
        QCOMPARE(dlg->bln_Close->nextInFocusChain(), static_cast<QWidget*>(dlg->cb_Units));
        QWidget* afterList = dlg->cb_Units->nextInFocusChain();
        while (afterList != nullptr && afterList->focusPolicy() == Qt::NoFocus)
            afterList = afterList->nextInFocusChain();
        QCOMPARE(afterList, static_cast<QWidget*>(dlg->btn_Execute));
        // The list's rows are 16 design pixels high.
        dlg->cb_Units->addItems({"Alpha", "beta"});
        QCOMPARE(dlg->cb_Units->view()->sizeHintForRow(1), design ? 16 : 13);
    }

    void listIsSortedIgnoringCase() {
        PlaceFixture("fx_gamma", dir_->path(), "1.so");
        PlaceFixture("fx_beta", dir_->path(), "2.so");
        PlaceFixture("fx_alpha", dir_->Units(), "3.so");
        auto dlg = Create();
        QCOMPARE(Items(dlg->cb_Units), (QStringList{"Alpha", "beta", "Gamma"}));
        // The name list keeps the load order.
        QCOMPARE(dlg->NameList(), (QStringList{"Gamma", "beta", "Alpha"}));
        QVERIFY(dlg->btn_Execute->isEnabled());
        QVERIFY(dlg->cb_Units->isEnabled());
        QVERIFY(boxes_.isEmpty());
    }

    // Files that are no units are left out with a line on stderr only; a
    // failure a unit raises while it is named is also shown in the error box.
    void badCandidatesAreLeftOut() {
        PlaceFixture("fx_alpha", dir_->path(), "alpha.so");
        PlaceFixture("fx_noentries", dir_->path(), "runtime.so");
        PlaceFixture("fx_three", dir_->Units(), "three.so");
        PlaceFixture("fx_blank", dir_->Units(), "blank.so");
        PlaceFixture("fx_namethrows", dir_->Units(), "throws.so");
        host_test::WriteFile(dir_->Units() / "empty.so", "");
        auto dlg = Create();
        QCOMPARE(Items(dlg->cb_Units), QStringList{"Alpha"});
        QCOMPARE(diagnostics_.size(), 5);
        QCOMPARE(boxes_.size(), 1);
        QCOMPARE(boxes_[0].text, QString("name lookup failed."));
        QCOMPARE(boxes_[0].caption, QString("Ostrel Capacimo"));
    }

    void lastSelectsItsUnit_data() {
        QTest::addColumn<QVariant>("last");
        QTest::addColumn<QString>("selected");
        QTest::newRow("exact") << QVariant("Gamma") << "Gamma";
        QTest::newRow("other case") << QVariant("GAMMA") << "Gamma";
        QTest::newRow("vanished unit") << QVariant("Scribent S") << "Alpha";
        QTest::newRow("empty") << QVariant("") << "Alpha";
        QTest::newRow("not stored") << QVariant() << "Alpha";
    }
    void lastSelectsItsUnit() {
        QFETCH(QVariant, last);
        QFETCH(QString, selected);
        if (last.isValid()) StoreLast(last);
        PlaceFixture("fx_gamma", dir_->path(), "g.so");
        PlaceFixture("fx_alpha", dir_->path(), "a.so");
        PlaceFixture("fx_beta", dir_->path(), "b.so");
        auto dlg = Create();
        QCOMPARE(dlg->cb_Units->currentText(), selected);
        QVERIFY(boxes_.isEmpty());
    }

    void closingStoresTheSelectionAsLast() {
        StoreLast("alpha");
        PlaceFixture("fx_alpha", dir_->path(), "a.so");
        PlaceFixture("fx_beta", dir_->path(), "b.so");
        auto dlg = Create();
        dlg->cb_Units->setCurrentIndex(1);
        dlg.reset();
        QCOMPARE(StoredLast(), QVariant("beta"));
    }

    // A damaged store still gives "Last"; a store that cannot be replaced is
    // said in the error box and left as it was.
    void lastSurvivesADamagedStoreAndAFailedSave() {
        fs::create_directories(HostSettingsFile().parent_path());
        host_test::WriteFile(HostSettingsFile(), "[Broken\njunk\n[Settings]\nLast=beta\n\xFF\xFE\n");
        PlaceFixture("fx_alpha", dir_->path(), "a.so");
        PlaceFixture("fx_beta", dir_->path(), "b.so");
        auto dlg = Create();
        QCOMPARE(dlg->cb_Units->currentText(), QString("beta"));
        dlg.reset();
        QVERIFY(boxes_.isEmpty());

        fs::remove(HostSettingsFile());
        fs::create_directories(HostSettingsFile());  // a directory where the file belongs
        dlg = Create();
        dlg.reset();
        QCOMPARE(boxes_.size(), 1);
        QCOMPARE(boxes_[0].caption, QString("Ostrel Capacimo"));
        QCOMPARE(boxes_[0].text, QString::fromUtf8("Fehler beim Setzen der Daten f\xC3\xBCr 'Last'\n") +
                                     QString::fromStdString(HostSettingsFile().string()) + ": not a regular file");
        QVERIFY(fs::is_directory(HostSettingsFile()));
        fs::remove(HostSettingsFile());
    }

    void noUnitsNeitherReadsNorWritesTheStore() {
        auto dlg = Create();
        QVERIFY(!dlg->btn_Execute->isEnabled());
        QVERIFY(!dlg->cb_Units->isEnabled());
        QCOMPARE(dlg->cb_Units->count(), 0);
        QVERIFY(boxes_.isEmpty());  // not before the dialog is shown

        dlg->show();
        QCOMPARE(boxes_.size(), 1);
        QCOMPARE(boxes_[0].text, QString("No units available!"));
        QCOMPARE(boxes_[0].caption, QString("Fehler"));
        dlg->hide();
        dlg->show();
        QCOMPARE(boxes_.size(), 1);  // once only

        QTest::mouseClick(dlg->btn_Execute, Qt::LeftButton);
        dlg.reset();
        QVERIFY(!fs::exists(HostSettingsFile()));
        QVERIFY(!fs::exists(HostSettingsFile().parent_path()));
    }

    void noUnitsKeepsAnEarlierLast() {
        StoreLast("Scribent S");
        auto dlg = Create();
        dlg.reset();
        QCOMPARE(StoredLast(), QVariant("Scribent S"));
    }

    // A "Last" of another type is said once; then the launcher behaves as
    // without one, and closing it stores the selection as text.
    void lastThatIsNotAStringIsShownOnceAndReplaced() {
        StoreLast(QStringList{"Alpha", "beta"});
        PlaceFixture("fx_alpha", dir_->path(), "a.so");
        PlaceFixture("fx_beta", dir_->path(), "b.so");
        auto dlg = Create();
        QCOMPARE(boxes_.size(), 1);
        QCOMPARE(boxes_[0].caption, QString("Ostrel Capacimo"));
        QCOMPARE(boxes_[0].text, QString::fromUtf8("Ung\xC3\xBCltiger Datentyp f\xC3\xBCr 'Last'"));
        QCOMPARE(dlg->cb_Units->currentText(), QString("Alpha"));
        dlg->cb_Units->setCurrentIndex(1);
        dlg.reset();
        QCOMPARE(StoredLast(), QVariant("beta"));
        dlg = Create();
        QCOMPARE(boxes_.size(), 1);
        QCOMPARE(dlg->cb_Units->currentText(), QString("beta"));
    }

    void executeRunsTheSelectedUnitWithTheDialogsWindow() {
        PlaceFixture("fx_alpha", dir_->path(), "a.so");
        PlaceFixture("fx_beta", dir_->path(), "b.so");
        auto dlg = Create();
        dlg->cb_Units->setCurrentIndex(dlg->cb_Units->findText("beta"));
        QTest::mouseClick(dlg->btn_Execute, Qt::LeftButton);
        const auto& entries = dlg->Units().Entries();
        QCOMPARE(CallsOf(entries[0]).init, 0);
        const host_test::Calls beta = CallsOf(entries[1]);
        QCOMPARE(beta.init, 1);
        QCOMPARE(beta.execute, 1);
        QCOMPARE(beta.close, 1);
        const host_test::InitArguments args = host_test::LastInitOf(entries[1]);
        QCOMPARE(args.parent, static_cast<UnitWindowHandle>(dlg->winId()));
        QCOMPARE(args.reserved1, -1);
        QCOMPARE(args.reserved2, 0);

        QTest::mouseClick(dlg->btn_Execute, Qt::LeftButton);  // again, without reloading
        QCOMPARE(CallsOf(entries[1]).execute, 2);

        // Enter on the focused button presses it, as Space does; the focus
        // shows from the start, before any key moved it.
        dlg->show();
        QVERIFY(QTest::qWaitForWindowActive(dlg.get()));
        QVERIFY(dlg->testAttribute(Qt::WA_KeyboardFocusChange));
        dlg->btn_Execute->setFocus();
        QTest::keyClick(dlg->btn_Execute, Qt::Key_Return);
        QTest::keyClick(dlg->btn_Execute, Qt::Key_Enter, Qt::KeypadModifier);
        QCOMPARE(CallsOf(entries[1]).execute, 4);
        QVERIFY(dlg->isVisible());
        dlg->bln_Close->setFocus();
        QTest::keyClick(dlg->bln_Close, Qt::Key_Return);
        QVERIFY(!dlg->isVisible());
    }

    void eitherTwinRunsTheOneLoadedFirst() {
        PlaceFixture("fx_twin", dir_->path(), "twin.so");
        PlaceFixture("fx_twin", dir_->Units(), "twin.so");
        auto dlg = Create();
        QCOMPARE(Items(dlg->cb_Units), (QStringList{"Twin", "Twin"}));
        const auto& entries = dlg->Units().Entries();
        for (int item : {1, 0}) {
            dlg->cb_Units->setCurrentIndex(item);
            QTest::mouseClick(dlg->btn_Execute, Qt::LeftButton);
        }
        QCOMPARE(CallsOf(entries[0]).execute, 2);
        QCOMPARE(CallsOf(entries[1]).init, 0);
    }

    void aFailingUnitIsShownAndClosed() {
        const fs::path thrower = PlaceFixture("fx_thrower", dir_->path(), "thrower.so");
        auto dlg = Create();
        const auto& module = dlg->Units().Entries()[0];
        host_test::ThrowIn(module, 2);
        QTest::mouseClick(dlg->btn_Execute, Qt::LeftButton);
        QCOMPARE(boxes_.size(), 1);
        QCOMPARE(boxes_[0].text, QString("ExecuteDLL exploded."));
        QCOMPARE(boxes_[0].caption, QString("Ostrel Capacimo"));
        QCOMPARE(CallsOf(module).close, 1);
    }

    void closeButtonClosesEscapeDoesNot() {
        PlaceFixture("fx_alpha", dir_->path(), "a.so");
        auto dlg = Create();
        QSignalSpy finished(dlg.get(), &QDialog::finished);
        dlg->show();
        QVERIFY(QTest::qWaitForWindowExposed(dlg.get()));
        QTest::keyClick(dlg.get(), Qt::Key_Escape);
        QVERIFY(dlg->isVisible());
        QCOMPARE(finished.count(), 0);
        QTest::mouseClick(dlg->bln_Close, Qt::LeftButton);
        QVERIFY(!dlg->isVisible());
        QCOMPARE(finished.count(), 1);
    }

    void destroyingUnloadsEveryUnit() {
        const fs::path a = PlaceFixture("fx_alpha", dir_->path(), "a.so");
        const fs::path b = PlaceFixture("fx_beta", dir_->Units(), "b.so");
        auto dlg = Create();
        QVERIFY(IsLoaded(a) && IsLoaded(b));
        dlg.reset();
        QVERIFY(!IsLoaded(a));
        QVERIFY(!IsLoaded(b));
    }
};

int main(int argc, char** argv) {
    host_test::UsePrivateConfigHome();
    host_test::DefaultToDesignResolution();
    QApplication app(argc, argv);
    LauncherDialogTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "launcher_dialog_test.moc"
