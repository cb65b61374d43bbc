#include "widgets/result_list.h"

#include "test_support.h"

#include <QApplication>
#include <QHeaderView>
#include <QLineEdit>
#include <QTest>
#include <QVBoxLayout>

using namespace capacimo::widgets;

namespace {

// The calculator's list in an active window, between two edits.
struct Window {
    QWidget w;
    QLineEdit* before = new QLineEdit(&w);
    TdfsEnhListView* list = new TdfsEnhListView(&w);
    QLineEdit* after = new QLineEdit(&w);
    explicit Window(bool show = true) {
        auto* l = new QVBoxLayout(&w);
        l->addWidget(before), l->addWidget(list), l->addWidget(after);
        list->AddColumn(QStringLiteral("Result"), 100, Qt::AlignLeft, true);
        for (const char* c : {"Weeks", "Days", "Hours"}) list->AddColumn(QString::fromLatin1(c), 80, Qt::AlignRight);
        for (const char* r : {"Internal memory", "SD Card"})
            list->AddItem(QString::fromLatin1(r), {QStringLiteral("0"), QStringLiteral("0"), QStringLiteral("0")});
        w.resize(480, 200);
        if (show) w.show(), w.activateWindow();
    }
    // One row painted through the list's drawing path.
    std::unique_ptr<RecordingDevice> draw(int row, TdfsEnhListView::TOwnerDrawState state = {}) {
        auto device = std::make_unique<RecordingDevice>(list->logicalDpiY());
        QPainter p(device.get());
        list->DrawItem(&p, row, QRect(0, 0, list->header()->length(), list->RowHeight()), state);
        return device;
    }
};

void fullRow(TdfsEnhListView*, QPainter*, int, const QRect&, TdfsEnhListView::TOwnerDrawState, bool& d, bool& f) {
    d = f = true;  // the calculator's handler
}

bool filled(const RecordingDevice& d, const QRect& r, const QColor& c) {
    for (const Drawn& f : d.fills)
        if (f.rect.toAlignedRect() == r && f.color == c) return true;
    return false;
}

}  // namespace

class TestResultList : public QObject {
    Q_OBJECT
private slots:
    void cellsThroughModelAndSubItemsByIndex();
    void columnsAndRowsGeometry();
    void bracketedRefreshRepaintsOnce();
    void drawItemHookAndSelectionColours();
    void cellTextPlacementAndEllipsis();
};

void TestResultList::cellsThroughModelAndSubItemsByIndex() {
    Window w(false);
    const QAbstractItemModel* m = w.list->model();
    QCOMPARE(m->headerData(3, Qt::Horizontal).toString(), QStringLiteral("Hours"));
    w.list->setSubItem(0, 2, QStringLiteral("5"));
    w.list->setSubItem(1, 0, QStringLiteral("-1"));
    w.list->setSubItem(7, 0, QStringLiteral("x")), w.list->setSubItem(0, -1, QStringLiteral("x"));
    QStringList cells;
    for (int r = 0; r < m->rowCount(); ++r)
        for (int c = 0; c < m->columnCount(); ++c) cells << m->index(r, c).data().toString();
    QCOMPARE(cells.join(u'|'), QStringLiteral("Internal memory|0|0|5|SD Card|-1|0|0"));
    QVERIFY(Qt::Alignment(m->index(0, 1).data(Qt::TextAlignmentRole).toInt()) & Qt::AlignRight);
    const int row = w.list->AddItem(QStringLiteral("short"));  // a row grows to the index set
    w.list->setSubItem(row, 1, QStringLiteral("b"));
    QCOMPARE(w.list->SubItemCount(row), 2);
}

void TestResultList::columnsAndRowsGeometry() {
    Window w;
    QVERIFY(QTest::qWaitForWindowActive(&w.w));
    TdfsEnhListView* list = w.list;
    list->setColumnWidth(2, 64);
    QCOMPARE(list->ColumnWidth(0), list->viewport()->width() - 80 - 64 - 80);  // the rest
    w.w.resize(600, 200);
    QTRY_COMPARE(list->ColumnWidth(0), list->viewport()->width() - 224);
    const int h = QFontMetrics(list->font()).height() + 1;
    QCOMPARE(list->visualItemRect(list->topLevelItem(1)).top(), h);
    QFont big = list->font();
    big.setPointSize(big.pointSize() * 2), list->setFont(big);
    QTRY_COMPARE(list->visualItemRect(list->topLevelItem(1)).height(), QFontMetrics(big).height() + 1);
    w.before->setFocus(), QTest::keyClick(w.before, Qt::Key_Tab);
    QVERIFY(w.after->hasFocus());  // not a tab stop
    QTest::mouseClick(list->header()->viewport(), Qt::LeftButton, {},
                      QPoint(list->header()->sectionViewportPosition(1) + 9, 5));
    QCOMPARE(list->ItemCaption(0), QStringLiteral("Internal memory"));  // no sorting
}

void TestResultList::bracketedRefreshRepaintsOnce() {
    Window w;
    QVERIFY(QTest::qWaitForWindowExposed(&w.w));
    struct Counter : QObject {
        int paints = 0;
        bool eventFilter(QObject*, QEvent* e) override { return paints += e->type() == QEvent::Paint, false; }
    } counter;
    w.list->viewport()->installEventFilter(&counter);
    auto refresh = [&](int base) {  // events get through between the rows (busy cursor)
        for (int row = 0; row < 2; ++row, QApplication::processEvents())
            for (int i = 0; i < 3; ++i) w.list->setSubItem(row, i, QString::number(base + i));
    };
    w.list->EndUpdate();  // a surplus end does not go below 0
    w.list->BeginUpdate(), w.list->BeginUpdate(), w.list->EndUpdate();
    refresh(10);
    w.list->EndUpdate();
    QApplication::processEvents();
    QCOMPARE(counter.paints, 1);
    QCOMPARE(w.list->UpdateCount(), 0);
    counter.paints = 0, refresh(20), QApplication::processEvents();
    QVERIFY(counter.paints >= 2);  // unbracketed, the same refresh paints per row
}

