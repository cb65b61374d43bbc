// The unit's settings store: reading, writing and what the dialog makes of stored values.
#include <sys/stat.h>
#include <QComboBox>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QProcess>
#include <QTest>
#include <limits>
#include <memory>

#include "calculator/dialog.h"
#include "calculator/settings.h"
#include "common/settings_store.h"
#include "common/ui/error_box.h"
#include "tests/calculator/dialog/test_store.h"

using namespace capacimo;
using namespace capacimo::unit;

class SettingsTest : public QObject {
    Q_OBJECT

    std::unique_ptr<TestStore> store;
    QStringList errors;

    std::unique_ptr<Tdlg_Main> openDialog() { return std::make_unique<Tdlg_Main>(); }
    static int count(Tdlg_Main& d, const char* name) { return d.findChild<TExtSpinEdit*>(name)->Value(); }
    static QString list(Tdlg_Main& d, const char* name) { return d.findChild<QComboBox*>(name)->currentText(); }

private slots:
    void init() {
        store = std::make_unique<TestStore>();
        errors.clear();
        setErrorBoxHandler([this](const QString& text) { errors << text; });
    }
    void cleanup() {
        setErrorBoxHandler({});
        CloseSettingsKey();
        store.reset();
    }

    void readAndWriteRoundTrip() {
        QCOMPARE(ReadSettingInteger("Settings", "CFSize", 3, true), 3);
        QVERIFY(!SettingsKeyOpen());
        WriteSettingInteger("Settings\\Group0A", "SaveCycle", -17, false);
        QVERIFY(SettingsKeyOpen());
        CloseSettingsKey();
        QCOMPARE(store->text("Settings\\Group0A", "SaveCycle"), QString("-17"));
        QCOMPARE(ReadSettingInteger("Settings\\Group0A", "SaveCycle", 0, true), -17);
        QCOMPARE(ReadSettingInteger("Settings\\Group0A", "Missing", 5, true), 5);
        QCOMPARE(ReadSettingInteger("Settings\\Nowhere", "SaveCycle", 6, true), 6);
    }

    void valuesOfAnotherTypeGiveTheDefault() {
        store->plant(
            "Settings\\CFSize=@Variant(\\0\\0\\0\\x2\\0\\0\\0\\x3)\n"
            "Settings\\Analysis1=1, 2\n"
            "Settings\\Analysis2=@ByteArray(3)\n");
        QCOMPARE(ReadSettingInteger("Settings", "CFSize", 1, false), 1);
        QCOMPARE(ReadSettingInteger("Settings", "Analysis1", 2, false), 2);
        QCOMPARE(ReadSettingInteger("Settings", "Analysis2", 0, true), 0);
    }

    void firstRunShowsDefaultsAndStoresAll45Values() {
        {
            auto d = openDialog();
            QCOMPARE(list(*d, "cb_CFSize"), QString("256 MB"));
            for (const char* name : {"cb_Analysis1", "cb_Analysis2", "cb_Analysis3", "cb_Analysis4"}) {
                QCOMPARE(list(*d, name), QString("no"));
            }
            QCOMPARE(count(*d, "spe_CountAnalog"), 1);
            QCOMPARE(count(*d, "spe_GroupIV00"), 1);
            QCOMPARE(count(*d, "spe_GroupIV01"), 0);
            QCOMPARE(list(*d, "cb_GroupCycle00"), QString("1min"));
            QCOMPARE(list(*d, "cb_GroupCycle09"), QString("1min"));
            QVERIFY(!store->contains("Settings", "CFSize"));
        }
        for (const Entry& e : entryTable()) {
            const QString section = QString::fromStdString(e.section);
            const QString name = QString::fromStdString(e.name);
            QVERIFY2(store->contains(section, name), qPrintable(section + '\\' + name));
        }
        QCOMPARE(store->text("Settings\\Group00", "SaveCycle"), QString("11"));
        QCOMPARE(store->text("Settings\\Group05", "SaveCycle"), QString("10"));
        QCOMPARE(store->text("Settings\\Channels", "CountAnalog"), QString("1"));
        // Written as text, not as a typed value.
        QVERIFY(store->raw().contains("Settings\\Channels\\CountAnalog=1\n"));
        QVERIFY(errors.isEmpty());
    }

