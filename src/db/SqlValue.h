#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "platform/Date.h"

// One value handed to the database layer for binding, or read back from a
// row. The alternatives decide how the value is bound (see
// SqlDatabase::bindObject).
class SqlValue {
public:
    // The explicit null marker (bound as NULL like an absent value; the
    // object getters of SqlResultSet return it for SQL NULL).
    struct Null {
        bool operator==(const Null&) const = default;
    };
    using Blob = std::vector<std::uint8_t>;
    using Date = platform::Date;

    enum class Kind {
        Absent, NullMarker, BlobValue, DateValue,
        Int8, UInt8, Int16, UInt16, Int32, UInt32, Int64, UInt64,
        Float, Double, Bool, Text
    };

    using Storage = std::variant<std::monostate, Null, Blob, Date,
                                 std::int8_t, std::uint8_t, std::int16_t, std::uint16_t,
                                 std::int32_t, std::uint32_t, std::int64_t, std::uint64_t,
                                 float, double, bool, std::string>;

    SqlValue() = default;
    SqlValue(std::nullptr_t) {}
    SqlValue(std::nullopt_t) {}
    SqlValue(Null v) : _v(v) {}
    SqlValue(Blob v) : _v(std::move(v)) {}
    SqlValue(Date v) : _v(v) {}
    SqlValue(signed char v) : _v(static_cast<std::int8_t>(v)) {}
    SqlValue(unsigned char v) : _v(static_cast<std::uint8_t>(v)) {}
    SqlValue(short v) : _v(static_cast<std::int16_t>(v)) {}
    SqlValue(unsigned short v) : _v(static_cast<std::uint16_t>(v)) {}
    SqlValue(int v) : _v(static_cast<std::int32_t>(v)) {}
    SqlValue(unsigned int v) : _v(static_cast<std::uint32_t>(v)) {}
    SqlValue(long v) : _v(static_cast<std::int64_t>(v)) {}
    SqlValue(unsigned long v) : _v(static_cast<std::uint64_t>(v)) {}
    SqlValue(long long v) : _v(static_cast<std::int64_t>(v)) {}
    SqlValue(unsigned long long v) : _v(static_cast<std::uint64_t>(v)) {}
    SqlValue(float v) : _v(v) {}
    SqlValue(double v) : _v(v) {}
    SqlValue(bool v) : _v(v) {}
    SqlValue(const char* v) {
        if (v) _v = std::string(v);
    }
    SqlValue(std::string v) : _v(std::move(v)) {}
    SqlValue(std::string_view v) : _v(std::string(v)) {}
    // A character is not a number here: say what is meant.
    SqlValue(char) = delete;
    template <class T>
    SqlValue(const std::optional<T>& v) {
        if (v) *this = SqlValue(*v);
    }

    static SqlValue null() { return SqlValue(Null{}); }

    Kind kind() const { return static_cast<Kind>(_v.index()); }
    bool isAbsent() const { return kind() == Kind::Absent; }
    bool isNull() const { return kind() == Kind::NullMarker; }
    bool isAbsentOrNull() const { return isAbsent() || isNull(); }
    const Storage& storage() const { return _v; }

    // Convenience readers; nullopt when the value holds another kind
    // (numbers convert between each other).
    std::optional<std::string> text() const;
    std::optional<std::int64_t> integer() const;
    std::optional<double> real() const;
    const Blob* blob() const { return std::get_if<Blob>(&_v); }
    std::optional<Date> date() const;

    // The value's description text: what a value of no other binding kind
    // is bound as, and what traces show.
    std::string description() const;

    bool operator==(const SqlValue&) const = default;

private:
    Storage _v;
};
