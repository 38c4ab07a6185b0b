#pragma once

#include <nlohmann/json.hpp>

#include <cstdint>
#include <optional>
#include <string>

// The fiscal service's record of a registered document, read from its reply
// ("document", or "cash" for a deposit or withdrawal), with the values that
// the document's header keeps: the fiscal receipt reference and the three
// dates in the database's form.
class EkasaDoklad {
public:
    // The record of a reply object; absent when the reply holds neither a
    // "document" nor a "cash" object.
    static std::optional<EkasaDoklad> fromReply(const nlohmann::json& reply);
    static EkasaDoklad fromObject(const nlohmann::json& object);

    std::optional<std::string> externalId;
    std::optional<std::string> uuid;
    std::optional<std::string> okp;
    std::optional<std::int64_t> sequenceId;
    std::optional<std::string> createDate;
    std::optional<std::string> issueDate;
    std::optional<std::string> processDate;

    // Month and year cut from createDate ("dd.MM.yyyy HH:mm:ss"); "00" and
    // "0000" when it is absent or too short to hold them.
    std::string mesiac() const;
    std::string rok() const;
    // Year, month and the sequence number zero-padded to five digits.
    std::string pardok() const;
    // The dates as "yyyy-MM-dd HH:mm:ss"; absent when absent or not in the
    // service's pattern.
    std::optional<std::string> datumVytvor() const;
    std::optional<std::string> datumVystav() const;
    std::optional<std::string> datumEvid() const;

    // What tells one registration of the service from another: the document
    // number and the service's sequence number ("" when it holds none).
    static std::string podpis(const std::optional<EkasaDoklad>& doklad);

    // An optional value as the log shows it.
    static std::string shown(const std::optional<std::string>& value);
    static std::string shown(const std::optional<std::int64_t>& value);

private:
    static std::optional<std::string> convertDate(const std::optional<std::string>& date);
};