    void storedCountsAreClampedByTheirFields() {
        const struct {
            const char* stored;
            int shown;
        } cases[] = {{"55", 40}, {"-3", 0}, {"letters", 1}, {"", 1}};
        for (const auto& c : cases) {
            store->plant(QByteArray("Settings\\Channels\\CountAnalog=") + c.stored + "\n");
            auto d = openDialog();
            QCOMPARE(count(*d, "spe_CountAnalog"), c.shown);
        }
    }

    void storedListPositionsOutsideAListShowTheFirstEntry() {
        store->plant(
            "Settings\\CFSize=7\nSettings\\Analysis2=-1\nSettings\\Analysis1=15\n"
            "Settings\\Group00\\SaveCycle=1\nSettings\\Group01\\SaveCycle=1\n"
            "Settings\\Group02\\SaveCycle=25\nSettings\\Group03\\SaveCycle=17\n"
            "Settings\\Group04\\SaveCycle=18\n");
        auto d = openDialog();
        QCOMPARE(list(*d, "cb_CFSize"), QString("256 MB"));
        QCOMPARE(list(*d, "cb_Analysis2"), QString("no"));
        QCOMPARE(list(*d, "cb_Analysis1"), QString("12h"));
        QCOMPARE(list(*d, "cb_GroupCycle00"), QString("100ms"));
        QCOMPARE(list(*d, "cb_GroupCycle01"), QString("1s"));
        QCOMPARE(list(*d, "cb_GroupCycle02"), QString("Off"));
        QCOMPARE(list(*d, "cb_GroupCycle03"), QString("1h"));
        QCOMPARE(list(*d, "cb_GroupCycle04"), QString("Off"));
    }

    void contradictingStoredCountsAfterLoading() {
        store->plant(
            "Settings\\Channels\\CountAnalog=3\nSettings\\Channels\\CountAnalogIntegr=5\n"
            "Settings\\Channels\\CountAnalogIC=0\nSettings\\Channels\\CountMathIV=2\n"
            "Settings\\Channels\\CountMathIVIntegr=5\n");
        auto d = openDialog();
        QCOMPARE(count(*d, "spe_CountAnalogIntegr"), 3);
        QCOMPARE(count(*d, "spe_CountMathIVIntegr"), 5);
        auto* status = d->findChild<QLabel*>("lbl_Status");
        QCOMPARE(status->text(), QString("Error: To many math totalizer!"));
        QVERIFY(!status->isHidden());
        // The invalid combination is stored unchanged.
        d.reset();
        QCOMPARE(store->text("Settings\\Channels", "CountMathIVIntegr"), QString("5"));
    }

    void aCountThatIsNotANumberIsStoredAsZero() {
        {
            auto d = openDialog();
            d->findChild<TExtSpinEdit*>("spe_CountDigitalOnOff")->setText("-");
            d->findChild<TExtSpinEdit*>("spe_GroupState03")->setText("abc");
        }
        QCOMPARE(store->text("Settings\\Channels", "CountDigitalOnOff"), QString("0"));
        QCOMPARE(store->text("Settings\\Group03", "CountGroupState"), QString("0"));
    }

    void savingUnchangedEntriesRewritesTheSameTexts() {
        { auto d = openDialog(); }
        const QByteArray first = store->raw();
        { auto d = openDialog(); }
        QCOMPARE(store->raw(), first);
    }

