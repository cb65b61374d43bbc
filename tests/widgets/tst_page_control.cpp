#include "widgets/page_control.h"

#include <QApplication>
#include <QLineEdit>
#include <QSignalSpy>
#include <QStackedWidget>
#include <QTabBar>
#include <QTest>
#include <QToolButton>
#include <QVBoxLayout>

#include <memory>

namespace {

// A shown, active window holding one page control with `count` pages, each
// with a line edit on it.
struct PagesWindow {
    QWidget window;
    TPage95Control* control;
    QList<TTab95Sheet*> pages;
    QList<QLineEdit*> edits;

    explicit PagesWindow(int count, const QString& prefix = QStringLiteral("Page ")) {
        auto* layout = new QVBoxLayout(&window);
        control = new TPage95Control(&window);
        layout->addWidget(control);
        for (int i = 0; i < count; ++i) {
            auto* page = new TTab95Sheet(control, prefix + QString::number(i + 1));
            auto* edit = new QLineEdit(page);
            edit->move(10, 10);
            pages << page;
            edits << edit;
        }
        window.resize(500, 200);
        window.show();
        window.activateWindow();
    }
    bool ready() { return QTest::qWaitForWindowActive(&window); }
    QPoint tabCenter(int index) const { return control->tabBar()->tabRect(index).center(); }
};

}  // namespace

class TestPageControl : public QObject {
    Q_OBJECT

private slots:
    void pagesShowCaptionsInOrder();
    void pageJoiningAnotherControlLeavesTheFormer();
    void pageLeavingAllControls();
    void activePageByCodeRaisesNoChange();
    void pageOfAnotherControlIsIgnored();
    void mouseSwitchRaisesChange();
    void ctrlTabSwitchesWithChange();
    void nestedControlsSwitchIndependently();
    void destroyingPagesRaisesNoChange();
    void manyTabsStayInOneRowWithScrollButtons();
};

void TestPageControl::pagesShowCaptionsInOrder() {
    TPage95Control control;
    auto* info = new TTab95Sheet(&control, QStringLiteral("Information"));
    auto* analysis = new TTab95Sheet(&control, QStringLiteral("Signal analysis"));
    auto* loose = new TTab95Sheet;
    loose->setCaption(QStringLiteral("Channel Settings"));
    control.addPage(loose);
    auto* child = new TTab95Sheet(&control);  // created on the control: joins it
    child->setCaption(QStringLiteral("Group settings"));
    QCOMPARE(control.PageCount(), 4);
    QCOMPARE(control.tabText(3), QStringLiteral("Group settings"));
    QCOMPARE(control.tabText(0), QStringLiteral("Information"));
    QCOMPARE(control.tabText(2), QStringLiteral("Channel Settings"));
    QCOMPARE(control.Pages(1), analysis);
    QCOMPARE(loose->PageIndex(), 2);
    QCOMPARE(info->PageControl(), &control);
    QVERIFY(control.isAncestorOf(loose));
    QCOMPARE(control.ActivePage(), info);  // the first page added is shown

    analysis->setCaption(QStringLiteral("Analyses & more"));
    QCOMPARE(control.tabText(1), QStringLiteral("Analyses & more"));
    QCOMPARE(analysis->Caption(), QStringLiteral("Analyses & more"));
}

void TestPageControl::pageJoiningAnotherControlLeavesTheFormer() {
    TPage95Control first;
    TPage95Control second;
    auto* a = new TTab95Sheet(&first, QStringLiteral("A"));
    auto* b = new TTab95Sheet(&first, QStringLiteral("B"));
    auto* c = new TTab95Sheet(&second, QStringLiteral("C"));
    QSignalSpy firstChanges(&first, &TPage95Control::OnChange);
    QSignalSpy secondChanges(&second, &TPage95Control::OnChange);

    a->setPageControl(&second);  // the shown page leaves
    QCOMPARE(first.PageCount(), 1);
    QCOMPARE(first.Pages(0), b);
    QCOMPARE(first.ActivePage(), b);
    QCOMPARE(second.PageCount(), 2);
    QCOMPARE(second.Pages(1), a);  // appended as the last tab
    QCOMPARE(second.tabText(1), QStringLiteral("A"));
    QCOMPARE(a->PageControl(), &second);
    QVERIFY(second.isAncestorOf(a));
    QVERIFY(!first.isAncestorOf(a));
    QCOMPARE(second.ActivePage(), c);
    QCOMPARE(firstChanges.count(), 0);
    QCOMPARE(secondChanges.count(), 0);

    second.addPage(a);  // already there: nothing moves
    QCOMPARE(second.PageCount(), 2);
    QCOMPARE(a->PageIndex(), 1);
}

