// The Details window stays in view: where it opens beside the dialog, and
// the heaviest setup on a 1920 x 1200 screen at the resolution CTest sets.
#include <QAbstractScrollArea>
#include <QHeaderView>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QTableWidget>

#include "calculator/details/details_window.h"
#include "tests/calculator/dialog/dialog_fixture.h"
#include "widgets/window_placement.h"

using namespace capacimo;
using namespace capacimo::unit;
using namespace capacimo::widgets;

class DetailsFitTest : public QObject, DialogFixture {
    Q_OBJECT

private slots:
    void init() { openDialog(); }
    void cleanup() { closeDialog(); }

    // Right of the dialog, then left, then below, then above; when nothing
    // has room, the place that leaves the dialog's figures in view, then its
    // results.
    void opensBesideTheDialog() {
        const QRect screen(0, 0, 1920, 1200);
        const QRect owner(600, 300, 700, 460);
        const QRect results(600, 600, 700, 120);
        auto at = [&](const QRect& d, const QSize& w, const std::vector<QRect>& keep) {
            return QRect(besidePosition(d, keep, w, screen), w);
        };
        QCOMPARE(at(owner, {500, 600}, {results}).left(), owner.right() + 1 + kBesideGap);
        QCOMPARE(at(owner.translated(300, 0), {500, 600}, {results}).right(), owner.left() + 300 - kBesideGap - 1);
        const QRect below = at(QRect(100, 100, 1700, 400), {600, 500}, {results});
        QCOMPARE(below.top(), 100 + 400 + kBesideGap);
        const QRect above = at(QRect(100, 700, 1700, 400), {600, 500}, {results});
        QCOMPARE(above.bottom(), 700 - kBesideGap - 1);
        for (const QSize& big : {QSize(700, 1150), QSize(1000, 700), QSize(1920, 1200)}) {
            const QRect w = at(QRect(500, 100, 900, 1000), big, {results});
            QVERIFY(screen.contains(w));
            if (big.width() <= 500) QVERIFY(!w.intersects(results));
        }
        // Beside, when the dialog is near the bottom, the window moves up to
        // stay on the screen, and still does not cover the dialog.
        const QRect low = at(QRect(100, 900, 700, 290), {600, 700}, {results});
        QVERIFY(screen.contains(low) && !low.intersects(QRect(100, 900, 700, 290)));
        // Too wide for either side and too tall for above or below: over the
        // dialog's captions rather than its figures on their right.
        const QRect centred(560, 300, 800, 560);
        const QRect figures(1000, 700, 360, 120);
        const QRect over = at(centred, {700, 1100}, {figures, QRect(560, 700, 800, 160)});
        QVERIFY(!over.intersects(figures));
        QVERIFY(over.intersects(centred));
        // Short enough to end above the results: over the dialog's pages only.
        const QRect onPages = at(centred, {700, 500}, {QRect(560, 700, 800, 160)});
        QVERIFY(onPages.bottom() < 700);
    }

    // The heaviest setup: every writer busy, the longest "without" table.
    void heaviestSetupStaysOnTheScreen() {
        show();
        enter(heaviestEntries());
        dialog->ShowDetails();
        TDetailsWindow* window = dialog->detailsWindow();
        QVERIFY(QTest::qWaitForWindowExposed(window));
        QApplication::processEvents();

        const QRect available = window->screen()->availableGeometry();
        QCOMPARE(qRound(available.height() * window->devicePixelRatio()), 1200);  // in the screen's own pixels
        QVERIFY2(available.contains(window->frameGeometry()), qPrintable(QStringLiteral("%1 ppi: %2 px tall at %3,%4")
                                                                             .arg(window->logicalDpiY())
                                                                             .arg(window->height())
                                                                             .arg(window->frameGeometry().x())
                                                                             .arg(window->frameGeometry().y())));
        // All of the contents can be reached: what the window lacks scrolls.
        QWidget* contents = window->scrollArea()->widget();
        QVERIFY(contents->height() >= contents->minimumSizeHint().height());
        QTableWidget* table = window->withoutTable();
        QCOMPARE(table->rowCount(), 15);
        const int lastRow = table->rowViewportPosition(14) + table->rowHeight(14);
        QVERIFY(lastRow <= table->viewport()->height());
        QVERIFY(table->geometry().bottom() <= contents->height());
        const bool scrolls = window->scrollArea()->verticalScrollBar()->maximum() > 0;
        QCOMPARE(scrolls, contents->minimumSizeHint().height() > window->scrollArea()->viewport()->height());
        // Beside the dialog where there is room; else clear of its results.
        const QRect owner = dialog->frameGeometry();
        const int room = std::max(available.right() - owner.right(), owner.left() - available.left()) - kBesideGap;
        if (window->frameGeometry().width() <= room) QVERIFY(!window->frameGeometry().intersects(owner));
        const QRect list(results()->mapToGlobal(QPoint(0, 0)), results()->size());
        if (window->frameGeometry().width() <=
            std::max(available.right() - list.right(), list.left() - available.left()))
            QVERIFY(!window->frameGeometry().intersects(list));
    }
};

QTEST_MAIN(DetailsFitTest)
#include "details_fit_test.moc"