void TestResultList::drawItemHookAndSelectionColours() {
    Window w;
    QVERIFY(QTest::qWaitForWindowActive(&w.w));
    TdfsEnhListView* list = w.list;
    const QPalette pal = list->palette();
    const QColor highlight = pal.color(QPalette::Active, QPalette::Highlight);
    const QRect full(0, 0, list->header()->length(), list->RowHeight());
    const QRect first(0, 0, list->ColumnWidth(0), list->RowHeight());
    const auto selected = TdfsEnhListView::TOwnerDrawState(TdfsEnhListView::odSelected);
    list->setFocus();
    auto d = w.draw(0, selected);  // no handler: default drawing, first column only
    QVERIFY(filled(*d, first, highlight) && !filled(*d, full, highlight));
    QCOMPARE(d->texts[0].color, pal.color(QPalette::Active, QPalette::HighlightedText));
    QCOMPARE(d->texts[1].color, pal.color(QPalette::Text));

    QList<bool> initial;
    auto probe = connect(list, &TdfsEnhListView::OnDrawItem, list,
                         [&](TdfsEnhListView*, QPainter*, int, const QRect&, TdfsEnhListView::TOwnerDrawState, bool& dd,
                             bool& fr) { initial << dd << fr; });
    QVERIFY(w.draw(0, selected)->texts.isEmpty());  // the handler did not ask for default drawing
    QCOMPARE(initial, (QList<bool>{false, false}));
    disconnect(probe);
    connect(list, &TdfsEnhListView::OnDrawItem, list, &fullRow);
    QVERIFY(filled(*w.draw(0, selected), full, highlight));

    // A clicked row is highlighted over its full width while the list has the focus.
    const QRect second = list->visualItemRect(list->topLevelItem(1));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, second.center());
    const QPoint inHours(list->header()->sectionViewportPosition(3) + 2, second.center().y());
    auto near = [](QColor a, QColor b) {
        return qAbs(a.red() - b.red()) + qAbs(a.green() - b.green()) + qAbs(a.blue() - b.blue()) < 6;
    };
    QVERIFY(near(list->viewport()->grab().toImage().pixelColor(inHours), highlight));
    w.after->setFocus();  // without the focus it is drawn plainly (HideSelection)
    QVERIFY(near(list->viewport()->grab().toImage().pixelColor(inHours), pal.color(QPalette::Base)));
    d = w.draw(1, selected);
    for (const Drawn& t : d->texts) QCOMPARE(t.color, pal.color(QPalette::Text));
    list->setHideSelection(false);  // or in the button face
    d = w.draw(1, selected);
    QVERIFY(filled(*d, full, pal.color(QPalette::Button)));
    QCOMPARE(d->texts[2].color, pal.color(QPalette::ButtonText));
}

void TestResultList::cellTextPlacementAndEllipsis() {
    Window w(false);
    TdfsEnhListView* list = w.list;
    list->setColumnAutoSize(0, false), list->setColumnWidth(0, 150);
    list->setColumnAlignment(2, Qt::AlignLeft), list->setColumnAlignment(3, Qt::AlignHCenter);
    list->setColumnWidth(2, 90), list->setColumnWidth(3, 60);
    list->AddItem(QStringLiteral("R&D"), {QStringLiteral("1234"), QStringLiteral("a&b"), QStringLiteral("7")});
    const QFontMetrics fm(list->font());
    auto d = w.draw(2);
    QCOMPARE(d->texts.size(), 4);
    QCOMPARE(d->texts[0].text + d->texts[2].text, QStringLiteral("R&Da&b"));  // "&" drawn plainly
    const auto x = [&](int i) { return d->texts[i].rect.left(); };
    QCOMPARE(qRound(x(0)), 4);                                                            // left: 4 in
    QVERIFY(qAbs(x(1) + fm.horizontalAdvance(QStringLiteral("1234")) - (230 - 4)) <= 1);  // right: 4 from edge
    QCOMPARE(qRound(x(2)), 230 + 8);                                                      // left sub-item: 4 + 4
    QVERIFY(qAbs(x(3) + fm.horizontalAdvance(u'7') / 2.0 - 350) <= 1);                    // centred
    for (const Drawn& t : d->texts)
        QVERIFY(qAbs(t.rect.top() - fm.ascent() - (list->RowHeight() - fm.height()) / 2.0) <= 1);

    list->setColumnWidth(1, 40);  // a number wider than its column
    list->setSubItem(2, 0, QStringLiteral("2147483647"));
    const QString cut = w.draw(2)->texts[1].text;
    QVERIFY2(cut.endsWith(QChar(0x2026)) && QStringLiteral("2147483647").startsWith(cut.chopped(1)), qPrintable(cut));
    QVERIFY(fm.horizontalAdvance(cut) <= 40 - 8);
    list->AddItem(QStringLiteral("two"), {QStringLiteral("x")});  // only the cells a row has
    QCOMPARE(w.draw(3)->texts.size(), 2);
}

QTEST_MAIN(TestResultList)
#include "tst_result_list.moc"
