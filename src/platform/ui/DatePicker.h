#pragma once

#include <chrono>
#include <optional>

#include "platform/ui/Control.h"

namespace platform {

class DatePicker : public Control {
public:
    using TimePoint = std::chrono::system_clock::time_point;
    enum class Mode { time, date, dateAndTime };

    DatePicker() : date_(std::chrono::system_clock::now()) {}

    TimePoint date() const { return date_; }
    // Set by code; kept within the bounds as the platform does. Sends no action.
    void setDate(TimePoint date, bool animated = false);
    const std::optional<TimePoint>& minimumDate() const { return minimum_; }
    void setMinimumDate(std::optional<TimePoint> date);
    const std::optional<TimePoint>& maximumDate() const { return maximum_; }
    void setMaximumDate(std::optional<TimePoint> date);
    Mode mode() const { return mode_; }
    void setMode(Mode mode) { mode_ = mode; }

    // The user picks a date: kept within the bounds, then the actions are sent.
    void pick(TimePoint date);

private:
    TimePoint clamp(TimePoint date) const;

    TimePoint date_;
    std::optional<TimePoint> minimum_;
    std::optional<TimePoint> maximum_;
    Mode mode_ = Mode::date;
};

}  // namespace platform
