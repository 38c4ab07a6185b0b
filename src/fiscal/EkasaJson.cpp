#include "fiscal/EkasaJson.h"

#include <nlohmann/json.hpp>

std::string EkasaJson::quoted(const std::string& text) {
    return nlohmann::json(text).dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

std::string EkasaJson::printer(const std::string& lanAddress) {
    return "{\"socket\" : " + quoted("tcp://" + lanAddress + ":9100") +
           ",\"numberOfCharInRow\" : 48,\"codingNumber\" : 30}";
}

std::string EkasaJson::printData(const std::string& text, const std::string& lanAddress) {
    return "{\"printData\" : " + quoted(text) + ",\"printer\" : " + printer(lanAddress) + "}";
}

std::string EkasaJson::lastDocument(const std::string& lanAddress) {
    return "{\"printer\" : " + printer(lanAddress) + "} ";
}

std::string EkasaJson::documentBySequenceId(const std::string& sequenceId, const std::string& month,
                                            const std::string& year, const std::string& lanAddress) {
    return "{\"documentBySequenceId\" : {\"sequenceId\" : " + quoted(sequenceId) + ",\"month\" : " + quoted(month) +
           ", \"year\": " + quoted(year) + "},\"printer\" : " + printer(lanAddress) + "} ";
}

std::string EkasaJson::otherLocation(const std::string& text, const std::string& lanAddress) {
    return "{\"otherLocation\" : " + quoted(text) + ",\"printer\" : " + printer(lanAddress) + "}";
}

std::string EkasaJson::fixDocument() { return "{\"fixDocument\" : {\"useLastMerchant\" : true } }"; }

std::string EkasaJson::unquote(const std::string& text) {
    static const std::string entity = "&quot;";
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        if (text.compare(i, entity.size(), entity) == 0) {
            out += '"';
            i += entity.size();
        } else {
            out += text[i++];
        }
    }
    return out;
}

std::string EkasaJson::receiptBody(const std::string& text) {
    std::string body = unquote(text);
    // The last comma outside a string; it goes only when a closing bracket follows it.
    std::size_t lastComma = std::string::npos;
    bool inString = false;
    for (std::size_t i = 0; i < body.size(); ++i) {
        char c = body[i];
        if (inString) {
            if (c == '\\') ++i;
            else if (c == '"') inString = false;
        } else if (c == '"') {
            inString = true;
        } else if (c == ',') {
            lastComma = i;
        }
    }
    if (lastComma == std::string::npos) return body;
    auto next = body.find_first_not_of(" \t\r\n", lastComma + 1);
    if (next != std::string::npos && (body[next] == ']' || body[next] == '}')) body[lastComma] = ' ';
    return body;
}

std::optional<EkasaJson::Pardok> EkasaJson::cutPardok(const std::string& pardok) {
    if (pardok.size() < 11) return std::nullopt;
    for (char c : pardok)
        if (c < '0' || c > '9') return std::nullopt;
    return Pardok{pardok.substr(0, 4), pardok.substr(4, 2), pardok.substr(6)};
}
