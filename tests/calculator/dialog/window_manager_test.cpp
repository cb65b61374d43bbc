// The calculator dialog and its Details window under a real window manager:
// openbox on a private X server (scripts/openbox_session.sh starts both, at
// the resolution CTest names). Where Details opens, its frame included, for
// the defaults and for the heaviest setup, and that it stays above the
// dialog when the dialog is clicked; where the plant window opens. The figures are printed; with
// CAPACIMO_SCREENSHOTS=DIR the screen is saved there as PNG files.
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QHeaderView>
#include <QProcess>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QSpinBox>
#include <QTableView>
#include <QTemporaryDir>
#include <QWindow>
#include <vector>

#include "calculator/details/details_window.h"
#include "calculator/plant_window/plant_model.h"
#include "calculator/plant_window/plant_window.h"
#include "tests/calculator/dialog/dialog_fixture.h"

// After Qt: Xlib defines macros (Status, Bool) that Qt's headers also use.
#include <X11/Xatom.h>
#include <X11/Xlib.h>

using namespace capacimo;
using namespace capacimo::unit;

namespace {

// The X server as the window manager sees it, in the screen's own pixels.
class XServer {
public:
    XServer() : display_(XOpenDisplay(nullptr)) {}
    ~XServer() {
        if (display_ != nullptr) XCloseDisplay(display_);
    }
    XServer(const XServer&) = delete;
    XServer& operator=(const XServer&) = delete;

    bool open() const { return display_ != nullptr; }
    // The screen (openbox draws no panels that would take a part of it).
    QRect screen() const {
        return QRect(0, 0, DisplayWidth(display_, DefaultScreen(display_)),
                     DisplayHeight(display_, DefaultScreen(display_)));
    }
    bool managed() const { return !windows(DefaultRootWindow(display_), "_NET_SUPPORTING_WM_CHECK").empty(); }

    // Client windows from the bottom to the top.
    std::vector<unsigned long> stacking() const {
        return windows(DefaultRootWindow(display_), "_NET_CLIENT_LIST_STACKING");
    }

    // The window with the frame the window manager drew around it: the client
    // area's place on the screen grown by _NET_FRAME_EXTENTS. Empty before the
    // window manager has framed it.
    QRect frame(unsigned long window) const {
        const std::vector<unsigned long> extents = cardinals(window, "_NET_FRAME_EXTENTS");
        if (extents.size() != 4) return {};
        int x = 0;
        int y = 0;
        Window child = 0;
        XTranslateCoordinates(display_, window, DefaultRootWindow(display_), 0, 0, &x, &y, &child);
        XWindowAttributes attributes;
        XGetWindowAttributes(display_, window, &attributes);
        const auto e = [&extents](int i) { return static_cast<int>(extents[static_cast<std::size_t>(i)]); };
        return QRect(x, y, attributes.width, attributes.height).marginsAdded(QMargins(e(0), e(2), e(1), e(3)));
    }

private:
    std::vector<unsigned long> cardinals(unsigned long window, const char* name) const {
        return property(window, name, XA_CARDINAL);
    }
    std::vector<unsigned long> windows(unsigned long window, const char* name) const {
        return property(window, name, XA_WINDOW);
    }
    std::vector<unsigned long> property(unsigned long window, const char* name, Atom type) const {
        Atom actual = 0;
        int format = 0;
        unsigned long count = 0;
        unsigned long after = 0;
        unsigned char* data = nullptr;
        std::vector<unsigned long> values;
        if (XGetWindowProperty(display_, window, XInternAtom(display_, name, False), 0, 4096, False, type, &actual,
                               &format, &count, &after, &data) == Success &&
            data != nullptr) {
            if (format == 32) {
                const auto* longs = reinterpret_cast<const unsigned long*>(data);
                values.assign(longs, longs + count);
            }
            XFree(data);
        }
        return values;
    }

    Display* display_;
};

// Real input, through the X server, as the window manager sees a person's.
bool xdotool(const QStringList& arguments) {
    QProcess p;
    p.start(QStringLiteral("xdotool"), arguments);
    return p.waitForFinished(20000) && p.exitCode() == 0;
}

}  // namespace

class WindowManagerTest : public QObject, DialogFixture {
    Q_OBJECT