    // A damaged line in the store costs only itself: the values around it are
    // shown, and closing the dialog keeps them and the damaged line as they were.
    void aDamagedLineCostsOnlyItself() {
        store->plantRaw(
            "[Broken\n[ScribentS]\nSettings\\CFSize=3\nSettings\\Channels\\CountAnalog=7\n"
            "this line is junk\nSettings\\Channels\\CountDigitalOnOff=5\n[Broken\n"
            "Settings\\Group00\\CountGroupIV=4\n");
        {
            auto d = openDialog();
            QCOMPARE(list(*d, "cb_CFSize"), QString("2 GB"));
            QCOMPARE(count(*d, "spe_CountAnalog"), 7);
            QCOMPARE(count(*d, "spe_CountDigitalOnOff"), 5);
            QCOMPARE(count(*d, "spe_GroupIV00"), 4);
        }
        QVERIFY(errors.isEmpty());
        QCOMPARE(store->raw().count("this line is junk\n"), 1);
        auto d = openDialog();
        QCOMPARE(count(*d, "spe_CountAnalog"), 7);
        QCOMPARE(count(*d, "spe_GroupIV00"), 4);
    }

    // capacimo-calc --from-settings computes what the dialog shows for the
    // same store: every value differs, some lie outside their list or range,
    // some contradict each other.
    void dialogAndCommandLineReadTheStoreAlike() {
        store->plant(
            "Settings\\CFSize=2\nSettings\\Analysis1=3\nSettings\\Analysis2=9\nSettings\\Analysis3=2\n"
            "Settings\\Analysis4=4\nSettings\\Channels\\CountAnalog=12\n"
            "Settings\\Channels\\CountAnalogIntegr=30\nSettings\\Channels\\CountAnalogIC=2\n"
            "Settings\\Channels\\CountDigitalCounter=3\nSettings\\Channels\\CountDigitalOnOffOptTime=4\n"
            "Settings\\Channels\\CountDigitalOnOff=5\nSettings\\Channels\\CountMathIV=3\n"
            "Settings\\Channels\\CountMathIVIntegr=5\nSettings\\Channels\\CountMathState=2\n"
            "Settings\\Channels\\CountMathCounter=1\nSettings\\Group00\\SaveCycle=1\n"
            "Settings\\Group00\\CountGroupIV=3\nSettings\\Group00\\CountGroupState=2\n"
            "Settings\\Group01\\SaveCycle=25\nSettings\\Group01\\CountGroupIV=9\n"
            "Settings\\Group02\\SaveCycle=4\nSettings\\Group02\\CountGroupIV=2\n"
            "Settings\\Group02\\CountGroupState=7\nSettings\\Group03\\SaveCycle=-1\n"
            "Settings\\Group05\\CountGroupState=abc\nSettings\\Group07\\SaveCycle=17\n"
            "Settings\\Group07\\CountGroupState=1\n");
        auto d = openDialog();
        d->show();
        const auto* results = d->findChild<TdfsEnhListView*>("lvw_Result");
        QProcess calc;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("XDG_CONFIG_HOME", store->directory());
        calc.setProcessEnvironment(env);
        calc.start(CAPACIMO_CALC_PATH, {"--from-settings", "--json"});
        QVERIFY(calc.waitForFinished(60000));
        const QJsonObject json = QJsonDocument::fromJson(calc.readAllStandardOutput()).object();
        const QJsonArray rows = json["results"].toArray();
        QCOMPARE(rows.size(), 2);
        for (int r = 0; r < 2; ++r) {
            const QJsonObject row = rows[r].toObject();
            QCOMPARE(QStringList({results->SubItem(r, 0), results->SubItem(r, 1), results->SubItem(r, 2)}),
                     QStringList({QString::number(row["weeks"].toInt()), QString::number(row["days"].toInt()),
                                  QString::number(row["hours"].toInt())}));
        }
        QCOMPARE(json["bytes_per_two_hours"].toInt(), Calculator().calculate(d->currentEntries()).written);
        QCOMPARE(json["status"].toObject()["text"].toString(), d->findChild<QLabel*>("lbl_Status")->text());
        const QJsonArray groups = json["groups"].toArray();
        for (int g = 0; g < kGroups; ++g) {
            QJsonArray channels;
            for (std::int16_t ch : d->recorderSetup().groups[g].channels) channels.append(ch);
            QCOMPARE(groups[g].toObject()["channels"].toArray(), channels);
            QCOMPARE(groups[g].toObject()["cycle"].toString(),
                     QString::fromStdString(storageCycleText(d->storageCycleCodes()[g])));
        }
    }

