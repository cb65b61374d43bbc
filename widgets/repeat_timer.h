#pragma once

#include <QObject>

#include <functional>

class QTimer;

namespace capacimo::widgets {

// The timer behind a spin button's auto-repeat. The button only needs to start,
// stop and re-time it and to hear when it fires, so the clock is swappable:
// the program uses a QTimer, tests substitute a timer they fire by hand.
class TRepeatTimer : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    ~TRepeatTimer() override = default;

    virtual void start(int intervalMs) = 0;  // (re)starts with the given interval
    virtual void setInterval(int intervalMs) = 0;
    virtual int interval() const = 0;
    virtual void stop() = 0;
    virtual bool isActive() const = 0;

signals:
    void timeout();
};

// Default implementation on a QTimer.
class TQtRepeatTimer final : public TRepeatTimer {
    Q_OBJECT
public:
    explicit TQtRepeatTimer(QObject* parent = nullptr);

    void start(int intervalMs) override;
    void setInterval(int intervalMs) override;
    int interval() const override;
    void stop() override;
    bool isActive() const override;

private:
    QTimer* timer_;
};

// Creates the repeat timer of one button; the button passes itself as parent.
using TRepeatTimerFactory = std::function<TRepeatTimer*(QObject* parent)>;

}  // namespace capacimo::widgets
