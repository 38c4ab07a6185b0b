#include "fiscal/EkasaDoklad.h"

#include "platform/DateFormatter.h"
#include "platform/Numbers.h"

namespace {

std::optional<std::string> text(const nlohmann::json& object, const char* key) {
    auto it = object.find(key);
    if (it == object.end() || !it->is_string()) return std::nullopt;
    return it->get<std::string>();
}

}  // namespace

std::optional<EkasaDoklad> EkasaDoklad::fromReply(const nlohmann::json& reply) {
    if (!reply.is_object()) return std::nullopt;
    for (const char* key : {"document", "cash"}) {
        auto it = reply.find(key);
        if (it != reply.end() && it->is_object()) return fromObject(*it);
    }
    return std::nullopt;
}

EkasaDoklad EkasaDoklad::fromObject(const nlohmann::json& object) {
    EkasaDoklad d;
    if (!object.is_object()) return d;
    d.externalId = text(object, "externalId");
    d.uuid = text(object, "uuid");
    d.okp = text(object, "okp");
    auto seq = object.find("sequenceId");
    if (seq != object.end() && seq->is_number_integer()) {
        if (seq->is_number_unsigned()) {
            auto u = seq->get<std::uint64_t>();
            if (u <= static_cast<std::uint64_t>(INT64_MAX)) d.sequenceId = static_cast<std::int64_t>(u);
        } else {
            d.sequenceId = seq->get<std::int64_t>();
        }
    }
    d.createDate = text(object, "createDate");
    d.issueDate = text(object, "issueDate");
    d.processDate = text(object, "processDate");
    return d;
}

std::string EkasaDoklad::mesiac() const {
    return createDate && createDate->size() >= 10 ? createDate->substr(3, 2) : "00";
}

std::string EkasaDoklad::rok() const {
    return createDate && createDate->size() >= 10 ? createDate->substr(6, 4) : "0000";
}

std::string EkasaDoklad::pardok() const {
    return rok() + mesiac() + platform::format("%0*lld", 5, static_cast<long long>(sequenceId.value_or(0)));
}

std::optional<std::string> EkasaDoklad::convertDate(const std::optional<std::string>& date) {
    if (!date) return std::nullopt;
    auto parsed = platform::DateFormatter::parse(*date, "dd.MM.yyyy HH:mm:ss");
    if (!parsed) return std::nullopt;
    return platform::DateFormatter::format(*parsed, "yyyy-MM-dd HH:mm:ss");
}

std::optional<std::string> EkasaDoklad::datumVytvor() const { return convertDate(createDate); }
std::optional<std::string> EkasaDoklad::datumVystav() const { return convertDate(issueDate); }
std::optional<std::string> EkasaDoklad::datumEvid() const { return convertDate(processDate); }

std::string EkasaDoklad::podpis(const std::optional<EkasaDoklad>& doklad) {
    if (!doklad) return "";
    return shown(doklad->externalId) + "|" + shown(doklad->sequenceId);
}

std::string EkasaDoklad::shown(const std::optional<std::string>& value) {
    return value ? "Optional(\"" + *value + "\")" : "nil";
}

std::string EkasaDoklad::shown(const std::optional<std::int64_t>& value) {
    return value ? platform::format("Optional(%lld)", static_cast<long long>(*value)) : "nil";
}
