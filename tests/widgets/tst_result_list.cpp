#include "widgets/result_list.h"

#include "test_support.h"

#include <QApplication>
#include <QHeaderView>
#include <QLineEdit>
#include <QPainter>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>

namespace {

// Counts the paint events a widget receives.
class PaintCounter : public QObject {
public:
    explicit PaintCounter(QWidget* w) { w->installEventFilter(this); }
    int count = 0;

protected:
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::Paint) ++count;
        return false;
    }
};

// The dialog's result list: a caption column taking the rest, three numbers.
void fillResultList(TdfsEnhListView& list) {
    list.AddColumn(QStringLiteral("Result"), 100, Qt::AlignLeft, true);
    for (const char* caption : {"Weeks", "Days", "Hours"})
        list.AddColumn(QString::fromLatin1(caption), 80, Qt::AlignRight);
    const QStringList zeros = {QStringLiteral("0"), QStringLiteral("0"), QStringLiteral("0")};
    list.AddItem(QStringLiteral("Internal memory"), zeros);
    list.AddItem(QStringLiteral("SD Card"), zeros);
}

// A window with the list between two edits, shown and active.
struct ListWindow {
    QWidget window;
    QLineEdit* before;
    TdfsEnhListView* list;
    QLineEdit* after;
    ListWindow() {
        auto* layout = new QVBoxLayout(&window);
        before = new QLineEdit(&window);
        list = new TdfsEnhListView(&window);
        after = new QLineEdit(&window);
        layout->addWidget(before);
        layout->addWidget(list);
        layout->addWidget(after);
        fillResultList(*list);
        window.resize(480, 200);
        window.show();
        window.activateWindow();
    }
    bool ready() { return QTest::qWaitForWindowActive(&window); }
};

// Paints one row through the list's drawing path onto a recording device.
struct RecordedRow {
    QList<RecordedText> texts;
    QList<RecordedFill> fills;
};
RecordedRow recordRow(TdfsEnhListView& list, int row, TdfsEnhListView::TOwnerDrawState state) {
    RecordingDevice device(QSize(1000, 100), list.logicalDpiY());
    {
        QPainter painter(&device);
        list.DrawItem(&painter, row, QRect(0, 0, list.header()->length(), list.RowHeight()), state);
    }
    return {device.engine().texts, device.engine().fills};
}

bool sameColour(const QColor& a, const QColor& b) {
    // Grabbing may round a channel by one.
    return qAbs(a.red() - b.red()) <= 2 && qAbs(a.green() - b.green()) <= 2 &&
           qAbs(a.blue() - b.blue()) <= 2;
}

bool hasFill(const RecordedRow& r, const QRectF& rect, const QColor& color) {
    for (const RecordedFill& f : r.fills)
        if (f.rect.toAlignedRect() == rect.toAlignedRect() && f.color == color) return true;
    return false;
}

// Asks for default drawing with full-row selection, as the calculator does.
void fullRowHandler(TdfsEnhListView*, QPainter*, int, const QRect&,
                    TdfsEnhListView::TOwnerDrawState, bool& defaultDrawing, bool& fullRowSelect) {
    defaultDrawing = true;
    fullRowSelect = true;
}

}  // namespace

class TestResultList : public QObject {
    Q_OBJECT

private slots:
    void cellsAreReadableThroughModel();
    void subItemsReplacedByIndex();
    void autoSizedColumnTakesRemainingWidth();
    void rowsHaveFixedTextHeight();
    void notTabStopAndUnsorted();

    void updateBracketNestsAndNeverGoesNegative();
    void bracketedRefreshRepaintsOnce();

    void drawItemHookDefaults();
    void hookWithoutDefaultDrawingDrawsNothing();
    void selectionColoursFollowFocusAndHideSelection();
    void cellTextPlacement();
    void narrowColumnElidesNumber();
    void clickedRowHighlightedWhileFocused();
};