void TestPageControl::pageLeavingAllControls() {
    TPage95Control control;
    auto* a = new TTab95Sheet(&control, QStringLiteral("A"));
    std::unique_ptr<TTab95Sheet> b(new TTab95Sheet(&control, QStringLiteral("B")));
    b->setPageControl(nullptr);
    QCOMPARE(control.PageCount(), 1);
    QCOMPARE(b->PageControl(), nullptr);
    QCOMPARE(b->PageIndex(), -1);
    QCOMPARE(b->parent(), nullptr);
    QCOMPARE(control.ActivePage(), a);
    control.setActivePage(b.get());  // not a page of this control
    QCOMPARE(control.ActivePage(), a);
}

void TestPageControl::activePageByCodeRaisesNoChange() {
    PagesWindow w(10, QStringLiteral("Group "));
    QVERIFY(w.ready());
    QSignalSpy changes(w.control, &TPage95Control::OnChange);
    w.control->setActivePage(w.pages[6]);
    QCOMPARE(w.control->ActivePage(), w.pages[6]);
    QCOMPARE(w.control->currentIndex(), 6);
    QVERIFY(w.pages[6]->isVisible());
    QVERIFY(!w.pages[0]->isVisible());
    w.control->setActivePage(w.pages[0]);
    QCOMPARE(w.control->ActivePage(), w.pages[0]);
    w.control->setActivePage(nullptr);
    QCOMPARE(w.control->ActivePage(), w.pages[0]);
    QCOMPARE(changes.count(), 0);
}

void TestPageControl::pageOfAnotherControlIsIgnored() {
    PagesWindow w(3);
    TPage95Control other;
    auto* foreign = new TTab95Sheet(&other, QStringLiteral("Foreign"));
    QSignalSpy changes(w.control, &TPage95Control::OnChange);
    w.control->setActivePage(w.pages[1]);
    w.control->setActivePage(foreign);
    QCOMPARE(w.control->ActivePage(), w.pages[1]);
    QCOMPARE(foreign->PageControl(), &other);
    QCOMPARE(w.control->PageCount(), 3);
    QCOMPARE(changes.count(), 0);
}

void TestPageControl::mouseSwitchRaisesChange() {
    PagesWindow w(4);
    QVERIFY(w.ready());
    QSignalSpy changes(w.control, &TPage95Control::OnChange);
    QTabBar* bar = w.control->tabBar();
    QTest::mouseClick(bar, Qt::LeftButton, {}, w.tabCenter(2));
    QCOMPARE(w.control->ActivePage(), w.pages[2]);
    QCOMPARE(changes.count(), 1);
    QTest::mouseClick(bar, Qt::LeftButton, {}, w.tabCenter(2));  // already shown
    QCOMPARE(changes.count(), 1);
    // The handler sees the new page already active.
    TTab95Sheet* seen = nullptr;
    connect(w.control, &TPage95Control::OnChange, w.control,
            [&] { seen = w.control->ActivePage(); });
    QTest::mouseClick(bar, Qt::LeftButton, {}, w.tabCenter(0));
    QCOMPARE(seen, w.pages[0]);
    QCOMPARE(changes.count(), 2);
}

