#include "ui/sales/Datum.h"

#include <ctime>

#include "platform/Clock.h"
#include "platform/DateFormatter.h"
#include "records/ParameterItem.h"

namespace {

using TimePoint = platform::DatePicker::TimePoint;

TimePoint toTimePoint(platform::Date date) {
    return std::chrono::system_clock::time_point(std::chrono::duration_cast<std::chrono::system_clock::duration>(
        std::chrono::duration<double>(date.timeIntervalSince1970())));
}

platform::Date toDate(TimePoint t) {
    return platform::Date(std::chrono::duration<double>(t.time_since_epoch()).count());
}

// `t` moved by `days` calendar days in local time, the time of day kept.
TimePoint addDays(TimePoint t, int days) {
    std::time_t seconds = std::chrono::system_clock::to_time_t(t);
    std::tm tm{};
    localtime_r(&seconds, &tm);
    tm.tm_mday += days;
    tm.tm_isdst = -1;
    const std::time_t moved = std::mktime(&tm);
    return std::chrono::system_clock::from_time_t(moved) + (t - std::chrono::system_clock::from_time_t(seconds));
}

}  // namespace

Datum::Datum() : item(std::make_shared<ParameterItem>()) {}

void Datum::viewDidLoad() {
    platform::ViewController::viewDidLoad();
    auto picker = datePicker.lock();
    if (!picker) return;
    const TimePoint now = toTimePoint(platform::Clock::now());
    const auto parsed = platform::DateFormatter("dd.MM.yyyy").date(item->VALUE);
    picker->setDate(parsed ? toTimePoint(*parsed) : now);
    if (item->NAME == "DATUMDODANIA") {
        picker->setMinimumDate(addDays(now, -14));
        picker->setMaximumDate(addDays(now, 14));
    }
}

void Datum::viewWillDisappear(bool animated) {
    platform::ViewController::viewWillDisappear(animated);
    auto picker = datePicker.lock();
    if (!picker) return;
    item->VALUE = platform::DateFormatter("dd.MM.yyyy").string(toDate(picker->date()));
    item->DISPLAYVALUE = item->VALUE;
}
