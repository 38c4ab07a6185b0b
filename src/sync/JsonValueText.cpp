#include "sync/JsonValueText.h"

#include "records/JsonNumberText.h"

std::string JsonValueText::of(const nlohmann::json& value) {
    if (value.is_string()) return value.get<std::string>();
    if (value.is_null()) return "<null>";
    if (value.is_boolean()) return value.get<bool>() ? "1" : "0";
    if (value.is_number()) return JsonNumberText::of(value);
    return value.dump();
}

std::optional<std::string> JsonValueText::column(const nlohmann::json& value, bool& refused) {
    if (value.is_array() || value.is_object()) {
        refused = true;
        return std::nullopt;
    }
    std::string text = of(value);
    if (text == "<null>") return std::nullopt;
    return text;
}

std::optional<std::string> JsonValueText::orderNumber(const nlohmann::json& value) {
    if (value.is_number()) return of(value);
    if (!value.is_string()) return std::nullopt;
    const std::string& text = value.get_ref<const std::string&>();
    std::size_t start = (!text.empty() && (text[0] == '-' || text[0] == '+')) ? 1 : 0;
    if (start == text.size()) return std::nullopt;
    for (std::size_t i = start; i < text.size(); ++i)
        if (text[i] < '0' || text[i] > '9') return std::nullopt;
    return text;
}

std::optional<std::string> JsonValueText::orderNumberOf(const nlohmann::json& object) {
    if (!object.is_object()) return std::nullopt;
    auto it = object.find("CDOK");
    return it == object.end() ? std::nullopt : orderNumber(*it);
}
