#include "widgets/page_control.h"

#include <QApplication>
#include <QShortcut>
#include <QTabBar>
#include <QToolButton>

namespace capacimo::widgets {

// --- TTab95Sheet -------------------------------------------------------------

TTab95Sheet::TTab95Sheet(QWidget* parent) : QWidget(parent) {
    // Created on a page control: join it as its last page.
    if (auto* pageControl = qobject_cast<TPage95Control*>(parent)) setPageControl(pageControl);
}

TTab95Sheet::TTab95Sheet(TPage95Control* pageControl, const QString& caption) : QWidget(nullptr), caption_(caption) {
    setPageControl(pageControl);
}

TTab95Sheet::~TTab95Sheet() {
    // Leave the control quietly rather than through Qt's child clean-up,
    // which would look like a page switch.
    if (pageControl_) pageControl_->removeSheet(this);
}

void TTab95Sheet::setCaption(const QString& caption) {
    caption_ = caption;
    if (pageControl_) pageControl_->setTabText(pageControl_->indexOf(this), caption);
}

void TTab95Sheet::setPageControl(TPage95Control* pageControl) {
    if (pageControl == pageControl_) return;
    if (pageControl_) pageControl_->removeSheet(this);
    pageControl_ = pageControl;
    if (pageControl) {
        pageControl->insertSheet(this);
    } else {
        hide();
        setParent(nullptr);
    }
}

int TTab95Sheet::PageIndex() const { return pageControl_ ? pageControl_->indexOf(this) : -1; }

// --- TPage95Control ----------------------------------------------------------

namespace {

// Marks a stretch in which the current page changes by code, not by the user.
class CodeChange {
public:
    explicit CodeChange(int& depth) : depth_(depth) { ++depth_; }
    ~CodeChange() { --depth_; }
    CodeChange(const CodeChange&) = delete;
    CodeChange& operator=(const CodeChange&) = delete;

private:
    int& depth_;
};

}  // namespace

TPage95Control::TPage95Control(QWidget* parent) : QTabWidget(parent) {
    // All tabs in one row; scroll buttons when they do not fit. Those are for
    // the mouse: the keyboard brings any tab into view.
    setUsesScrollButtons(true);
    setElideMode(Qt::ElideNone);
    tabBar()->setExpanding(false);
    for (QToolButton* scroll : tabBar()->findChildren<QToolButton*>()) scroll->setFocusPolicy(Qt::NoFocus);
    setMovable(false);
    setTabsClosable(false);
    connect(this, &QTabWidget::currentChanged, this, &TPage95Control::currentPageChanged);

    next_ = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Tab), this);
    previous_ = new QShortcut(this);
    previous_->setKeys(
        {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Tab)});
    for (QShortcut* key : {next_, previous_}) {
        key->setContext(Qt::WindowShortcut);
        connect(key, &QShortcut::activated, this, [this, back = key == previous_] { stepPage(back); });
    }
    updateShortcuts();
}

TPage95Control::~TPage95Control() {
    // The pages die with the control; from here on they must not call back.
    disconnect(this, &QTabWidget::currentChanged, this, &TPage95Control::currentPageChanged);
    ++codeChanges_;
    for (int i = 0; i < count(); ++i)
        if (auto* page = qobject_cast<TTab95Sheet*>(widget(i))) page->pageControl_ = nullptr;
}

TTab95Sheet* TPage95Control::Pages(int index) const { return qobject_cast<TTab95Sheet*>(widget(index)); }

void TPage95Control::addPage(TTab95Sheet* page) {
    if (page) page->setPageControl(this);
}

TTab95Sheet* TPage95Control::ActivePage() const { return qobject_cast<TTab95Sheet*>(currentWidget()); }

void TPage95Control::setActivePage(TTab95Sheet* page) {
    if (!page || page->pageControl_ != this) return;
    CodeChange code(codeChanges_);
    setCurrentWidget(page);
}

void TPage95Control::insertSheet(TTab95Sheet* page) {
    CodeChange code(codeChanges_);
    addTab(page, page->caption_);
}

void TPage95Control::removeSheet(TTab95Sheet* page) {
    CodeChange code(codeChanges_);
    const int index = indexOf(page);
    if (index >= 0) removeTab(index);
}

void TPage95Control::currentPageChanged(int) {
    if (codeChanges_ == 0) emit OnChange();
}

