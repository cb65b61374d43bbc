// The built cp_ktv00xa library, loaded through the platform's loader the way
// the host loads it.
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QLibrary>
#include <QLineEdit>
#include <QTest>
#include <QTimer>
#include <QWindow>
#include <cstring>
#include <functional>

#include "tests/calculator/dialog/test_store.h"
#include "unit_api/unit_entry.h"

class UnitLibraryTest : public QObject {
    Q_OBJECT

    QLibrary library{CAPACIMO_UNIT_PATH};
    GetUnitNameFn getUnitName = nullptr;
    InitDllFn initDll = nullptr;
    ExecuteDLLFn executeDll = nullptr;
    CloseDllFn closeDll = nullptr;

    // Runs the unit's modal dialog; while it is up, act on it and then close it.
    bool execute(const std::function<void(QDialog*)>& whileShown) {
        bool acted = false;
        QTimer::singleShot(0, [&] {
            QTRY_VERIFY(qobject_cast<QDialog*>(QApplication::activeModalWidget()) != nullptr);
            auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            whileShown(dialog);
            acted = true;
            dialog->close();  // as the close box does
        });
        const bool result = executeDll();
        return result && acted;
    }

private slots:
    void initTestCase() {
        QVERIFY2(library.load(), qPrintable(library.errorString()));
        getUnitName = reinterpret_cast<GetUnitNameFn>(library.resolve(unit_api::kGetUnitName));
        initDll = reinterpret_cast<InitDllFn>(library.resolve(unit_api::kInitDll));
        executeDll = reinterpret_cast<ExecuteDLLFn>(library.resolve(unit_api::kExecuteDLL));
        closeDll = reinterpret_cast<CloseDllFn>(library.resolve(unit_api::kCloseDll));
        QVERIFY(getUnitName && initDll && executeDll && closeDll);
    }

    void freshUnitHasNoDialog() {
        QVERIFY(!executeDll());
        QVERIFY(!closeDll());
    }

    void unitName() {
        char buffer[256];
        std::memset(buffer, 'x', sizeof buffer);
        QVERIFY(getUnitName(buffer, 255));
        QCOMPARE(QByteArray(buffer), QByteArray("Scribent S"));
        QCOMPARE(buffer[11], 'x');  // bytes after the terminator are left alone

        std::memset(buffer, 'x', sizeof buffer);
        getUnitName(buffer, 5);
        QCOMPARE(QByteArray(buffer), QByteArray("Scri"));
        QCOMPARE(buffer[5], 'x');

        std::memset(buffer, 'x', sizeof buffer);
        getUnitName(buffer, 1);
        QCOMPARE(buffer[0], '\0');
        QCOMPARE(buffer[1], 'x');

        // No room at all: nothing is written, not even before the buffer.
        std::memset(buffer, 'x', sizeof buffer);
        QVERIFY(getUnitName(buffer + 8, 0));
        QVERIFY(getUnitName(buffer + 8, -1));
        QVERIFY(getUnitName(nullptr, 255));
        for (char c : buffer) QCOMPARE(c, 'x');
    }

    // Two runs in a row: the second shows what the first stored.
    void secondRunShowsWhatTheFirstStored() {
        TestStore store;
        QVERIFY(initDll(0, -1, 0));
        QVERIFY(execute([](QDialog* dialog) {
            QCOMPARE(dialog->windowTitle(), QString("Scribent S"));
            // The unit's classes are its own; the edit is reached through its Qt property.
            dialog->findChild<QLineEdit*>("spe_CountAnalog")->setProperty("Value", 7);
            dialog->findChild<QComboBox*>("cb_CFSize")->setCurrentIndex(3);
        }));
        QVERIFY(closeDll());
        QVERIFY(!closeDll());
        QCOMPARE(store.text("Settings\\Channels", "CountAnalog"), QString("7"));

        QWidget owner;
        owner.show();
        QVERIFY(initDll(static_cast<UnitWindowHandle>(owner.winId()), -1, 0));
        QVERIFY(execute([&owner](QDialog* dialog) {
            QCOMPARE(dialog->findChild<QLineEdit*>("spe_CountAnalog")->property("Value").toInt(), 7);
            QCOMPARE(dialog->findChild<QComboBox*>("cb_CFSize")->currentText(), QString("2 GB"));
            // The unit owns its dialog; the host window only keeps it on top.
            QCOMPARE(dialog->parentWidget(), nullptr);
            QCOMPARE(dialog->windowHandle()->transientParent(), owner.windowHandle());
        }));
        QVERIFY(closeDll());
    }

    // A careless host destroys its window while the unit's dialog exists: the
    // dialog is not destroyed with it, and CloseDll still stores the entries.
    void theHostWindowMayGoFirst() {
        TestStore store;
        auto* owner = new QWidget;
        owner->show();
        QVERIFY(initDll(static_cast<UnitWindowHandle>(owner->winId()), -1, 0));
        delete owner;
        QVERIFY(closeDll());
        QCOMPARE(store.text("Settings\\Channels", "CountAnalog"), QString("1"));
    }
};

QTEST_MAIN(UnitLibraryTest)
#include "unit_library_test.moc"
