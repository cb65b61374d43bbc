#include "widgets/spin_button.h"

#include "widgets/failure_guard.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionButton>
#include <QStyleOptionFocusRect>

#include <utility>

namespace capacimo::widgets {

namespace {

TRepeatTimerFactory& defaultFactory() {
    static TRepeatTimerFactory factory;
    return factory;
}

// Arrow base width in pixels: 7 at 96 dpi, growing with the resolution and
// always odd so that the tip sits on a pixel column.
int arrowWidth(const QWidget* w) {
    int width = (7 * w->logicalDpiX() + 48) / 96;
    if (width < 5) width = 5;
    if (width % 2 == 0) ++width;
    return width;
}

}  // namespace

// --- TTimerSpeedButton_X ---------------------------------------------------

TTimerSpeedButton_X::TTimerSpeedButton_X(QWidget* parent) : QAbstractButton(parent) {
    setFocusPolicy(Qt::NoFocus);
    setAutoRepeat(false);  // the repeat is ours; see mousePressEvent
}

TTimerSpeedButton_X::~TTimerSpeedButton_X() = default;

void TTimerSpeedButton_X::setTimeBtnState(TTimeBtnState state) {
    if (state == timeBtnState_) return;
    timeBtnState_ = state;
    if (!(state & tbAllowTimer) && timer_) timer_->stop();
    update();
}

void TTimerSpeedButton_X::setArrow(Qt::ArrowType arrow) {
    arrow_ = arrow;
    update();
}

void TTimerSpeedButton_X::setTimerFactory(TRepeatTimerFactory factory) { factory_ = std::move(factory); }

void TTimerSpeedButton_X::setDefaultTimerFactory(TRepeatTimerFactory factory) { defaultFactory() = std::move(factory); }

QSize TTimerSpeedButton_X::sizeHint() const { return {TSpinButton_X::MinimumWidth, 12}; }

void TTimerSpeedButton_X::mousePressEvent(QMouseEvent* event) {
    QAbstractButton::mousePressEvent(event);
    if (event->button() != Qt::LeftButton || !isDown()) return;
    held_ = true;
    if (timeBtnState_ & tbAllowTimer) {
        if (!timer_) {
            const TRepeatTimerFactory& make = factory_ ? factory_ : defaultFactory();
            timer_ = make ? make(this) : new TQtRepeatTimer(this);
            connect(timer_, &TRepeatTimer::timeout, this, &TTimerSpeedButton_X::timerExpired);
        }
        timer_->start(InitialRepeatDelayMs);
    }
}

void TTimerSpeedButton_X::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) cancelRepeat();
    // Clicks once when released over the button (QAbstractButton's rule).
    showingFailures(this, [&] { QAbstractButton::mouseReleaseEvent(event); });
}

// Disabled or hidden while held, the button gets no release: stop here.
void TTimerSpeedButton_X::changeEvent(QEvent* event) {
    if (event->type() == QEvent::EnabledChange && !isEnabled()) cancelRepeat();
    QAbstractButton::changeEvent(event);
}

void TTimerSpeedButton_X::hideEvent(QHideEvent* event) {
    cancelRepeat();
    QAbstractButton::hideEvent(event);
}

void TTimerSpeedButton_X::cancelRepeat() {
    held_ = false;
    if (timer_) timer_->stop();
}

void TTimerSpeedButton_X::timerExpired() {
    timer_->setInterval(RepeatIntervalMs);
    // isDown() turns false while the pointer is dragged off the button.
    if (!held_ || !isDown()) return;
    // A failing step ends the repeat; the user sees it once, not ten times a second.
    if (!showingFailures(this, [this] { emit clicked(isChecked()); }) && timer_) timer_->stop();
}

void TTimerSpeedButton_X::paintEvent(QPaintEvent*) {
    QPainter p(this);
    QStyleOptionButton opt;
    opt.initFrom(this);
    opt.state |= isDown() ? QStyle::State_Sunken : QStyle::State_Raised;
    opt.features = QStyleOptionButton::Flat;
    style()->drawPrimitive(QStyle::PE_PanelButtonBevel, &opt, &p, this);

    const int shift = isDown() ? 1 : 0;
    const int w = arrowWidth(this);
    const int h = (w + 1) / 2;
    const int left = (width() - w) / 2 + shift;
    const int top = (height() - h) / 2 + shift;
    const QColor color = palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::ButtonText);
    // One row per line of the triangle: 1, 3, 5, ... pixels wide.
    for (int row = 0; row < h; ++row) {
        const int half = (arrow_ == Qt::DownArrow) ? (h - 1 - row) : row;
        p.fillRect(left + (w / 2) - half, top + row, 2 * half + 1, 1, color);
    }

    if (timeBtnState_ & tbFocusRect) {
        QStyleOptionFocusRect focus;
        focus.initFrom(this);
        focus.state |= QStyle::State_KeyboardFocusChange;  // some styles draw it only then
        focus.rect = rect().adjusted(3, 3, -3, -3).translated(shift, shift);
        focus.backgroundColor = palette().color(QPalette::Button);
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &p, this);
    }
}

