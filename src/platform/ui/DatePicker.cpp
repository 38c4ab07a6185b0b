#include "platform/ui/DatePicker.h"

namespace platform {

DatePicker::TimePoint DatePicker::clamp(TimePoint date) const {
    if (minimum_ && date < *minimum_) date = *minimum_;
    if (maximum_ && date > *maximum_) date = *maximum_;
    return date;
}

void DatePicker::setDate(TimePoint date, bool) { date_ = clamp(date); }

void DatePicker::setMinimumDate(std::optional<TimePoint> date) {
    minimum_ = date;
    date_ = clamp(date_);
}

void DatePicker::setMaximumDate(std::optional<TimePoint> date) {
    maximum_ = date;
    date_ = clamp(date_);
}

void DatePicker::pick(TimePoint date) {
    if (!isEnabled()) return;
    date_ = clamp(date);
    sendActions();
}

}  // namespace platform
