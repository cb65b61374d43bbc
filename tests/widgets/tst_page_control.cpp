#include "widgets/page_control.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTabBar>
#include <QTest>
#include <QToolButton>

using namespace capacimo::widgets;

namespace {

// An active window holding a page control whose pages each carry an edit.
struct Window {
    QWidget w;
    TPage95Control* control = new TPage95Control(&w);
    QList<TTab95Sheet*> pages;
    explicit Window(int count, int width = 500) {
        for (int i = 1; i <= count; ++i) {
            pages << new TTab95Sheet(control, QStringLiteral("Group %1").arg(i));
            new QLineEdit(pages.last());
        }
        control->resize(width, 160);
        w.show(), w.activateWindow();
    }
    void clickTab(int i) {
        QTest::mouseClick(control->tabBar(), Qt::LeftButton, {}, control->tabBar()->tabRect(i).center());
    }
    void key(Qt::Key k, Qt::KeyboardModifiers m) { QTest::keyClick(QApplication::focusWidget(), k, m); }
};

}  // namespace

class TestPageControl : public QObject {
    Q_OBJECT
private slots:
    void pagesJoinAndLeaveControls();
    void activePageByCodeRaisesNoChange();
    void userSwitchesRaiseChange();
    void manyTabsStayInOneRowWithScrollButtons();
};

void TestPageControl::pagesJoinAndLeaveControls() {
    TPage95Control first, second;
    auto* a = new TTab95Sheet(&first, QStringLiteral("Information"));
    auto* b = new TTab95Sheet(&first);  // created on the control: joins it
    b->setCaption(QStringLiteral("Analyses & more"));
    auto* c = new TTab95Sheet(&second, QStringLiteral("C"));
    QSignalSpy changes1(&first, &TPage95Control::OnChange), changes2(&second, &TPage95Control::OnChange);
    QCOMPARE(first.tabText(1), QStringLiteral("Analyses & more"));
    QCOMPARE(first.ActivePage(), a);

    a->setPageControl(&second);  // the shown page moves, to the end
    QVERIFY(first.PageCount() == 1 && first.ActivePage() == b && !first.isAncestorOf(a));
    QVERIFY(second.Pages(1) == a && second.isAncestorOf(a) && second.ActivePage() == c);
    QCOMPARE(second.tabText(1), QStringLiteral("Information"));
    second.addPage(a);
    QCOMPARE(a->PageIndex(), 1);

    std::unique_ptr<TTab95Sheet> loose(b);
    b->setPageControl(nullptr);
    QVERIFY(first.PageCount() == 0 && b->parent() == nullptr && b->PageIndex() == -1);
    QPointer<TTab95Sheet> gone(c);
    delete a;  // a page destroyed leaves its control quietly
    QCOMPARE(second.ActivePage(), c);
    QCOMPARE(changes1.count() + changes2.count(), 0);
    {
        TPage95Control doomed;
        c->setPageControl(&doomed);
    }
    QVERIFY(gone.isNull());  // the control takes its pages along
}

void TestPageControl::activePageByCodeRaisesNoChange() {
    Window w(10);
    TPage95Control other;
    auto* foreign = new TTab95Sheet(&other, QStringLiteral("Foreign"));
    QSignalSpy changes(w.control, &TPage95Control::OnChange);
    w.control->setActivePage(w.pages[6]);
    QVERIFY(w.control->ActivePage() == w.pages[6] && w.pages[6]->isVisible() && !w.pages[0]->isVisible());
    for (TTab95Sheet* ignored : {foreign, (TTab95Sheet*)nullptr}) w.control->setActivePage(ignored);
    QCOMPARE(w.control->ActivePage(), w.pages[6]);
    QCOMPARE(foreign->PageControl(), &other);
    QCOMPARE(changes.count(), 0);
}

void TestPageControl::userSwitchesRaiseChange() {
    Window w(3);
    QVERIFY(QTest::qWaitForWindowActive(&w.w));
    auto* inner = new TPage95Control(w.pages[2]);
    auto* analog = new TTab95Sheet(inner, QStringLiteral("Analog channels"));
    auto* digital = new TTab95Sheet(inner, QStringLiteral("Digital channels"));
    auto* count = new QLineEdit(analog);
    // A drop-down list keeps other keys for its type-ahead search, but not these.
    auto* list = new QComboBox(digital);
    list->addItems({"Off", "1s"});
    auto* second = new QLineEdit(w.pages[1]);
    QList<TTab95Sheet*> seen;  // the active page as OnChange sees it
    connect(w.control, &TPage95Control::OnChange, [&] { seen << w.control->ActivePage(); });
    QSignalSpy innerChanges(inner, &TPage95Control::OnChange);
    QList<QWidget*> focused;  // every control that gets the focus
    QObject listening;        // ends the listening before `focused` goes
    connect(qApp, &QApplication::focusChanged, &listening, [&](QWidget*, QWidget* now) {
        if (now != nullptr) focused << now;
    });

    w.clickTab(1), w.clickTab(1);  // the second click changes nothing
    second->setFocus();
    focused.clear();
    // Forward into the nested pages, each landing on the page's first field,
    // then back: each key undoes the other, down to the field it started from.
    // The field shows the focus the key gave it, as after a Tab.
    QVERIFY(!w.w.testAttribute(Qt::WA_KeyboardFocusChange));
    w.key(Qt::Key_Tab, Qt::ControlModifier);
    QVERIFY(w.w.testAttribute(Qt::WA_KeyboardFocusChange));
    w.key(Qt::Key_Tab, Qt::ControlModifier);
    w.key(Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);
    w.key(Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(focused, (QList<QWidget*>{count, list, count, second}));
    QCOMPARE(seen, (QList<TTab95Sheet*>{w.pages[1], w.pages[2], w.pages[1]}));
    QVERIFY(inner->ActivePage() == analog && innerChanges.count() == 2);

    // Past the last page to the first.
    for (int i = 0; i < 3; ++i) w.key(Qt::Key_Tab, Qt::ControlModifier);
    QCOMPARE(w.control->ActivePage(), w.pages[0]);
    QCOMPARE(QApplication::focusWidget(), w.pages[0]->findChild<QLineEdit*>());
    w.key(Qt::Key_Tab, Qt::NoModifier);  // plain Tab moves the focus only
    QCOMPARE(w.control->ActivePage(), w.pages[0]);
    QCOMPARE(seen.size(), 5);
}

void TestPageControl::manyTabsStayInOneRowWithScrollButtons() {
    Window w(10, 260);
    QVERIFY(QTest::qWaitForWindowExposed(&w.w));
    QTabBar* bar = w.control->tabBar();
    QTRY_VERIFY(bar->width() <= 260);
    for (int i = 1; i < bar->count(); ++i) QCOMPARE(bar->tabRect(i).top(), bar->tabRect(0).top());
    int scrollers = 0;
    for (QToolButton* b : bar->findChildren<QToolButton*>()) {
        scrollers += b->isVisible();
        QCOMPARE(b->focusPolicy(), Qt::NoFocus);  // for the mouse; no tab stop
    }
    QCOMPARE(scrollers, 2);
    QVERIFY(bar->tabRect(9).width() >= bar->fontMetrics().horizontalAdvance(QStringLiteral("Group 10")));
    w.control->setActivePage(w.pages[9]);  // brought into view
    QTRY_VERIFY(bar->rect().contains(bar->tabRect(9).center()));
}

QTEST_MAIN(TestPageControl)
#include "tst_page_control.moc"
