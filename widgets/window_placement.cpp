#include "widgets/window_placement.h"

#include <QEvent>
#include <QScreen>
#include <QTimer>
#include <QWidget>
#include <QWindow>
#include <algorithm>
#include <array>

#include "widgets/failure_guard.h"

namespace capacimo::widgets {
namespace {

int clampedInto(int start, int length, int first, int last) {
    return std::max(first, std::min(start, last + 1 - length));
}

qint64 overlap(const QRect& a, const QRect& b) {
    const QRect common = a & b;
    return common.isEmpty() ? 0 : qint64{common.width()} * common.height();
}

}  // namespace

QPoint besidePosition(const QRect& dialog, const std::vector<QRect>& keepVisible, const QSize& window,
                      const QRect& available) {
    const int topBeside = clampedInto(dialog.top(), window.height(), available.top(), available.bottom());
    const int leftBelow = clampedInto(dialog.left(), window.width(), available.left(), available.right());
    const std::array<QPoint, 4> beside = {QPoint(dialog.right() + 1 + kBesideGap, topBeside),
                                          QPoint(dialog.left() - kBesideGap - window.width(), topBeside),
                                          QPoint(leftBelow, dialog.bottom() + 1 + kBesideGap),
                                          QPoint(leftBelow, dialog.top() - kBesideGap - window.height())};
    for (const QPoint& at : beside)
        if (available.contains(QRect(at, window))) return at;

    // Nothing has room: each of those places pushed into the screen, the
    // same ending above the first part to keep in view, and the screen's
    // corners; the first that covers the least wins.
    auto inside = [&](const QPoint& at) {
        return QPoint(clampedInto(at.x(), window.width(), available.left(), available.right()),
                      clampedInto(at.y(), window.height(), available.top(), available.bottom()));
    };
    std::vector<QPoint> places;
    for (const QPoint& at : beside) places.push_back(inside(at));
    if (!keepVisible.empty()) {
        const int aboveKept = keepVisible.front().top() - kBesideGap - window.height();
        places.push_back(inside(QPoint(beside[0].x(), aboveKept)));
        places.push_back(inside(QPoint(beside[1].x(), aboveKept)));
    }
    for (const QPoint& corner :
         {available.topRight(), available.topLeft(), available.bottomRight(), available.bottomLeft()})
        places.push_back(inside(corner));
    auto cost = [&](const QPoint& at) {
        const QRect r(at, window);
        std::vector<qint64> covered;
        for (const QRect& part : keepVisible) covered.push_back(overlap(r, part));
        covered.push_back(overlap(r, dialog));
        return covered;
    };
    return *std::min_element(places.begin(), places.end(),
                             [&](const QPoint& a, const QPoint& b) { return cost(a) < cost(b); });
}

QRect frameOf(const QWidget* window) {
    return window->windowHandle() != nullptr ? window->windowHandle()->frameGeometry() : window->frameGeometry();
}

BesideOwner::BesideOwner(QWidget* window) : QObject(window), window_(window) {
    // The window goes when its owner goes.
    if (window->parentWidget() != nullptr) window->parentWidget()->installEventFilter(this);
    check_ = new QTimer(this);
    check_->setInterval(50);
    connect(check_, &QTimer::timeout, window, guarded(window, [this] { check(); }));
}

void BesideOwner::shown(bool spontaneous) {
    if (started_ || spontaneous || window_->parentWidget() == nullptr) return;
    started_ = true;
    automatic_ = !userPlaced_;
    window_->windowHandle()->installEventFilter(this);  // to hear when it is on the screen
    // To hear of clicks into the owner, which its window handles first.
    window_->parentWidget()->window()->windowHandle()->installEventFilter(this);
}

void BesideOwner::placeAgain(bool spontaneous) {
    if (automatic_ && !spontaneous) place();
}

QMargins BesideOwner::decoration() const {
    // Qt learns a window's frame once the window manager has drawn it.
    const QWindow* own = window_->windowHandle();
    const QMargins margins = own != nullptr ? own->frameMargins() : QMargins();
    if (!margins.isNull() || window_->parentWidget() == nullptr) return margins;
    const QWindow* owner = window_->parentWidget()->window()->windowHandle();
    return owner != nullptr ? owner->frameMargins() : QMargins();
}

QPoint BesideOwner::besideOwner() const {
    QWidget* owner = window_->parentWidget()->window();
    // A pixel more than the frame measures: at a fractional scale its
    // margins round to whole pixels, so it may be a little larger.
    return besidePosition(frameOf(owner), keptInView(), window_->size().grownBy(decoration()) + QSize(1, 1),
                          owner->screen()->availableGeometry());
}

QSize BesideOwner::roomOnScreen() const {
    const QWidget* owner = window_->parentWidget() != nullptr ? window_->parentWidget()->window() : window_;
    return owner->screen()->availableGeometry().size().shrunkBy(decoration()) - QSize(kNear + 1, kNear + 1);
}

int BesideOwner::roomBeside() const {
    const QWidget* owner = window_->parentWidget() != nullptr ? window_->parentWidget()->window() : window_;
    const QRect available = owner->screen()->availableGeometry();
    const QRect dialog = frameOf(owner);
    const QMargins frame = decoration();
    return std::max(available.right() - dialog.right(), dialog.left() - available.left()) - kBesideGap - frame.left() -
           frame.right() - 1;
}

bool BesideOwner::resized() {
    if (automatic_) {
        place();
        return true;
    }
    const QRect available = window_->screen()->availableGeometry();
    const QRect outer(frameOf(window_).topLeft(), window_->size().grownBy(decoration()));
    if (!available.contains(outer))
        putFrameAt({std::clamp(outer.left(), available.left(), available.right() + 1 - outer.width()),
                    std::clamp(outer.top(), available.top(), available.bottom() + 1 - outer.height())});
    return false;
}

void BesideOwner::putByUser(const QRect& frame) {
    userPlaced_ = true;
    automatic_ = false;
    settled_ = true;
    window_->resize(frame.size().shrunkBy(decoration()));
    // Before the window is shown: a window's move() places its frame.
    window_->move(frame.topLeft());
    placedAt_ = frame.topLeft();
}

void BesideOwner::place() {
    placedAt_ = besideOwner();
    putFrameAt(placedAt_);
    settled_ = false;
    corrections_ = 0;
    stayed_ = 0;
    looks_ = 0;
    check_->start();
}

void BesideOwner::putFrameAt(const QPoint& at) {
    // The frame's corner, wherever the window manager puts the client area in it.
    window_->windowHandle()->setFramePosition(at);
    window_->setAttribute(Qt::WA_Moved);  // placed: QDialog centres only a window never placed
}

void BesideOwner::check() {
    // A window manager that draws no frame (or none at all) leaves the place as it is.
    constexpr int kLooks = 40;
    if (check_->isActive() && ++looks_ > kLooks) settled_ = true;
    if (settled_) check_->stop();
    // Until the window manager has framed it, where it sits says nothing.
    if (!automatic_ || settled_ || !window_->isVisible() || window_->windowHandle()->frameMargins().isNull()) return;
    // Framed, the window may sit elsewhere than asked (Qt placed the client
    // area where the frame should be), or belong elsewhere (its frame is not
    // the owner's): placed again, a few times at most.
    constexpr int kCorrections = 5;
    if (resizeFirst_ && resizeFirst_()) return;  // it grew and was placed anew
    const QPoint wanted = besideOwner();
    if ((frameOf(window_).topLeft() - wanted).manhattanLength() <= kNear) {
        // Where it belongs on two looks in a row: settled.
        if (++stayed_ < 2) return;
    } else if (corrections_ < kCorrections) {
        ++corrections_;
        stayed_ = 0;
        placedAt_ = wanted;
        putFrameAt(wanted);
        return;
    }
    settled_ = true;
    check_->stop();
}

void BesideOwner::moved() {
    if (!settled_) {
        check();
        return;
    }
    if (!automatic_ || (frameOf(window_).topLeft() - placedAt_).manhattanLength() <= kNear) return;
    // The client area where the frame belongs: a resize by Qt that still
    // knew the place before the frame (its title bar is now off the top).
    // Moved elsewhere: the user has chosen its place.
    if ((window_->geometry().topLeft() - placedAt_).manhattanLength() <= kNear &&
        !window_->windowHandle()->frameMargins().isNull())
        putFrameAt(placedAt_);
    else
        automatic_ = false;
}

bool BesideOwner::eventFilter(QObject* watched, QEvent* event) {
    showingFailures(window_, [&] {
        QWidget* owner = window_->parentWidget();
        if (watched == owner && event->type() == QEvent::Hide) window_->hide();
        const bool ownerRaised = (watched == owner && event->type() == QEvent::WindowActivate) ||
                                 (owner != nullptr && watched == owner->window()->windowHandle() &&
                                  event->type() == QEvent::MouseButtonPress);
        if (ownerRaised && raiseWithOwner_ && window_->isVisible()) window_->raise();
        if (watched == window_->windowHandle() && event->type() == QEvent::Expose) check();
    });
    return QObject::eventFilter(watched, event);
}

}  // namespace capacimo::widgets
