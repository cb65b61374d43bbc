// The start-up sequence, driven by a fake millisecond counter.
#include "startup.h"

#include <QApplication>
#include <QPushButton>
#include <QSettings>
#include <QTest>
#include <QTimer>

#include "host_test_support.h"
#include "splash.h"

using namespace capacimo::host;
using host_test::HostSettingsFile;
using host_test::PlaceFixture;
using host_test::ScratchDir;

namespace {

// Watches for the launcher to appear, notes the state of things at that
// moment and closes it with its "Close" button.
class LauncherWatcher {
public:
    LauncherWatcher() {
        timer_.setInterval(0);
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            if (dlg_Main == nullptr || !dlg_Main->isVisible()) return;
            timer_.stop();
            seen = true;
            splashGoneWhenShown = dlg_Intro == nullptr;
            QTest::mouseClick(dlg_Main->bln_Close, Qt::LeftButton);
        });
        timer_.start();
    }
    bool seen = false;
    bool splashGoneWhenShown = false;

private:
    QTimer timer_;
};

struct Reading {
    std::uint32_t value;
    bool splashExists;
    bool splashVisible;
};

}  // namespace

class StartupTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<ScratchDir> dir_;
    QStringList boxes_;

    StartupEnvironment Environment(std::function<std::uint32_t()> clock, int* idles) {
        StartupEnvironment env;
        env.tickCount = std::move(clock);
        env.idle = [idles] { ++*idles; };
        env.launcher.programDir = QString::fromStdString(dir_->str());
        env.launcher.messageBox = [this](const QString& text, const QString&) { boxes_ << text; };
        env.launcher.diagnostic = [](const std::string&) {};
        env.errorBox = [this](const std::string& text) { boxes_ << QString::fromStdString(text); };
        return env;
    }

private slots:
    void init() {
        dir_ = std::make_unique<ScratchDir>();
        boxes_.clear();
        std::filesystem::remove_all(HostSettingsFile().parent_path());
    }
    void cleanup() { dir_.reset(); }

    void splashStaysAtLeastOneSecondWhenLoadingIsInstant() {
        PlaceFixture("fx_alpha", dir_->Units(), "alpha.so");
        std::vector<Reading> readings;
        std::uint32_t now = 50000;
        int idles = 0;
        auto clock = [&] {
            readings.push_back({now, dlg_Intro != nullptr, dlg_Intro != nullptr && dlg_Intro->isVisible()});
            const std::uint32_t value = now;
            now += 7;
            return value;
        };
        LauncherWatcher watcher;
        QCOMPARE(RunCapacimo(*qApp, Environment(clock, &idles)), 0);

        QVERIFY(watcher.seen);
        QVERIFY(watcher.splashGoneWhenShown);
        QVERIFY(dlg_Main == nullptr);
        QVERIFY(dlg_Intro == nullptr);
        QVERIFY(readings.size() > 2);
        // The start is read before the splash is shown, every later look while it is up.
        QVERIFY(readings.front().splashExists && !readings.front().splashVisible);
        for (std::size_t i = 1; i < readings.size(); ++i) QVERIFY(readings[i].splashVisible);
        const std::uint32_t waited = readings.back().value - readings.front().value;
        QVERIFY(waited >= 1000 && waited < 1007);
        QCOMPARE(idles, static_cast<int>(readings.size()) - 2);
        QVERIFY(boxes_.isEmpty());
        // Ending the program stored the selection.
        QSettings store(QSettings::NativeFormat, QSettings::UserScope, "Ostrelwerk", "Capacimo");
        QCOMPARE(store.value("Settings/Last").toString(), QString("Alpha"));
    }

    void noWaitWhenLoadingTookLongerThanASecond() {
        std::vector<std::uint32_t> readings;
        const std::uint32_t start = 0xFFFFFF00u;  // and the counter wraps meanwhile
        int idles = 0;
        auto clock = [&] {
            const std::uint32_t value = readings.empty() ? start : start + 1500;
            readings.push_back(value);
            return value;
        };
        LauncherWatcher watcher;
        QCOMPARE(RunCapacimo(*qApp, Environment(clock, &idles)), 0);
        QVERIFY(watcher.seen);
        QCOMPARE(readings.size(), std::size_t{2});
        QCOMPARE(idles, 0);
    }

    void aFailureDuringStartUpIsShownAndTheProgramStillEndsWithZero() {
        PlaceFixture("fx_alpha", dir_->path(), "alpha.so");
        int readings = 0;
        int idles = 0;
        auto clock = [&]() -> std::uint32_t {
            if (++readings == 2) throw std::runtime_error("tick counter unavailable");
            return 0;
        };
        QCOMPARE(RunCapacimo(*qApp, Environment(clock, &idles)), 0);
        QCOMPARE(boxes_, QStringList{"tick counter unavailable"});
        QVERIFY(dlg_Intro == nullptr);
        QVERIFY(dlg_Main == nullptr);
        // The launcher was created before the failure; destroying it still
        // remembered the selection.
        QSettings store(QSettings::NativeFormat, QSettings::UserScope, "Ostrelwerk", "Capacimo");
        QCOMPARE(store.value("Settings/Last").toString(), QString("Alpha"));
    }

    void withoutUnitsTheBoxComesOnceAndTheStoreIsUntouched() {
        std::uint32_t now = 0;
        int idles = 0;
        LauncherWatcher watcher;
        QCOMPARE(RunCapacimo(*qApp, Environment([&] { return now += 100; }, &idles)), 0);
        QVERIFY(watcher.seen);
        QCOMPARE(boxes_, QStringList{"No units available!"});
        QVERIFY(!std::filesystem::exists(HostSettingsFile()));
    }
};

int main(int argc, char** argv) {
    host_test::UsePrivateConfigHome();
    QApplication app(argc, argv);
    StartupTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "startup_test.moc"
