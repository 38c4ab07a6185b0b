#include "records/TempVetyItem.h"

#include "records/TextFieldJson.h"

const TextFieldList<TempVetyItem>& TempVetyItem::fields() {
    static const TextFieldList<TempVetyItem> list{
        {"IDU", &TempVetyItem::IDU},
        {"IDO", &TempVetyItem::IDO},
        {"INFO", &TempVetyItem::INFO},
        {"KM", &TempVetyItem::KM},
        {"FACVSET", &TempVetyItem::FACVSET},
        {"FACNAS", &TempVetyItem::FACNAS},
        {"TRASA", &TempVetyItem::TRASA},
        {"POHYB", &TempVetyItem::POHYB},
        {"DATUM3", &TempVetyItem::DATUM3},
        {"SUMDOKZ", &TempVetyItem::SUMDOKZ},
        {"PARCDOK", &TempVetyItem::PARCDOK},
        {"OBJCDOK", &TempVetyItem::OBJCDOK},
    };
    return list;
}

std::string TempVetyItem::description() const {
    return describeTextFields("TempVetyItem", *this, fields());
}

nlohmann::ordered_json TempVetyItem::encode(const std::string&) const {
    return encodeTextFields(*this, fields());
}

std::shared_ptr<TempVetyItem> TempVetyItem::decode(const nlohmann::json& json, const std::string& path) {
    auto record = std::make_shared<TempVetyItem>();
    decodeTextFields(*record, fields(), json, path);
    return record;
}
