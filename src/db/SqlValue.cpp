#include "db/SqlValue.h"

#include <charconv>
#include <cstdio>

namespace {

std::string doubleText(double d) {
    char buf[64];
    auto res = std::to_chars(buf, buf + sizeof buf, d);
    return std::string(buf, res.ptr);
}

}  // namespace

std::optional<std::string> SqlValue::text() const {
    if (auto s = std::get_if<std::string>(&_v)) return *s;
    return std::nullopt;
}

std::optional<std::int64_t> SqlValue::integer() const {
    return std::visit(
        [](const auto& x) -> std::optional<std::int64_t> {
            using T = std::decay_t<decltype(x)>;
            if constexpr (std::is_same_v<T, bool>) {
                return x ? 1 : 0;
            } else if constexpr (std::is_integral_v<T>) {
                return static_cast<std::int64_t>(x);
            } else if constexpr (std::is_floating_point_v<T>) {
                return static_cast<std::int64_t>(x);
            } else {
                return std::nullopt;
            }
        },
        _v);
}

std::optional<double> SqlValue::real() const {
    return std::visit(
        [](const auto& x) -> std::optional<double> {
            using T = std::decay_t<decltype(x)>;
            if constexpr (std::is_arithmetic_v<T>) {
                return static_cast<double>(x);
            } else {
                return std::nullopt;
            }
        },
        _v);
}

std::optional<SqlValue::Date> SqlValue::date() const {
    if (auto d = std::get_if<Date>(&_v)) return *d;
    return std::nullopt;
}

std::string SqlValue::description() const {
    return std::visit(
        [](const auto& x) -> std::string {
            using T = std::decay_t<decltype(x)>;
            if constexpr (std::is_same_v<T, std::monostate>) {
                return "(null)";
            } else if constexpr (std::is_same_v<T, Null>) {
                return "<null>";
            } else if constexpr (std::is_same_v<T, Blob>) {
                return "<" + std::to_string(x.size()) + " bytes>";
            } else if constexpr (std::is_same_v<T, Date>) {
                return doubleText(x.timeIntervalSince1970());
            } else if constexpr (std::is_same_v<T, bool>) {
                return x ? "1" : "0";
            } else if constexpr (std::is_floating_point_v<T>) {
                return doubleText(static_cast<double>(x));
            } else if constexpr (std::is_integral_v<T>) {
                return std::to_string(x);
            } else {
                return x;
            }
        },
        _v);
}