void TestPageControl::ctrlTabSwitchesWithChange() {
    PagesWindow w(3);
    QVERIFY(w.ready());
    QSignalSpy changes(w.control, &TPage95Control::OnChange);
    w.edits[0]->setFocus(Qt::OtherFocusReason);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab, Qt::ControlModifier);
    QCOMPARE(w.control->ActivePage(), w.pages[1]);
    QCOMPARE(changes.count(), 1);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab, Qt::ControlModifier);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab, Qt::ControlModifier);
    QCOMPARE(w.control->ActivePage(), w.pages[0]);  // wrapped around
    QCOMPARE(changes.count(), 3);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab,
                    Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(w.control->ActivePage(), w.pages[2]);
    QCOMPARE(changes.count(), 4);
    // Plain Tab moves the focus, not the page.
    w.edits[2]->setFocus(Qt::OtherFocusReason);
    QTest::keyClick(w.edits[2], Qt::Key_Tab);
    QCOMPARE(w.control->ActivePage(), w.pages[2]);
    QCOMPARE(changes.count(), 4);
}

void TestPageControl::nestedControlsSwitchIndependently() {
    PagesWindow w(2, QStringLiteral("Outer "));
    auto* inner = new TPage95Control(w.pages[1]);
    inner->resize(300, 120);
    auto* analog = new TTab95Sheet(inner, QStringLiteral("Analog channels"));
    auto* digital = new TTab95Sheet(inner, QStringLiteral("Digital channels"));
    auto* edit = new QLineEdit(analog);
    QVERIFY(w.ready());
    QSignalSpy outerChanges(w.control, &TPage95Control::OnChange);
    QSignalSpy innerChanges(inner, &TPage95Control::OnChange);
    w.control->setActivePage(w.pages[1]);
    edit->setFocus(Qt::OtherFocusReason);
    QVERIFY(edit->hasFocus());
    QTest::keyClick(edit, Qt::Key_Tab, Qt::ControlModifier);
    QCOMPARE(inner->ActivePage(), digital);
    QCOMPARE(w.control->ActivePage(), w.pages[1]);
    QCOMPARE(innerChanges.count(), 1);
    QCOMPARE(outerChanges.count(), 0);
    inner->setActivePage(analog);  // the calculator's page reset
    QCOMPARE(innerChanges.count(), 1);
}

void TestPageControl::destroyingPagesRaisesNoChange() {
    auto control = std::make_unique<TPage95Control>();
    QList<QPointer<TTab95Sheet>> pages;
    for (int i = 0; i < 3; ++i) pages << new TTab95Sheet(control.get(), QString::number(i));
    QSignalSpy changes(control.get(), &TPage95Control::OnChange);
    delete pages[0];  // the shown page
    QCOMPARE(control->PageCount(), 2);
    QCOMPARE(control->ActivePage(), pages[1]);
    QCOMPARE(changes.count(), 0);
    control.reset();  // takes its pages along
    QVERIFY(pages[1].isNull());
    QVERIFY(pages[2].isNull());
}

void TestPageControl::manyTabsStayInOneRowWithScrollButtons() {
    PagesWindow w(10, QStringLiteral("Group "));
    w.window.resize(260, 160);
    QVERIFY(w.ready());
    QTabBar* bar = w.control->tabBar();
    QTRY_VERIFY(bar->width() <= 260);
    for (int i = 1; i < bar->count(); ++i) QCOMPARE(bar->tabRect(i).top(), bar->tabRect(0).top());
    int visibleScrollers = 0;
    for (QToolButton* b : bar->findChildren<QToolButton*>())
        if (b->isVisible()) ++visibleScrollers;
    QCOMPARE(visibleScrollers, 2);
    // Captions are not shortened.
    QCOMPARE(w.control->elideMode(), Qt::ElideNone);
    QVERIFY(bar->tabRect(9).width() >= bar->fontMetrics().horizontalAdvance(QStringLiteral("Group 10")));
    // Showing the last page from code brings its tab into view.
    w.control->setActivePage(w.pages[9]);
    QTRY_VERIFY(bar->rect().contains(bar->tabRect(9).center()));
}

QTEST_MAIN(TestPageControl)
#include "tst_page_control.moc"
