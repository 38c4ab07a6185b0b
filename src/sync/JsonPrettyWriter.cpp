#include "sync/JsonPrettyWriter.h"

#include "records/JsonNumberText.h"

std::string JsonPrettyWriter::write(const nlohmann::ordered_json& value) {
    std::string out;
    writeValue(out, value, 0);
    return out;
}

void JsonPrettyWriter::writeValue(std::string& out, const nlohmann::ordered_json& value, int level) {
    const std::string inner(static_cast<std::size_t>(level + 1) * 2, ' ');
    const std::string outer(static_cast<std::size_t>(level) * 2, ' ');
    if (value.is_object()) {
        if (value.empty()) {
            out += "{}";
            return;
        }
        out += "{\n";
        bool first = true;
        for (const auto& [key, member] : value.items()) {
            if (!first) out += ",\n";
            first = false;
            out += inner;
            writeString(out, key);
            out += " : ";
            writeValue(out, member, level + 1);
        }
        out += "\n" + outer + "}";
    } else if (value.is_array()) {
        if (value.empty()) {
            out += "[]";
            return;
        }
        out += "[\n";
        bool first = true;
        for (const auto& element : value) {
            if (!first) out += ",\n";
            first = false;
            out += inner;
            writeValue(out, element, level + 1);
        }
        out += "\n" + outer + "]";
    } else if (value.is_string()) {
        writeString(out, value.get_ref<const std::string&>());
    } else if (value.is_number()) {
        writeNumber(out, value);
    } else {
        out += value.dump();  // true, false, null
    }
}

void JsonPrettyWriter::writeString(std::string& out, const std::string& text) {
    // The library's own escaping checks the UTF-8 and escapes quotes,
    // backslashes and control characters; the slash is escaped on top.
    const std::string escaped = nlohmann::ordered_json(text).dump();
    for (char c : escaped) {
        if (c == '/') out += "\\/";
        else out += c;
    }
}

void JsonPrettyWriter::writeNumber(std::string& out, const nlohmann::ordered_json& value) {
    out += JsonNumberText::of(value);
}
