#include "records/PreskladnenieItem.h"

#include "records/ReflectedDescription.h"
#include "records/JsonCoding.h"

nlohmann::ordered_json PreskladnenieItem::encode(const std::string&) const {
    auto object = jsoncoding::OrderedJson::object();
    object["CDOK"] = CDOK;
    object["IDTOV"] = IDTOV;
    object["MNOZ"] = MNOZ;
    object["DATUMSPOTREBY"] = DATUMSPOTREBY;
    return object;
}

std::shared_ptr<PreskladnenieItem> PreskladnenieItem::decode(const nlohmann::json& json, const std::string& path) {
    jsoncoding::requireObject(json, path);
    auto record = std::make_shared<PreskladnenieItem>();
    record->CDOK = jsoncoding::requireInteger(json, "CDOK", path);
    record->IDTOV = jsoncoding::requireString(json, "IDTOV", path);
    record->MNOZ = jsoncoding::requireString(json, "MNOZ", path);
    record->DATUMSPOTREBY = jsoncoding::requireString(json, "DATUMSPOTREBY", path);
    return record;
}

std::vector<std::shared_ptr<PreskladnenieItem>> PreskladnenieItem::decodeArray(const nlohmann::json& json) {
    return jsoncoding::decodeArray<PreskladnenieItem>(json, "");
}

std::vector<std::shared_ptr<PreskladnenieItem>> PreskladnenieItem::decodeArrayFromText(std::string_view jsonText) {
    return decodeArray(jsoncoding::parse(jsonText));
}

std::string PreskladnenieItem::description() const {
    return ReflectedDescription("PreskladnenieItem")
        .integer("CDOK", CDOK)
        .text("IDTOV", IDTOV)
        .text("MNOZ", MNOZ)
        .text("DATUMSPOTREBY", DATUMSPOTREBY)
        .str();
}