void TestResultList::cellsAreReadableThroughModel() {
    TdfsEnhListView list;
    fillResultList(list);
    const QAbstractItemModel* model = list.model();
    QCOMPARE(model->columnCount(), 4);
    QCOMPARE(model->rowCount(), 2);
    QCOMPARE(model->headerData(0, Qt::Horizontal).toString(), QStringLiteral("Result"));
    QCOMPARE(model->headerData(3, Qt::Horizontal).toString(), QStringLiteral("Hours"));
    QCOMPARE(model->index(0, 0).data().toString(), QStringLiteral("Internal memory"));
    QCOMPARE(model->index(1, 0).data().toString(), QStringLiteral("SD Card"));
    QCOMPARE(model->index(1, 2).data().toString(), QStringLiteral("0"));
    const auto align = Qt::Alignment(model->index(0, 1).data(Qt::TextAlignmentRole).toInt());
    QVERIFY(align & Qt::AlignRight);
    QCOMPARE(list.ColumnAlignment(0), Qt::Alignment(Qt::AlignLeft));
    QCOMPARE(list.ColumnAlignment(2), Qt::Alignment(Qt::AlignRight));
    QVERIFY(list.ColumnAutoSize(0));
    QVERIFY(!list.ColumnAutoSize(1));
}

void TestResultList::subItemsReplacedByIndex() {
    TdfsEnhListView list;
    fillResultList(list);
    list.setSubItem(0, 0, QStringLiteral("12"));
    list.setSubItem(0, 2, QStringLiteral("5"));
    list.setSubItem(1, 1, QStringLiteral("-1"));
    QCOMPARE(list.model()->index(0, 1).data().toString(), QStringLiteral("12"));
    QCOMPARE(list.model()->index(0, 2).data().toString(), QStringLiteral("0"));
    QCOMPARE(list.model()->index(0, 3).data().toString(), QStringLiteral("5"));
    QCOMPARE(list.SubItem(1, 1), QStringLiteral("-1"));
    QCOMPARE(list.ItemCaption(0), QStringLiteral("Internal memory"));
    QCOMPARE(list.ItemCaption(1), QStringLiteral("SD Card"));
    QCOMPARE(list.SubItemCount(0), 3);
    // Out-of-range rows and negative indexes are ignored.
    list.setSubItem(7, 0, QStringLiteral("x"));
    list.setSubItem(0, -1, QStringLiteral("x"));
    QCOMPARE(list.ItemCaption(0), QStringLiteral("Internal memory"));
    QCOMPARE(list.SubItem(7, 0), QString());
    // A row with fewer sub-items grows to the index set.
    const int row = list.AddItem(QStringLiteral("short"));
    QCOMPARE(list.SubItemCount(row), 0);
    list.setSubItem(row, 1, QStringLiteral("b"));
    QCOMPARE(list.SubItemCount(row), 2);
    QCOMPARE(list.SubItem(row, 0), QString());
}

void TestResultList::autoSizedColumnTakesRemainingWidth() {
    ListWindow w;
    QVERIFY(w.ready());
    const int viewport = w.list->viewport()->width();
    QCOMPARE(w.list->ColumnWidth(1), 80);
    QCOMPARE(w.list->ColumnWidth(0), viewport - 3 * 80);
    w.list->setColumnWidth(2, 64);  // rescaled number columns
    QCOMPARE(w.list->ColumnWidth(0), viewport - 80 - 64 - 80);
    w.window.resize(600, 200);
    QTRY_COMPARE(w.list->ColumnWidth(0), w.list->viewport()->width() - 80 - 64 - 80);
}

void TestResultList::rowsHaveFixedTextHeight() {
    ListWindow w;
    QVERIFY(w.ready());
    const int expected = QFontMetrics(w.list->font()).height() + 1;
    QCOMPARE(w.list->RowHeight(), expected);
    QCOMPARE(w.list->visualItemRect(w.list->topLevelItem(0)).height(), expected);
    QCOMPARE(w.list->visualItemRect(w.list->topLevelItem(1)).top(), expected);
    QFont big = w.list->font();
    big.setPointSize(big.pointSize() * 2);
    w.list->setFont(big);
    const int bigger = QFontMetrics(big).height() + 1;
    QVERIFY(bigger > expected);
    QTRY_COMPARE(w.list->visualItemRect(w.list->topLevelItem(1)).height(), bigger);
}

