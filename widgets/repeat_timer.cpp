#include "widgets/repeat_timer.h"

#include <QTimer>

namespace capacimo::widgets {

TQtRepeatTimer::TQtRepeatTimer(QObject* parent) : TRepeatTimer(parent), timer_(new QTimer(this)) {
    connect(timer_, &QTimer::timeout, this, &TRepeatTimer::timeout);
}

void TQtRepeatTimer::start(int intervalMs) { timer_->start(intervalMs); }

void TQtRepeatTimer::setInterval(int intervalMs) { timer_->setInterval(intervalMs); }

int TQtRepeatTimer::interval() const { return timer_->interval(); }

void TQtRepeatTimer::stop() { timer_->stop(); }

bool TQtRepeatTimer::isActive() const { return timer_->isActive(); }

}  // namespace capacimo::widgets