    XServer x;
    std::unique_ptr<QWidget> launcher;  // the host's window, which the dialog belongs to
    int step = 0;

    // A Qt rectangle in device-independent pixels, in the screen's own.
    QRect native(const QRect& r) const {
        const qreal ratio = dialog->devicePixelRatioF();
        return QRect(QPoint(qRound(r.left() * ratio), qRound(r.top() * ratio)),
                     QPoint(qRound((r.right() + 1) * ratio) - 1, qRound((r.bottom() + 1) * ratio) - 1));
    }
    QRect globalRect(const QWidget* w) const { return native(QRect(w->mapToGlobal(QPoint(0, 0)), w->size())); }
    TDetailsWindow* details() const { return dialog->detailsWindow(); }

    // As the host runs the unit: the dialog above the launcher, centred on
    // the screen, modal.
    void showLikeTheHost() {
        launcher = std::make_unique<QWidget>();
        launcher->setWindowTitle("Launcher");
        launcher->resize(300, 80);
        launcher->show();
        QVERIFY(QTest::qWaitForWindowExposed(launcher.get()));
        dialog->createWinId();
        dialog->windowHandle()->setTransientParent(launcher->windowHandle());
        dialog->move(dialog->screen()->availableGeometry().center() - dialog->rect().center());
        dialog->setWindowModality(Qt::ApplicationModal);
        show();
        QTRY_VERIFY(!x.frame(dialog->winId()).isEmpty() && !dialog->windowHandle()->frameMargins().isNull());
    }

    // Opens Details with its key and waits until the window manager has
    // framed it and it stays where it is.
    QRect openDetails() {
        dialog->activateWindow();
        if (!QTest::qWaitForWindowActive(dialog.get())) return {};
        if (!xdotool({"key", "--clearmodifiers", "ctrl+d"})) return {};
        if (!QTest::qWaitFor([this] { return details() != nullptr && details()->isVisible(); })) return {};
        return settled(details()->winId());
    }
    QRect settled(unsigned long window) {
        QRect last;
        for (int i = 0; i < 100; ++i) {
            QTest::qWait(150);
            const QRect now = x.frame(window);
            if (!now.isEmpty() && now == last) return now;
            last = now;
        }
        return last;
    }

    void screenshot(const char* name) {
        const QString dir = qEnvironmentVariable("CAPACIMO_SCREENSHOTS");
        if (dir.isEmpty()) return;
        QDir().mkpath(dir);
        const QString file = QStringLiteral("%1/%2-%3ppi-%4.png")
                                 .arg(dir)
                                 .arg(++step, 2, 10, QChar(u'0'))
                                 .arg(qRound(dialog->screen()->logicalDotsPerInch() * dialog->devicePixelRatioF()))
                                 .arg(QString::fromLatin1(name));
        QVERIFY(dialog->screen()->grabWindow(0).save(file));
    }

    // Details, frame and all, on the screen; beside the dialog where there is
    // room; clear of the dialog's results and buttons where there is room.
    void verifyPlacement(const char* setup, const QRect& frame) { verifyBeside(setup, details(), frame); }
    void verifyBeside(const char* setup, const QWidget* window, const QRect& frame) {
        const QRect owner = x.frame(dialog->winId());
        const QRect kept = globalRect(results()).united(globalRect(dialog->findChild<QWidget*>("pnl_Bottom")));
        const QRect screen = x.screen();
        qInfo(
            "%s, %d ppi: screen %dx%d; dialog frame %d,%d %dx%d; results and buttons %d,%d %dx%d; "
            "%s frame %d,%d %dx%d (client top %d)",
            setup, qRound(dialog->screen()->logicalDotsPerInch() * dialog->devicePixelRatioF()), screen.width(),
            screen.height(), owner.x(), owner.y(), owner.width(), owner.height(), kept.x(), kept.y(), kept.width(),
            kept.height(), qPrintable(window->objectName()), frame.x(), frame.y(), frame.width(), frame.height(),
            globalRect(window).y());
        QVERIFY2(screen.contains(frame), "the window's frame leaves the screen");
        QVERIFY2(frame.top() < globalRect(window).top(), "no title bar above the client area");
        auto roomBeside = [&](const QRect& around) {
            return frame.width() <= std::max(screen.right() - around.right(), around.left() - screen.left()) ||
                   frame.height() <= std::max(screen.bottom() - around.bottom(), around.top() - screen.top());
        };
        if (roomBeside(owner)) QVERIFY2(!frame.intersects(owner), "over the dialog although there was room");
        if (roomBeside(kept)) QVERIFY2(!frame.intersects(kept), "over the results although there was room");
    }