void TestResultList::notTabStopAndUnsorted() {
    ListWindow w;
    QVERIFY(w.ready());
    w.before->setFocus(Qt::OtherFocusReason);
    QTest::keyClick(w.before, Qt::Key_Tab);
    QVERIFY(w.after->hasFocus());
    QVERIFY(!w.list->isSortingEnabled());
    QTest::mouseClick(w.list->header()->viewport(), Qt::LeftButton, {},
                      QPoint(w.list->header()->sectionViewportPosition(1) + 10, 5));
    QCOMPARE(w.list->ItemCaption(0), QStringLiteral("Internal memory"));
}

void TestResultList::updateBracketNestsAndNeverGoesNegative() {
    TdfsEnhListView list;
    list.EndUpdate();
    list.EndUpdate();
    QCOMPARE(list.UpdateCount(), 0);
    list.BeginUpdate();  // one begin after surplus ends still suspends
    QCOMPARE(list.UpdateCount(), 1);
    QVERIFY(!list.viewport()->updatesEnabled());
    list.BeginUpdate();
    list.EndUpdate();
    QVERIFY(!list.viewport()->updatesEnabled());
    list.EndUpdate();
    QCOMPARE(list.UpdateCount(), 0);
    QVERIFY(list.viewport()->updatesEnabled());
}

void TestResultList::bracketedRefreshRepaintsOnce() {
    ListWindow w;
    QVERIFY(w.ready());
    QTest::qWait(0);
    PaintCounter paints(w.list->viewport());
    auto refresh = [&](int base) {
        // The calculation lets events through between the rows (busy cursor).
        for (int row = 0; row < 2; ++row) {
            for (int i = 0; i < 3; ++i) w.list->setSubItem(row, i, QString::number(base + i));
            QApplication::processEvents();
        }
    };
    w.list->BeginUpdate();
    refresh(10);
    w.list->EndUpdate();
    QApplication::processEvents();
    QCOMPARE(paints.count, 1);
    QCOMPARE(w.list->SubItem(1, 2), QStringLiteral("12"));

    // Unbracketed, the same refresh repaints once per row: the check above
    // would notice a bracket that suspends nothing.
    paints.count = 0;
    refresh(20);
    QApplication::processEvents();
    QVERIFY(paints.count >= 2);
}

void TestResultList::drawItemHookDefaults() {
    TdfsEnhListView list;
    fillResultList(list);
    list.resize(400, 100);
    // Without a handler the list draws by itself.
    RecordedRow plain = recordRow(list, 0, {});
    QVERIFY(!plain.texts.isEmpty());

    QList<int> rows;
    QList<bool> initialDefault, initialFull;
    connect(&list, &TdfsEnhListView::OnDrawItem, &list,
            [&](TdfsEnhListView* control, QPainter* canvas, int index, const QRect& rect,
                TdfsEnhListView::TOwnerDrawState state, bool& defaultDrawing, bool& fullRow) {
                QCOMPARE(control, &list);
                QVERIFY(canvas);
                QVERIFY(rect.height() > 0);
                Q_UNUSED(state);
                rows << index;
                initialDefault << defaultDrawing;
                initialFull << fullRow;
                defaultDrawing = true;
            });
    list.show();
    QVERIFY(QTest::qWaitForWindowExposed(&list));
    rows.clear();
    initialDefault.clear();
    initialFull.clear();
    list.viewport()->repaint();
    QCOMPARE(rows, (QList<int>{0, 1}));  // once per row and paint
    QCOMPARE(initialDefault, (QList<bool>{false, false}));
    QCOMPARE(initialFull, (QList<bool>{false, false}));
}

