// Where a plant's "today" comes from: the one clock the program asks, handed
// to whatever judges dates, so that tests and scripts can fix the day. Nothing
// else asks the system for the date. Standard library only.
#pragma once

#include "calculator/plant/calendar_date.h"

namespace capacimo {

class Clock {
public:
    virtual ~Clock() = default;
    virtual CalendarDate today() const = 0;
};

// The date where the program runs, in the local time zone of the system (in
// the web edition, of the browser).
class SystemClock final : public Clock {
public:
    CalendarDate today() const override;
};

// One day, until told another: for tests and for capacimo-calc --today.
class FixedClock final : public Clock {
public:
    explicit FixedClock(CalendarDate day) : day_(day) {}
    CalendarDate today() const override { return day_; }
    void setToday(CalendarDate day) { day_ = day; }

private:
    CalendarDate day_;
};

}  // namespace capacimo