    // One window above another in the window manager's stacking order.
    bool above(unsigned long upper, unsigned long lower) const {
        const std::vector<unsigned long> order = x.stacking();
        const auto at = [&order](unsigned long w) { return std::find(order.begin(), order.end(), w) - order.begin(); };
        return at(upper) > at(lower);
    }
    bool detailsAbove() const { return above(details()->winId(), dialog->winId()); }

    // The dialog as the host shows it on a fixed day, then Ctrl+P: the plant
    // window, active, its questions answered "Discard"; null when it did not come.
    TPlantWindow* openPlantByKeyboard(FixedClock& clock) {
        dialog->setClock(clock);
        showLikeTheHost();
        dialog->activateWindow();
        if (!QTest::qWaitForWindowActive(dialog.get()) || !xdotool({"key", "--clearmodifiers", "ctrl+p"}))
            return nullptr;
        if (!QTest::qWaitFor(
                [&] { return dialog->plantWindow() != nullptr && dialog->plantWindow()->isActiveWindow(); }))
            return nullptr;
        dialog->plantWindow()->setCloseQuestion([](QWidget*) { return QMessageBox::Discard; });
        return dialog->plantWindow();
    }

private slots:
    void initTestCase() {
        QCOMPARE(QGuiApplication::platformName(), QString("xcb"));
        QVERIFY2(x.open() && x.managed(), "no window manager: run under scripts/openbox_session.sh");
    }
    void init() { openDialog(); }
    void cleanup() {
        closeDialog();
        launcher.reset();
    }

    void detailsOpensBesideTheDialog() {
        showLikeTheHost();
        const QRect frame = openDetails();
        screenshot("defaults");
        verifyPlacement("defaults", frame);
    }

    // The heaviest setup makes the window tallest and widest: entered before
    // it opens, and while it is open, when it grows.
    void heaviestSetupOpensBesideTheDialog() {
        showLikeTheHost();
        enter(heaviestEntries());
        verifyPlacement("heaviest", openDetails());
        screenshot("heaviest");
        details()->close();
        enter(defaultEntries());
        openDetails();
        enter(heaviestEntries());
        const QRect grown = settled(details()->winId());
        screenshot("grown");
        verifyPlacement("grown", grown);
    }

    // With the keyboard alone, through the window manager: every page in
    // turn, its first field focused and showing it; Details and its button.
    void keyboardAloneReachesEverything() {
        showLikeTheHost();
        QStringList asked;
        dialog->setFileChooser([&asked](QWidget*, const Tdlg_Main::FileQuestion& q) {
            asked << q.caption;
            return QString();
        });
        QCOMPARE(QApplication::focusWidget(), combo("cb_CFSize"));
        QStringList walked;
        for (int page = 0; page < 16; ++page) {
            QWidget* from = QApplication::focusWidget();
            QVERIFY(xdotool({"key", "--clearmodifiers", "ctrl+Tab"}));
            QTRY_VERIFY(QApplication::focusWidget() != from);
            QWidget* field = QApplication::focusWidget();
            walked << field->objectName();
            QVERIFY2(field->isVisible() && field->window()->testAttribute(Qt::WA_KeyboardFocusChange),
                     qPrintable(field->objectName()));
            QTest::qWait(50);
            screenshot(qPrintable("page-" + field->objectName()));
        }
        // Round to the first page, whose first field under the card size is its text.
        QCOMPARE(walked.first(), QString("cb_Analysis1"));
        QCOMPARE(walked.last(), QString("mmo_Info"));
        QVERIFY(walked.contains("spe_CountMathIV") && walked.contains("cb_GroupCycle09"));

        QVERIFY(xdotool({"key", "--clearmodifiers", "ctrl+d"}));
        QTRY_VERIFY(details() != nullptr && details()->isActiveWindow());
        settled(details()->winId());
        for (int i = 0; i < 8 && QApplication::focusWidget() != details()->saveReportButton(); ++i) {
            QVERIFY(xdotool({"key", "Tab"}));
            QTest::qWait(100);
        }
        QCOMPARE(QApplication::focusWidget(), details()->saveReportButton());
        screenshot("details-save-report");
        QVERIFY(xdotool({"key", "Return"}));
        QTRY_COMPARE(asked, QStringList{"Save report"});
        QVERIFY(xdotool({"key", "Escape"}));
        QTRY_VERIFY(!details()->isVisible());
    }