void TestResultList::hookWithoutDefaultDrawingDrawsNothing() {
    TdfsEnhListView list;
    fillResultList(list);
    list.resize(400, 100);
    int calls = 0;
    connect(&list, &TdfsEnhListView::OnDrawItem, &list,
            [&](TdfsEnhListView*, QPainter*, int, const QRect&, TdfsEnhListView::TOwnerDrawState,
                bool&, bool&) { ++calls; });
    RecordedRow r = recordRow(list, 0, TdfsEnhListView::odSelected | TdfsEnhListView::odFocused);
    QCOMPARE(calls, 1);
    QVERIFY(r.texts.isEmpty());
    QVERIFY(r.fills.isEmpty());
}

void TestResultList::selectionColoursFollowFocusAndHideSelection() {
    ListWindow w;
    QVERIFY(w.ready());
    TdfsEnhListView& list = *w.list;
    const QPalette pal = list.palette();
    const int rowWidth = list.header()->length();
    const int h = list.RowHeight();
    const QRect full(0, 0, rowWidth, h);
    const QRect first(0, 0, list.ColumnWidth(0), h);
    const auto selected = TdfsEnhListView::TOwnerDrawState(TdfsEnhListView::odSelected);

    // Focused, without full-row selection: only the first column is highlighted.
    list.setFocus(Qt::OtherFocusReason);
    QVERIFY(list.hasFocus());
    RecordedRow r = recordRow(list, 0, selected);
    QVERIFY(hasFill(r, first, pal.color(QPalette::Active, QPalette::Highlight)));
    QVERIFY(!hasFill(r, full, pal.color(QPalette::Active, QPalette::Highlight)));
    QCOMPARE(r.texts.size(), 4);
    QCOMPARE(r.texts[0].color, pal.color(QPalette::Active, QPalette::HighlightedText));
    QCOMPARE(r.texts[1].color, pal.color(QPalette::Text));  // numbers drawn plainly

    // With the calculator's handler, the whole row.
    connect(&list, &TdfsEnhListView::OnDrawItem, &list, &fullRowHandler);
    r = recordRow(list, 0, selected);
    QVERIFY(hasFill(r, full, pal.color(QPalette::Active, QPalette::Highlight)));
    for (const RecordedText& t : r.texts)
        QCOMPARE(t.color, pal.color(QPalette::Active, QPalette::HighlightedText));

    // Unfocused with HideSelection: drawn like any row.
    w.after->setFocus(Qt::OtherFocusReason);
    QVERIFY(!list.hasFocus());
    r = recordRow(list, 0, selected);
    for (const RecordedFill& f : r.fills) QCOMPARE(f.color, pal.color(QPalette::Base));
    for (const RecordedText& t : r.texts) QCOMPARE(t.color, pal.color(QPalette::Text));

    // Unfocused without HideSelection: button face.
    list.setHideSelection(false);
    r = recordRow(list, 0, selected);
    QVERIFY(hasFill(r, full, pal.color(QPalette::Button)));
    QCOMPARE(r.texts[2].color, pal.color(QPalette::ButtonText));
}

