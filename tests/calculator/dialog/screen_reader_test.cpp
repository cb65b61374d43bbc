// What a screen reader hears of the calculator dialog and its plant window,
// through AT-SPI as Qt presents it on Linux: run under
// scripts/openbox_session.sh --screen-reader, which switches the
// accessibility bus on. The test listens on that bus as a
// screen reader does, for the events Qt sends.
#include <QAccessible>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusInterface>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusPendingCall>
#include <QDBusPendingReply>
#include <QDBusVariant>
#include <QLabel>
#include <QMessageBox>
#include <algorithm>
#include <vector>

#include "calculator/plant_window/plant_model.h"
#include "calculator/plant_window/plant_window.h"
#include "tests/calculator/dialog/dialog_fixture.h"

using namespace capacimo;
using namespace capacimo::unit;

namespace {

// One event as it came over the bus: its kind ("showing"), the first detail
// and the accessible it came from.
struct Heard {
    QString kind;
    int detail = 0;
    QString service;
    QString path;
};

}  // namespace

class ScreenReaderTest : public QObject, DialogFixture {
    Q_OBJECT

    QDBusConnection bus{QString()};
    std::vector<Heard> heard;

    // An accessible's property or method result, asked over the bus; the
    // dialog answers from this very thread, so the answer is awaited.
    QVariant answer(const Heard& from, const QString& interface, const QString& method, const QVariantList& args) {
        QDBusMessage call = QDBusMessage::createMethodCall(from.service, from.path, interface, method);
        call.setArguments(args);
        QDBusPendingCall pending = bus.asyncCall(call, 10000);
        if (!QTest::qWaitFor([&] { return pending.isFinished(); }, 10000) || pending.isError()) return {};
        return pending.reply().arguments().value(0);
    }
    QVariant ask(const Heard& from, const QString& interface, const QString& method, const QVariantList& args = {}) {
        const QVariant first = answer(from, interface, method, args);
        return first.canConvert<QDBusVariant>() ? first.value<QDBusVariant>().variant() : first;
    }
    int childCount(const Heard& of) {
        return ask(of, "org.freedesktop.DBus.Properties", "Get", {"org.a11y.atspi.Accessible", "ChildCount"}).toInt();
    }
    Heard child(const Heard& of, int index) {
        const auto reference =
            answer(of, "org.a11y.atspi.Accessible", "GetChildAtIndex", {index}).value<QDBusArgument>();
        Heard found;
        QDBusObjectPath path;
        reference.beginStructure();
        reference >> found.service >> path;
        reference.endStructure();
        found.path = path.path();
        return found;
    }
    // Every accessible below `of` as its role and name, depth first.
    void walk(const Heard& of, QList<QPair<QString, QString>>& into, int depth = 0) {
        const int children = childCount(of);
        for (int i = 0; i < children && depth < 12; ++i) {
            const Heard next = child(of, i);
            into.append({role(next), name(next)});
            walk(next, into, depth + 1);
        }
    }
    QString name(const Heard& from) {
        return ask(from, "org.freedesktop.DBus.Properties", "Get", {"org.a11y.atspi.Accessible", "Name"}).toString();
    }
    QString role(const Heard& from) { return ask(from, "org.a11y.atspi.Accessible", "GetRoleName").toString(); }

