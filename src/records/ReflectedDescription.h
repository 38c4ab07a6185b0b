#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Builds the printed form of a record for the console and the log:
//   TypeName(FIELD1: value, FIELD2: value)
// Texts are written unchanged (no quotes), numbers in their ordinary decimal
// form, nested records by their own description(). Optional values print as
// Optional(...) when present and as nil when absent; a present text inside
// Optional(...) is quoted so that it can be told apart from the absent value.
class ReflectedDescription {
public:
    explicit ReflectedDescription(std::string_view typeName);

    ReflectedDescription& text(std::string_view label, std::string_view value);
    ReflectedDescription& integer(std::string_view label, std::int64_t value);
    ReflectedDescription& floating(std::string_view label, double value);
    ReflectedDescription& optionalText(std::string_view label, const std::optional<std::string>& value);
    ReflectedDescription& optionalInteger(std::string_view label, const std::optional<std::int64_t>& value);
    ReflectedDescription& optionalFloating(std::string_view label, const std::optional<double>& value);

    // A list of shared records, each printed by its description().
    template <class Record>
    ReflectedDescription& optionalList(std::string_view label,
                                       const std::optional<std::vector<std::shared_ptr<Record>>>& value) {
        if (!value) return raw(label, "nil");
        return raw(label, "Optional(" + list(*value) + ")");
    }

    // "[a, b]": shared records, each printed by its description().
    template <class Record>
    static std::string list(const std::vector<std::shared_ptr<Record>>& records) {
        std::vector<std::string> parts;
        parts.reserve(records.size());
        for (const auto& element : records) parts.push_back(element ? element->description() : std::string("nil"));
        return listText(parts);
    }

    // A value already rendered by the caller.
    ReflectedDescription& raw(std::string_view label, std::string_view rendered);

    std::string str() const;

    // Shortest decimal form that reads back as the same double; a whole
    // number keeps a ".0" so that it is recognisable as floating.
    static std::string formatFloating(double value);

private:
    static std::string listText(const std::vector<std::string>& parts);

    std::string text_;
    bool first_ = true;
};
