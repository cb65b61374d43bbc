// Where the Details and plant windows open, so that they and the calculator
// dialog can all be seen.
#pragma once

#include <QMargins>
#include <QObject>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <functional>
#include <vector>

class QTimer;
class QWidget;

namespace capacimo::widgets {

// Room left between the dialog and the window beside it.
inline constexpr int kBesideGap = 8;

// The top left corner for a window of `window` size (its frame included):
// beside `dialog` (its frame included) on its right, else on its left, else
// below it, else above it, always inside `available` (the screen less its
// panels). Only when none of these has room does it overlap the dialog,
// placed where it covers the least of `keepVisible` (parts of the dialog,
// the most important first), then the least of the dialog. A window larger
// than `available` starts at its top left corner.
QPoint besidePosition(const QRect& dialog, const std::vector<QRect>& keepVisible, const QSize& window,
                      const QRect& available);

// A window kept beside its owner's window (its parent widget's window), as
// besidePosition places it, under a real window manager: the window manager
// frames a window a moment after it is shown and tells no one, and the
// owner's frame may become known only then, so the place is looked at again
// now and then until the window stays where it belongs. While automatic, a
// window shown again or grown goes beside its owner again; the user moving
// it ends that. The window also hides with its owner and rises above it
// whenever the owner is raised (window managers raise a window that is
// clicked or activated, and openbox raises a modal dialog above every
// window of its program, those that belong to it included).
class BesideOwner : public QObject {
public:
    // window: a top-level window whose parent widget is its owner.
    explicit BesideOwner(QWidget* window);

    // The parts of the owner left in view where the screen has no room
    // beside it, the most important first, on the screen.
    using KeptInView = std::function<std::vector<QRect>()>;
    void setKeptInView(KeptInView parts) { keptInView_ = std::move(parts); }
    std::vector<QRect> keptInView() const { return keptInView_ ? keptInView_() : std::vector<QRect>{}; }
    // Before each look at its place the window may resize itself (to fit the
    // screen); the hook says whether it was then placed anew.
    void setResizeFirst(std::function<bool()> resize) { resizeFirst_ = std::move(resize); }
    // Whether the window comes up above its owner whenever the owner is
    // raised (a window beside it, as the Details window: yes; one that may
    // overlap it, as the plant window, comes up only when it is used).
    void setRaiseWithOwner(bool raise) { raiseWithOwner_ = raise; }

    // The size the window may have without its frame: its owner's screen
    // less its panels (and a few pixels to spare: at a fractional scale the
    // frame's size and place round to whole pixels, and a place counts as
    // reached when near enough).
    QSize roomOnScreen() const;
    // The width beside the owner, on its wider side, for the window without its frame.
    int roomBeside() const;
    // After the window took a new size: beside the owner again while
    // automatic, else where the user put it, moved no further than it takes
    // to stay on the screen. True when it was placed anew.
    bool resized();
    // The user's own place and size for its frame, as remembered from
    // another time, before the window is first shown: it does not follow
    // the owner.
    void putByUser(const QRect& frame);

    // From the window's showEvent: the first time it is shown by the
    // program, it starts to follow its owner.
    void shown(bool spontaneous);
    // Also from the showEvent, once the window has its size: beside the
    // owner again, unless the user has chosen its place.
    void placeAgain(bool spontaneous);
    // From the window's moveEvent.
    void moved();

    bool automatic() const { return automatic_; }
    // The window manager's frame around the window: as it is once the window
    // is framed, until then taken to be the owner's.
    QMargins decoration() const;
    // Where the frame goes beside the owner, and putting it there (and
    // looking again until it stays).
    QPoint besideOwner() const;
    void place();
    void putFrameAt(const QPoint& at);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void check();

    QWidget* window_;
    KeptInView keptInView_;
    std::function<bool()> resizeFirst_;
    QTimer* check_ = nullptr;
    // Where the frame was put, and whether the window still follows the
    // owner. Until settled_, the window manager's frame is not yet known
    // for certain.
    QPoint placedAt_;
    bool raiseWithOwner_ = true;
    bool userPlaced_ = false;
    bool started_ = false;
    bool automatic_ = false;
    bool settled_ = false;
    int corrections_ = 0;
    int looks_ = 0;
    int stayed_ = 0;
};

// A window with the frame the window manager drew around it, as the platform
// reports it now (a widget's own copy can lag behind).
QRect frameOf(const QWidget* window);

// How far from where it was put a window may land and still count as there
// (the place rounds to the screen's pixels at a fractional scale).
inline constexpr int kNear = 2;

}  // namespace capacimo::widgets