bool TPage95Control::event(QEvent* event) {
    // Whether a page control is nested is settled once it sits in its window.
    if (event->type() == QEvent::ParentChange || event->type() == QEvent::Show) updateShortcuts();
    return QTabWidget::event(event);
}

void TPage95Control::setAccessibleTitle(const QString& title) {
    setAccessibleName(title);
    tabBar()->setAccessibleName(title);
}

TPage95Control* TPage95Control::outermost() {
    TPage95Control* top = this;
    for (QWidget* w = parentWidget(); w != nullptr && !w->isWindow(); w = w->parentWidget())
        if (auto* control = qobject_cast<TPage95Control*>(w)) top = control;
    return top;
}

void TPage95Control::updateShortcuts() {
    const bool outer = outermost() == this;
    next_->setEnabled(outer);
    previous_->setEnabled(outer);
}

namespace {

// The page control filling a page, if any, with pages of its own.
TPage95Control* nestedControl(const TTab95Sheet* page) {
    auto* inner = page->findChild<TPage95Control*>(QString(), Qt::FindDirectChildrenOnly);
    return inner != nullptr && inner->PageCount() > 0 ? inner : nullptr;
}

// The pages the keys walk through: every page that holds no page control of
// its own, depth first.
void collectWalk(const TPage95Control* control, QList<TTab95Sheet*>& walk) {
    for (int i = 0; i < control->PageCount(); ++i) {
        if (!control->isTabEnabled(i) || !control->isTabVisible(i)) continue;
        TTab95Sheet* page = control->Pages(i);
        if (const TPage95Control* inner = nestedControl(page))
            collectWalk(inner, walk);
        else
            walk << page;
    }
}

TTab95Sheet* shownPage(const TPage95Control* control) {
    TTab95Sheet* page = control->ActivePage();
    const TPage95Control* inner = page != nullptr ? nestedControl(page) : nullptr;
    return inner != nullptr ? shownPage(inner) : page;
}

// The first control of the page that Tab would reach, in the tab order.
QWidget* firstField(TTab95Sheet* page) {
    for (QWidget* w = page->nextInFocusChain(); w != page; w = w->nextInFocusChain()) {
        if (page->isAncestorOf(w) && (w->focusPolicy() & Qt::TabFocus) && w->isVisible() && w->isEnabled() &&
            w->focusProxy() == nullptr)
            return w;
    }
    return nullptr;
}

}  // namespace

void TPage95Control::showAsUser(TTab95Sheet* page) {
    TPage95Control* control = page->PageControl();
    if (control == nullptr) return;
    if (control != this) {
        QWidget* w = control->parentWidget();
        while (w != nullptr && !qobject_cast<TTab95Sheet*>(w)) w = w->parentWidget();
        if (w != nullptr) showAsUser(static_cast<TTab95Sheet*>(w));
    }
    control->setCurrentWidget(page);  // raises OnChange when it switches
}

void TPage95Control::stepPage(bool back) {
    if (outermost() != this) {
        outermost()->stepPage(back);
        return;
    }
    QList<TTab95Sheet*> walk;
    collectWalk(this, walk);
    if (walk.size() < 2) return;
    TTab95Sheet* from = shownPage(this);
    const int n = static_cast<int>(walk.size());
    const int at = std::max<int>(0, static_cast<int>(walk.indexOf(from)));
    TTab95Sheet* to = walk[(at + (back ? n - 1 : 1)) % n];

    QWidget* fromField = QApplication::focusWidget();
    if (fromField != nullptr && fromField->window() != window()) fromField = nullptr;
    // A key that undoes the last switch made by the keys returns to the field
    // where that switch started; so switches undo each other in any number.
    const bool undoes =
        !trail_.isEmpty() && trail_.last().to == from && trail_.last().from == to && trail_.last().toField == fromField;
    QPointer<QWidget> backTo = undoes ? trail_.takeLast().fromField : nullptr;
    // The field gives up the focus before its page goes, so that the focus
    // moves straight to the new page and visits no other control on its way.
    if (fromField != nullptr) fromField->clearFocus();
    showAsUser(to);
    QWidget* field = backTo != nullptr && backTo->isVisible() ? backTo.data() : firstField(to);
    if (field == nullptr) field = to->PageControl();
    // The keyboard moved the focus, so the field shows it (Qt's styles show
    // it only once a Tab key has moved it).
    window()->setAttribute(Qt::WA_KeyboardFocusChange);
    field->setFocus(Qt::TabFocusReason);
    if (!undoes) trail_.append({from, fromField, to, field});
}

}  // namespace capacimo::widgets