    void aCorruptStoreGivesTheDefaults() {
        QByteArray garbage;
        for (int i = 0; i < 4096; ++i) garbage.append(static_cast<char>((i * 7919) & 0xFF));
        store->plantRaw(garbage);
        auto d = openDialog();
        QCOMPARE(count(*d, "spe_CountAnalog"), 1);
        QCOMPARE(list(*d, "cb_CFSize"), QString("256 MB"));
        QCOMPARE(list(*d, "cb_GroupCycle00"), QString("1min"));
        // Saving replaces the damage with good values.
        d.reset();
        QVERIFY2(errors.isEmpty(), qPrintable(errors.join('|')));
        for (const Entry& e : entryTable()) {
            QVERIFY(store->contains(QString::fromStdString(e.section), QString::fromStdString(e.name)));
        }
    }

    // A store that cannot be written: the user reads why, the dialog goes away
    // all the same, and nothing beside the store's own file is touched.
    void anUnwritableStoreReportsTheFailure() {
        QDir(store->directory()).mkpath("Ostrelwerk/Capacimo.conf");  // a directory where the file belongs
        {
            auto d = openDialog();
            QCOMPARE(count(*d, "spe_CountAnalog"), 1);
        }
        // The message, then the file and why.
        QCOMPARE(errors.size(), 1);
        QCOMPARE(errors[0].section('\n', 0, 0), QString("Erzeugung von Schlüssel Settings misslungen."));
        QCOMPARE(errors[0].section('\n', 1), store->filePath() + ": not a regular file");
        QVERIFY(!SettingsKeyOpen());
        const QStringList entries =
            QDir(store->directory() + "/Ostrelwerk").entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
        QStringList unexpected;
        for (const QString& e : entries) {
            if (!e.startsWith("Capacimo.conf")) unexpected << e;
        }
        QVERIFY2(unexpected.isEmpty(), qPrintable(unexpected.join(", ")));
        QVERIFY(QDir(store->directory()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).size() == 1);
    }

    // The command line tells a missing store (the defaults, a note) from one
    // it cannot read (one line naming the file, exit status 2, no result).
    void theCommandLineSaysWhatIsWrongWithTheStore() {
        auto run = [this](int& code, QByteArray& out) {
            QProcess calc;
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            env.insert("XDG_CONFIG_HOME", store->directory());
            calc.setProcessEnvironment(env);
            calc.start(CAPACIMO_CALC_PATH, {"--from-settings"});
            if (!calc.waitForFinished(60000)) return QByteArray("hangs");
            code = calc.exitCode();
            out = calc.readAllStandardOutput();
            return calc.readAllStandardError();
        };
        int code = -1;
        QByteArray out;
        const QByteArray path = store->filePath().toUtf8();
        QByteArray err = run(code, out);
        QCOMPARE(code, 0);
        QVERIFY(out.contains("Internal memory    1879"));
        QVERIFY2(err.startsWith("capacimo-calc: " + path + ": "), err.constData());

        QDir(store->directory()).mkpath("Ostrelwerk/Capacimo.conf");
        err = run(code, out);
        QCOMPARE(err, "capacimo-calc: " + path + ": not a regular file\n");
        QCOMPARE(code, 2);
        QVERIFY(out.isEmpty());
        QDir(store->directory()).rmdir("Ostrelwerk/Capacimo.conf");

        QVERIFY(mkfifo(path.constData(), 0600) == 0);
        err = run(code, out);
        QCOMPARE(err, "capacimo-calc: " + path + ": not a regular file\n");
        QFile::remove(store->filePath());

        store->plant("Settings\\CFSize=1\n");
        QVERIFY(QFile(store->filePath()).resize(SettingsStore::kLargestFile + 1));
        err = run(code, out);
        QVERIFY2(err.startsWith("capacimo-calc: " + path + ": larger than"), err.constData());
        QCOMPARE(code, 2);
    }
};

QTEST_MAIN(SettingsTest)
#include "settings_test.moc"