// --- TSpinButton_X ---------------------------------------------------------

TSpinButton_X::TSpinButton_X(QWidget* parent)
    : QWidget(parent), up_(new TTimerSpeedButton_X(this)), down_(new TTimerSpeedButton_X(this)), focused_(up_) {
    up_->setObjectName(QStringLiteral("UpButton"));
    down_->setObjectName(QStringLiteral("DownButton"));
    up_->setArrow(Qt::UpArrow);
    down_->setArrow(Qt::DownArrow);
    up_->setTimeBtnState(TTimerSpeedButton_X::tbAllowTimer);
    down_->setTimeBtnState(TTimerSpeedButton_X::tbAllowTimer);
    up_->installEventFilter(this);
    down_->installEventFilter(this);
    connect(up_, &QAbstractButton::clicked, this, &TSpinButton_X::OnUpClick);
    connect(down_, &QAbstractButton::clicked, this, &TSpinButton_X::OnDownClick);
    setFocusPolicy(Qt::NoFocus);
    setMinimumWidth(MinimumWidth);
    resize(DefaultWidth, DefaultHeight);
    layoutButtons();
}

QSize TSpinButton_X::sizeHint() const { return {DefaultWidth, DefaultHeight}; }

void TSpinButton_X::setFocusedButton(TTimerSpeedButton_X* button) {
    if (button != up_ && button != down_) return;
    focused_ = button;
    updateFocusRects();
}

void TSpinButton_X::setFocusControl(QWidget* control) { focusControl_ = control; }

bool TSpinButton_X::TabStop() const { return focusPolicy() & Qt::TabFocus; }

void TSpinButton_X::setTabStop(bool tabStop) { setFocusPolicy(tabStop ? Qt::StrongFocus : Qt::NoFocus); }

void TSpinButton_X::resizeEvent(QResizeEvent*) { layoutButtons(); }

void TSpinButton_X::layoutButtons() {
    // The up button takes the top half; the down button overlaps its last
    // pixel row so that the two share one border line.
    const int upHeight = height() / 2;
    up_->setGeometry(0, 0, width(), upHeight);
    down_->setGeometry(0, upHeight - 1, width(), height() - upHeight + 1);
}

bool TSpinButton_X::eventFilter(QObject* watched, QEvent* event) {
    if ((watched == up_ || watched == down_) && event->type() == QEvent::MouseButtonPress &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        buttonPressed(static_cast<TTimerSpeedButton_X*>(watched));
    }
    return QWidget::eventFilter(watched, event);
}

void TSpinButton_X::buttonPressed(TTimerSpeedButton_X* button) {
    if (TabStop()) setFocusedButton(button);
    QWidget* edit = focusControl_;
    if (edit && (edit->focusPolicy() & Qt::TabFocus) && edit->isEnabled() && edit->isVisible() && !edit->hasFocus()) {
        edit->setFocus(Qt::OtherFocusReason);
    } else if (TabStop() && isEnabled() && isVisible() && !hasFocus()) {
        setFocus(Qt::MouseFocusReason);
    }
}

void TSpinButton_X::keyPressEvent(QKeyEvent* event) {
    TTimerSpeedButton_X* button = nullptr;
    switch (event->key()) {
    case Qt::Key_Space: button = focused_; break;
    case Qt::Key_Up: button = up_; break;
    case Qt::Key_Down: button = down_; break;
    default: QWidget::keyPressEvent(event); return;
    }
    setFocusedButton(button);
    showingFailures(this, [button] { button->click(); });
    event->accept();
}

void TSpinButton_X::focusInEvent(QFocusEvent* event) {
    QWidget::focusInEvent(event);
    updateFocusRects();
}

void TSpinButton_X::focusOutEvent(QFocusEvent* event) {
    QWidget::focusOutEvent(event);
    updateFocusRects();
}

void TSpinButton_X::updateFocusRects() {
    for (TTimerSpeedButton_X* b : {up_, down_}) {
        auto state = b->TimeBtnState();
        state.setFlag(TTimerSpeedButton_X::tbFocusRect, hasFocus() && b == focused_);
        b->setTimeBtnState(state);
    }
}

}  // namespace capacimo::widgets
