#include "records/MyResponse.h"

#include "records/JsonCoding.h"
#include "records/ReflectedDescription.h"

nlohmann::ordered_json MyResponse::encode(const std::string& path) const {
    auto object = jsoncoding::OrderedJson::object();
    if (RESPONSE) object["RESPONSE"] = *RESPONSE;
    if (DOKLADY) object["DOKLADY"] = jsoncoding::encodeArray(*DOKLADY, jsoncoding::memberPath(path, "DOKLADY"));
    return object;
}

std::shared_ptr<MyResponse> MyResponse::decode(const nlohmann::json& json, const std::string& path) {
    jsoncoding::requireObject(json, path);
    auto record = std::make_shared<MyResponse>();
    record->RESPONSE = jsoncoding::optionalString(json, "RESPONSE", path);
    auto doklady = json.find("DOKLADY");
    if (doklady != json.end() && !doklady->is_null())
        record->DOKLADY = jsoncoding::decodeArray<ObjVetyItem>(*doklady, jsoncoding::memberPath(path, "DOKLADY"));
    return record;
}

std::string MyResponse::description() const {
    return ReflectedDescription("MyResponse")
        .optionalText("RESPONSE", RESPONSE)
        .optionalList("DOKLADY", DOKLADY)
        .str();
}