    // The messages the status line was heard showing, each read when it came.
    QStringList said;
    std::size_t read = 0;
    void listen() {
        for (; read < heard.size(); ++read)
            if (heard[read].kind == "showing" && heard[read].detail == 1 && role(heard[read]) == "notification")
                said << name(heard[read]);
    }
    // Waits until everything sent so far has come: a caption hidden and shown
    // is heard after it.
    void hearAll() {
        auto* caption = dialog->findChild<QLabel*>("lbl_CFSize");
        const std::size_t before = heard.size();
        caption->hide();
        caption->show();
        QTRY_VERIFY_WITH_TIMEOUT(std::any_of(heard.begin() + static_cast<std::ptrdiff_t>(before), heard.end(),
                                             [](const Heard& h) { return h.kind == "showing" && h.detail == 1; }),
                                 20000);
        listen();
    }

public slots:
    void stateChanged(const QDBusMessage& m) {
        heard.push_back({m.arguments().value(0).toString(), m.arguments().value(1).toInt(), m.service(), m.path()});
    }

private slots:
    void initTestCase() {
        // Qt presents its windows once it has found the accessibility bus on.
        QTRY_VERIFY2_WITH_TIMEOUT(QAccessible::isActive(), "no AT-SPI: run under openbox_session.sh --screen-reader",
                                  20000);
        const QDBusMessage address = QDBusConnection::sessionBus().call(
            QDBusMessage::createMethodCall("org.a11y.Bus", "/org/a11y/bus", "org.a11y.Bus", "GetAddress"));
        bus = QDBusConnection::connectToBus(address.arguments().value(0).toString(), "screen reader");
        QVERIFY(bus.isConnected());
        QVERIFY(bus.connect(QString(), QString(), "org.a11y.atspi.Event.Object", "StateChanged", this,
                            SLOT(stateChanged(QDBusMessage))));
        // As a screen reader asks for them: every event of the accessibles.
        const QDBusMessage registered =
            bus.call(QDBusMessage::createMethodCall("org.a11y.atspi.Registry", "/org/a11y/atspi/registry",
                                                    "org.a11y.atspi.Registry", "RegisterEvent")
                     << QString("Object:") << QStringList() << QString());
        QVERIFY2(registered.type() == QDBusMessage::ReplyMessage, qPrintable(registered.errorMessage()));
    }
    void init() { openDialog(); }
    void cleanup() { closeDialog(); }

    // A new message in the status line is said: the line is a notification,
    // and each new message shows it anew. (QAccessible::Alert, the obvious
    // event, never reaches the bus: Qt 6.4's bridge drops it.)
    void newStatusMessagesAreSaid() {
        show();
        // Qt sends events once it has heard of a listener: a caption shown
        // again until one comes.
        auto* caption = dialog->findChild<QLabel*>("lbl_CFSize");
        QTRY_VERIFY_WITH_TIMEOUT((caption->hide(), caption->show(), !heard.empty()), 20000);
        hearAll();
        said.clear();
        spin("spe_CountAnalog")->setValue(25);
        hearAll();
        spin("spe_CountAnalog")->setValue(26);  // the same message: said once
        hearAll();
        spin("spe_CountAnalog")->setValue(0);  // another, while the line shows
        hearAll();
        QCOMPARE(said.size(), 2);
        QVERIFY(said[0].startsWith("Information: this configuration is only possible"));
        QCOMPARE(said[1], QString("Error: There must be at least 1 active analog or digital channel!"));
    }

    // The plant window as a screen reader walks it: a named table whose
    // column headers are the plant's captions, the recorder's name in a cell,
    // and a name on every button and field.
    void thePlantWindowReadsAsANamedTable() {
        show();
        dialog->ShowPlant();
        TPlantWindow* plant = dialog->plantWindow();
        QVERIFY(QTest::qWaitForWindowExposed(plant));
        plant->setCloseQuestion([](QWidget*) { return QMessageBox::Discard; });
        plant->AddCurrentSetup();
        auto* caption = dialog->findChild<QLabel*>("lbl_CFSize");
        QTRY_VERIFY_WITH_TIMEOUT((caption->hide(), caption->show(), !heard.empty()), 20000);
        const Heard application{{}, 0, heard.front().service, "/org/a11y/atspi/accessible/root"};
        Heard window;
        for (int i = 0; i < childCount(application) && window.path.isEmpty(); ++i)
            if (const Heard w = child(application, i); name(w).startsWith(plant->windowTitle().remove("[*]")))
                window = w;
        QVERIFY2(!window.path.isEmpty(), "no plant window on the bus");
        QList<QPair<QString, QString>> seen;
        walk(window, seen);

        QStringList headers, expected;
        for (const auto& [role, text] : seen)
            if (role == "column header") headers << text;
        for (int column = 0; column < plant->model().columnCount(); ++column)
            expected << plant->model().headerData(column, Qt::Horizontal).toString();
        QCOMPARE(headers, expected);
        const QString recorder = QString::fromStdString(plant->model().plant().recorders()[0].name);
        const auto has = [&](const QString& role, const QString& text) {
            return seen.contains(QPair<QString, QString>(role, text));
        };
        QVERIFY2(has("cell", recorder), qPrintable(recorder));
        for (const auto& [role, text] : seen) {
            if (role == "table" || role == "push button" || role == "spin button")
                QVERIFY2(!text.isEmpty(), qPrintable("a " + role + " without a name"));
        }
        QVERIFY(std::any_of(seen.begin(), seen.end(), [](const auto& s) { return s.first == "table"; }));
    }
};

QTEST_MAIN(ScreenReaderTest)
#include "screen_reader_test.moc"
