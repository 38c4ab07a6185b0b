#include "records/TempPoloItem.h"

#include "records/TextFieldJson.h"

const TextFieldList<TempPoloItem>& TempPoloItem::fields() {
    static const TextFieldList<TempPoloItem> list{
        {"TEMP_VETY_ID", &TempPoloItem::TEMP_VETY_ID},
        {"IDO", &TempPoloItem::IDO},
        {"IDTOV", &TempPoloItem::IDTOV},
        {"MNOZ", &TempPoloItem::MNOZ},
        {"DATUMSPOTREBY", &TempPoloItem::DATUMSPOTREBY},
        {"POHYB", &TempPoloItem::POHYB},
        {"ZLAVA1", &TempPoloItem::ZLAVA1},
        {"ZLAVA2", &TempPoloItem::ZLAVA2},
        {"ZLAVAC", &TempPoloItem::ZLAVAC},
        {"CDOK", &TempPoloItem::CDOK},
        {"STR", &TempPoloItem::STR},
    };
    return list;
}

std::string TempPoloItem::description() const {
    return describeTextFields("TempPoloItem", *this, fields());
}

nlohmann::ordered_json TempPoloItem::encode(const std::string&) const {
    return encodeTextFields(*this, fields());
}

std::shared_ptr<TempPoloItem> TempPoloItem::decode(const nlohmann::json& json, const std::string& path) {
    auto record = std::make_shared<TempPoloItem>();
    decodeTextFields(*record, fields(), json, path);
    return record;
}

std::string TempPoloItem::encodeArray(const std::vector<std::shared_ptr<TempPoloItem>>& lines) {
    return jsoncoding::dumpCompact(jsoncoding::encodeArray(lines, ""));
}
