// The Details window stays in view: where it opens beside the dialog, and
// the heaviest setup on a 1920 x 1200 screen at the resolution CTest sets.
#include <QAbstractScrollArea>
#include <QHeaderView>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QTableWidget>

#include "calculator/details_window.h"
#include "calculator/window_placement.h"
#include "dialog_fixture.h"

using namespace capacimo;
using namespace capacimo::unit;

class DetailsFitTest : public QObject, DialogFixture {
    Q_OBJECT

private slots:
    void init() { openDialog(); }
    void cleanup() { closeDialog(); }

    // Right of the dialog, then left, then below; when nothing has room, the
    // place that leaves the dialog's results in view.
    void opensBesideTheDialog() {
        const QRect screen(0, 0, 1920, 1200);
        const QRect owner(600, 300, 700, 460);
        const QRect results(600, 600, 700, 120);
        auto at = [&](const QRect& d, const QSize& w) { return QRect(besidePosition(d, results, w, screen), w); };
        QCOMPARE(at(owner, {500, 600}).left(), owner.right() + 1 + kBesideGap);
        QCOMPARE(at(owner.translated(300, 0), {500, 600}).right(), owner.left() + 300 - kBesideGap - 1);
        const QRect below = at(QRect(100, 100, 1700, 400), {600, 500});
        QCOMPARE(below.top(), 100 + 400 + kBesideGap);
        for (const QSize& big : {QSize(700, 1150), QSize(1000, 700), QSize(1920, 1200)}) {
            const QRect w = at(QRect(500, 100, 900, 1000), big);
            QVERIFY(screen.contains(w));
            if (big.width() <= 500) QVERIFY(!w.intersects(results));
        }
        // Beside, when the dialog is near the top, the window moves down to
        // stay on the screen, and still does not cover the dialog.
        const QRect low = at(QRect(100, 900, 700, 290), {600, 700});
        QVERIFY(screen.contains(low) && !low.intersects(QRect(100, 900, 700, 290)));
    }

    // The heaviest setup: every writer busy, the longest "without" table.
    void heaviestSetupStaysOnTheScreen() {
        show();
        spin("spe_CountAnalog")->setValue(40);
        spin("spe_CountDigitalOnOff")->setValue(14);
        for (int g = 0; g < kGroups; ++g) {
            const QString suffix = QString::fromStdString(groupSuffix(g));
            spin(qPrintable("spe_GroupIV" + suffix))->setValue(8);
            combo(qPrintable("cb_GroupCycle" + suffix))->setCurrentIndex(1);
        }
        for (int k = 1; k <= 4; ++k) combo(qPrintable(QStringLiteral("cb_Analysis%1").arg(k)))->setCurrentIndex(1);
        dialog->Recalculate();
        dialog->ShowDetails();
        TDetailsWindow* window = dialog->detailsWindow();
        QVERIFY(QTest::qWaitForWindowExposed(window));
        QApplication::processEvents();

        const QRect available = window->screen()->availableGeometry();
        QCOMPARE(qRound(available.height() * window->devicePixelRatio()), 1200);  // in the screen's own pixels
        QVERIFY2(available.contains(window->frameGeometry()),
                 qPrintable(QStringLiteral("%1 ppi: %2 px tall").arg(window->logicalDpiY()).arg(window->height())));
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