void TestResultList::cellTextPlacement() {
    TdfsEnhListView list;
    list.AddColumn(QStringLiteral("Result"), 150, Qt::AlignLeft);
    list.AddColumn(QStringLiteral("Weeks"), 80, Qt::AlignRight);
    list.AddColumn(QStringLiteral("Note"), 90, Qt::AlignLeft);
    list.AddColumn(QStringLiteral("Mid"), 60, Qt::AlignHCenter);
    list.AddItem(QStringLiteral("R&D"), {QStringLiteral("1234"), QStringLiteral("a&b"),
                                         QStringLiteral("7")});
    const QFontMetrics fm(list.font());
    RecordedRow r = recordRow(list, 0, {});
    QCOMPARE(r.texts.size(), 4);
    // "&" is drawn as it is, never as a mnemonic.
    QCOMPARE(r.texts[0].text, QStringLiteral("R&D"));
    QCOMPARE(r.texts[2].text, QStringLiteral("a&b"));
    // Left-aligned caption: 4 pixels in.
    QCOMPARE(qRound(r.texts[0].baseline.x()), 4);
    // Right-aligned number: ends 4 pixels before its column's right edge.
    const qreal numberEnd = r.texts[1].baseline.x() + fm.horizontalAdvance(QStringLiteral("1234"));
    QVERIFY2(qAbs(numberEnd - (150 + 80 - 4)) <= 1, qPrintable(QString::number(numberEnd)));
    // Left-aligned sub-item: 4 + 4 pixels in.
    QCOMPARE(qRound(r.texts[2].baseline.x()), 150 + 80 + 8);
    // Centred sub-item: centred between the narrowed edges.
    const qreal mid = r.texts[3].baseline.x() + fm.horizontalAdvance(QStringLiteral("7")) / 2.0;
    QVERIFY(qAbs(mid - (150 + 80 + 90 + 30)) <= 1);
    // One line, vertically centred in the row.
    const int h = list.RowHeight();
    for (const RecordedText& t : r.texts) {
        const qreal top = t.baseline.y() - fm.ascent();
        QVERIFY(top >= -1 && top + fm.height() <= h + 1);
    }

    // A row with fewer sub-items draws only the cells it has.
    list.AddItem(QStringLiteral("two"), {QStringLiteral("x")});
    QCOMPARE(recordRow(list, 1, {}).texts.size(), 2);
}

void TestResultList::narrowColumnElidesNumber() {
    TdfsEnhListView list;
    fillResultList(list);
    list.setColumnWidth(1, 40);
    const QString number = QStringLiteral("2147483647");
    list.setSubItem(0, 0, number);
    const QFontMetrics fm(list.font());
    QVERIFY(fm.horizontalAdvance(number) > 40 - 8);  // the test needs it not to fit
    RecordedRow r = recordRow(list, 0, {});
    QCOMPARE(r.texts.size(), 4);
    const QString drawn = r.texts[1].text;
    QVERIFY2(drawn.endsWith(QChar(0x2026)), qPrintable(drawn));
    QVERIFY(number.startsWith(drawn.chopped(1)));
    QVERIFY(fm.horizontalAdvance(drawn) <= 40 - 8);
    // Still on the row's one line.
    QCOMPARE(r.texts[1].baseline.y(), r.texts[0].baseline.y());
    // A number that fits is drawn whole.
    list.setColumnWidth(1, 200);
    QCOMPARE(recordRow(list, 0, {}).texts[1].text, number);
}

void TestResultList::clickedRowHighlightedWhileFocused() {
    ListWindow w;
    QVERIFY(w.ready());
    TdfsEnhListView& list = *w.list;
    connect(&list, &TdfsEnhListView::OnDrawItem, &list, &fullRowHandler);
    QList<TdfsEnhListView::TOwnerDrawState> states;
    connect(&list, &TdfsEnhListView::OnDrawItem, &list,
            [&](TdfsEnhListView*, QPainter*, int index, const QRect&,
                TdfsEnhListView::TOwnerDrawState state, bool&, bool&) {
                if (index == 1) states << state;
            });
    const QRect second = list.visualItemRect(list.topLevelItem(1));
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, second.center());
    QVERIFY(list.hasFocus());
    QVERIFY(list.topLevelItem(1)->isSelected());
    states.clear();
    list.viewport()->repaint();
    QVERIFY(!states.isEmpty());
    QCOMPARE(states.last(), TdfsEnhListView::odSelected | TdfsEnhListView::odFocused);

    // The viewport really shows the highlight across the number columns.
    const QImage shot = list.viewport()->grab().toImage();
    const QPoint inHours(list.header()->sectionViewportPosition(3) + 2, second.center().y());
    QVERIFY(sameColour(shot.pixelColor(inHours),
                       list.palette().color(QPalette::Active, QPalette::Highlight)));
    w.after->setFocus(Qt::OtherFocusReason);
    const QImage unfocused = list.viewport()->grab().toImage();
    QVERIFY(sameColour(unfocused.pixelColor(inHours), list.palette().color(QPalette::Base)));
}

QTEST_MAIN(TestResultList)
#include "tst_result_list.moc"