    // Moved by the user, the window stays where it was put when it grows.
    void aWindowTheUserMovedStaysThere() {
        showLikeTheHost();
        openDetails();
        QVERIFY(xdotool({"windowmove", "--sync", QString::number(details()->winId()), "40", "60"}));
        const QRect moved = settled(details()->winId());
        enter(heaviestEntries());
        const QRect grown = settled(details()->winId());
        QVERIFY(grown.height() > moved.height());
        QVERIFY(qAbs(grown.left() - moved.left()) <= 2);  // Qt's rounding at a fractional scale
        QVERIFY(x.screen().contains(grown));
    }

    // The plant window beside the dialog too, opened and worked with the keyboard alone.
    void plantOpensBesideTheDialog() {
        FixedClock clock(dateOf({2026, 3, 1}));
        TPlantWindow* plant = openPlantByKeyboard(clock);
        QVERIFY(plant != nullptr);
        const QRect frame = settled(plant->winId());
        screenshot("plant");
        verifyBeside("plant", plant, frame);
        // It narrows or shortens rather than cover the results and buttons,
        // for which every screen here has room beside the dialog.
        const QRect kept = globalRect(results()).united(globalRect(dialog->findChild<QWidget*>("pnl_Bottom")));
        QVERIFY2(!frame.intersects(kept), "the plant window covers the results or the buttons");
        for (int i = 0; i < 3; ++i) QVERIFY(xdotool({"key", "--clearmodifiers", "ctrl+n"}));
        QTRY_COMPARE(plant->model().rowCount(), 3);
        QVERIFY(xdotool({"key", "Delete"}));
        QTRY_COMPARE(plant->model().rowCount(), 2);
        QVERIFY(xdotool({"key", "--clearmodifiers", "ctrl+z"}));
        QTRY_COMPARE(plant->model().rowCount(), 3);
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(plant->table()));
        QVERIFY(xdotool({"key", "Tab"}));
        QTRY_COMPARE(QApplication::focusWidget(), plant->findChild<QWidget*>("btn_AddSetup"));
        QVERIFY(plant->testAttribute(Qt::WA_KeyboardFocusChange));
        QTest::qWait(100);
        screenshot("plant-keyboard");
        QVERIFY(xdotool({"key", "Escape"}));
        QTRY_VERIFY(!plant->isVisible());
    }

    // Twelve recorders whose names have 30 characters: the plant window
    // shows every column and every name whole, its frame on the screen. A
    // recorder opened from it brings the dialog up, titled with it; Ctrl+P
    // brings the plant up again. The size and place the user gives it, and
    // its file, come back with a dialog of another day.
    void plantWindowShowsItsWholeTable() {
        QTemporaryDir dir;
        const QString file = dir.filePath("plant.csv");
        QFile csv(file);
        QVERIFY(csv.open(QIODevice::WriteOnly));
        csv.write("name,start,target,medium,card,analog,group1.cycle,group1.values\n");
        for (int i = 0; i < 12; ++i) {
            csv.write(QStringLiteral("\"Kesselhaus Nord, Schreiber %1W\",2026-0%2-1%3,26w,sd,1 GB,%4,1s,4\n")
                          .arg(i, 2, 10, QChar(u'0'))
                          .arg(1 + i % 3)
                          .arg(i % 9)
                          .arg(4 + i)
                          .toUtf8());
        }
        csv.close();
        FixedClock clock(dateOf({2026, 3, 1}));
        TPlantWindow* plant = openPlantByKeyboard(clock);
        QVERIFY(plant != nullptr);
        QVERIFY(plant->OpenPlant(file));
        const QRect frame = settled(plant->winId());
        screenshot("plant-whole");
        qInfo("plant frame %d,%d %dx%d on %dx%d", frame.x(), frame.y(), frame.width(), frame.height(),
              x.screen().width(), x.screen().height());
        QVERIFY2(x.screen().contains(frame), "the plant window's frame leaves the screen");
        QTableView* table = plant->table();
        QHeaderView* header = table->horizontalHeader();
        QVERIFY2(table->horizontalScrollBar()->maximum() == 0, "the table scrolls sideways");
        for (int column = 0; column < header->count(); ++column) {
            QVERIFY2(
                header->sectionViewportPosition(column) + header->sectionSize(column) <= table->viewport()->width(),
                qPrintable(QStringLiteral("column %1 is cut").arg(column)));
        }
        const QFontMetrics metrics = table->fontMetrics();
        for (int row = 0; row < 12; ++row) {
            const QString name = plant->model().index(row, 0).data().toString();
            QCOMPARE(name.size(), 30);
            QVERIFY2(metrics.horizontalAdvance(name) < header->sectionSize(0), qPrintable(name));
        }
        QVERIFY2(table->verticalScrollBar()->maximum() == 0, "the twelve rows do not fit");

        // Enter opens the recorder: the dialog comes up, titled with it.
        table->selectRow(0);
        const QString name = plant->model().index(0, 0).data().toString();
        QVERIFY(xdotool({"key", "Return"}));
        QTRY_VERIFY(dialog->isActiveWindow());
        QTRY_COMPARE(dialog->windowTitle(), QStringLiteral("Scribent S - %1, plant plant.csv").arg(name));
        QTest::qWait(300);
        screenshot("plant-recorder-in-dialog");
        QVERIFY2(above(dialog->winId(), plant->winId()), "the plant window stays over the dialog");
        QVERIFY(xdotool({"key", "--clearmodifiers", "ctrl+p"}));
        QTRY_VERIFY(plant->isActiveWindow());
        QTest::qWait(300);
        QVERIFY2(above(plant->winId(), dialog->winId()), "Ctrl+P leaves the plant window under the dialog");

        // Moved and sized by the user, it comes back so, with its file.
        QVERIFY(xdotool({"windowsize", "--sync", QString::number(plant->winId()), "700", "500"}));
        QVERIFY(xdotool({"windowmove", "--sync", QString::number(plant->winId()), "30", "40"}));
        const QRect chosen = settled(plant->winId());
        QVERIFY(xdotool({"key", "Escape"}));
        QTRY_VERIFY(!plant->isVisible());
        dialog.reset();  // the store stays: another day's dialog
        dialog = std::make_unique<Tdlg_Main>();
        dialog->setClock(clock);
        showLikeTheHost();
        dialog->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(dialog.get()));
        QVERIFY(xdotool({"key", "--clearmodifiers", "ctrl+p"}));
        QTRY_VERIFY(dialog->plantWindow() != nullptr && dialog->plantWindow()->isVisible());
        dialog->plantWindow()->setCloseQuestion([](QWidget*) { return QMessageBox::Discard; });
        const QRect again = settled(dialog->plantWindow()->winId());
        QVERIFY2((again.topLeft() - chosen.topLeft()).manhattanLength() <= 4 &&
                     qAbs(again.width() - chosen.width()) <= 4 && qAbs(again.height() - chosen.height()) <= 4,
                 qPrintable(QStringLiteral("back at %1,%2 %3x%4")
                                .arg(again.x())
                                .arg(again.y())
                                .arg(again.width())
                                .arg(again.height())));
        QCOMPARE(dialog->plantWindow()->model().rowCount(), 12);
        QCOMPARE(dialog->plantWindow()->filePath(), file);
    }

    void clickingTheDialogKeepsDetailsAbove() {
        showLikeTheHost();
        openDetails();
        QVERIFY(detailsAbove());
        const QPoint inside = globalRect(dialog->findChild<QWidget*>("mmo_Info")).center();
        QVERIFY(
            xdotool({"mousemove", "--sync", QString::number(inside.x()), QString::number(inside.y()), "click", "1"}));
        QTRY_VERIFY(dialog->isActiveWindow());
        QTest::qWait(300);
        screenshot("clicked");
        QVERIFY2(detailsAbove(), "the dialog came up over the Details window");
    }
};

QTEST_MAIN(WindowManagerTest)
#include "window_manager_test.moc"
