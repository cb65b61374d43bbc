#include "widgets/page_control.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QTabBar>

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
    if (QCoreApplication::instance() != nullptr) QCoreApplication::instance()->installEventFilter(this);
    // All tabs in one row; scroll buttons when they do not fit.
    setUsesScrollButtons(true);
    setElideMode(Qt::ElideNone);
    tabBar()->setExpanding(false);
    setMovable(false);
    setTabsClosable(false);
    connect(this, &QTabWidget::currentChanged, this, &TPage95Control::currentPageChanged);
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

void TPage95Control::keyPressEvent(QKeyEvent* event) {
    if (switchPage(event)) {
        event->accept();
        return;
    }
    QTabWidget::keyPressEvent(event);
}

bool TPage95Control::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress || !watched->isWidgetType()) return QTabWidget::eventFilter(watched, event);
    // Only for the fields of this control's own pages: an inner page control
    // switches its own pages.
    QWidget* owner = static_cast<QWidget*>(watched);
    while (owner != nullptr && owner != this && !qobject_cast<TPage95Control*>(owner)) owner = owner->parentWidget();
    if (owner != this || watched == this) return QTabWidget::eventFilter(watched, event);
    return switchPage(static_cast<QKeyEvent*>(event));
}

bool TPage95Control::switchPage(const QKeyEvent* event) {
    // Ctrl+Tab: next page, Ctrl+Shift+Tab: previous page, wrapping around.
    const bool tab = event->key() == Qt::Key_Tab || event->key() == Qt::Key_Backtab;
    if (!tab || !(event->modifiers() & Qt::ControlModifier)) return false;
    if (count() < 2) return true;
    const bool back = event->key() == Qt::Key_Backtab || (event->modifiers() & Qt::ShiftModifier);
    const int n = count();
    int page = currentIndex();
    for (int pass = 0; pass < n; ++pass) {
        page = (page + (back ? n - 1 : 1)) % n;
        if (isTabEnabled(page) && isTabVisible(page)) {
            setCurrentIndex(page);  // a user switch: raises OnChange
            break;
        }
    }
    return true;
}

}  // namespace capacimo::widgets
