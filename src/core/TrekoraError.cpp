#include "core/TrekoraError.h"

#include "platform/Localization.h"

#include <vector>

TrekoraError::TrekoraError(Kind kind, std::string nazov, std::int64_t coins)
    : kind_(kind), nazov_(std::move(nazov)), coinsNeeded_(coins) {
    description_ = errorDescription();
}

TrekoraError TrekoraError::nenajdeneQuery(const std::string& nazov) { return {Kind::nenajdeneQuery, nazov, 0}; }
TrekoraError TrekoraError::aplikovanaAktivita(const std::string& nazov) { return {Kind::aplikovanaAktivita, nazov, 0}; }
TrekoraError TrekoraError::insufficientFunds(std::int64_t coinsNeeded) { return {Kind::insufficientFunds, "", coinsNeeded}; }
TrekoraError TrekoraError::ziadnaVybranaAktivita() { return {Kind::ziadnaVybranaAktivita, "", 0}; }
TrekoraError TrekoraError::ziadnyVybranyDoklad() { return {Kind::ziadnyVybranyDoklad, "", 0}; }
TrekoraError TrekoraError::neprebiehajucaAktivita() { return {Kind::neprebiehajucaAktivita, "", 0}; }
TrekoraError TrekoraError::invalidSelection() { return {Kind::invalidSelection, "", 0}; }
TrekoraError TrekoraError::outOfStock() { return {Kind::outOfStock, "", 0}; }

std::string TrekoraError::userText() const {
    switch (kind_) {
    case Kind::nenajdeneQuery:
        return "nenajdene query '" + nazov_ + "'.";
    case Kind::aplikovanaAktivita:
        return "na vybrany doklad uz bola aplikovana aktivita " + nazov_ + ".";
    case Kind::ziadnaVybranaAktivita:
        return "nebola vybraná žiadna aktivita.";
    case Kind::ziadnyVybranyDoklad:
        return "nebol vybraný žiadny doklad.";
    case Kind::neprebiehajucaAktivita:
        return "aktivita nie je prebiehajúca.";
    case Kind::insufficientFunds:
    case Kind::invalidSelection:
    case Kind::outOfStock:
        break;
    }
    return "neznama chyba.";
}

std::string TrekoraError::errorDescription() const {
    return platform::Localization::localizedString(userText(), "error text of a data operation");
}

namespace {
std::vector<std::string> splitAll(const std::string& text, const std::string& sep) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (;;) {
        std::size_t pos = text.find(sep, start);
        if (pos == std::string::npos) {
            parts.push_back(text.substr(start));
            return parts;
        }
        parts.push_back(text.substr(start, pos - start));
        start = pos + sep.size();
    }
}
} // namespace

bool ResultString::isSuccess(const std::string& result) { return result.rfind("ok", 0) == 0; }

std::string ResultString::title(const std::string& result) { return splitAll(result, ",,")[0]; }

std::string ResultString::message(const std::string& result) {
    auto parts = splitAll(result, ",,");
    return parts.size() > 1 ? parts[1] : std::string();
}

std::string ResultString::reason(const std::string& result) {
    const auto mark = result.find(",,");
    return mark == std::string::npos ? result : result.substr(mark + 2);
}

std::string ResultString::number(const std::string& result) {
    auto parts = splitAll(message(result), "=");
    return parts.size() > 1 ? parts[1] : std::string();
}
