#include "records/ObjVetyItem.h"

#include "records/JsonCoding.h"

const OptionalFieldList<ObjVetyItem>& ObjVetyItem::fields() {
    using Field = OptionalField<ObjVetyItem>;
    static const OptionalFieldList<ObjVetyItem> list{
        {"CDOK", Field::IntegerMember(&ObjVetyItem::CDOK)},
        {"DATUM", Field::TextMember(&ObjVetyItem::DATUM)},
        {"CAS", Field::TextMember(&ObjVetyItem::CAS)},
        {"STR", Field::IntegerMember(&ObjVetyItem::STR)},
        {"IDU", Field::IntegerMember(&ObjVetyItem::IDU)},
        {"MENO", Field::TextMember(&ObjVetyItem::MENO)},
        {"IDO", Field::IntegerMember(&ObjVetyItem::IDO)},
        {"IDOPL", Field::IntegerMember(&ObjVetyItem::IDOPL)},
        {"IDOSC", Field::TextMember(&ObjVetyItem::IDOSC)},
        {"ICO", Field::TextMember(&ObjVetyItem::ICO)},
        {"POHYB", Field::IntegerMember(&ObjVetyItem::POHYB)},
        {"SMJ", Field::FloatingMember(&ObjVetyItem::SMJ)},
        {"DODZLA", Field::FloatingMember(&ObjVetyItem::DODZLA)},
        {"DATUM3", Field::TextMember(&ObjVetyItem::DATUM3)},
        {"SUMDOKZ", Field::FloatingMember(&ObjVetyItem::SUMDOKZ)},
        {"INFO", Field::TextMember(&ObjVetyItem::INFO)},
        {"CTL", Field::IntegerMember(&ObjVetyItem::CTL)},
        {"PARDOK", Field::TextMember(&ObjVetyItem::PARDOK)},
        {"PARCDOK", Field::IntegerMember(&ObjVetyItem::PARCDOK)},
        {"PORCDOK", Field::IntegerMember(&ObjVetyItem::PORCDOK)},
        {"OBJCDOK", Field::IntegerMember(&ObjVetyItem::OBJCDOK)},
        {"IMPORTOVAT", Field::TextMember(&ObjVetyItem::IMPORTOVAT)},
    };
    return list;
}

nlohmann::ordered_json ObjVetyItem::encode(const std::string& path) const {
    auto object = jsoncoding::OrderedJson::object();
    encodeOptionalFields(object, *this, fields(), path);
    if (POLOZKY)
        object["POLOZKY"] = jsoncoding::encodeArray(*POLOZKY, jsoncoding::memberPath(path, "POLOZKY"));
    else
        object["POLOZKY"] = nullptr;
    if (ODBERATELIA)
        object["ODBERATELIA"] = jsoncoding::encodeArray(*ODBERATELIA, jsoncoding::memberPath(path, "ODBERATELIA"));
    else
        object["ODBERATELIA"] = nullptr;
    return object;
}

std::shared_ptr<ObjVetyItem> ObjVetyItem::decode(const nlohmann::json& json, const std::string& path) {
    jsoncoding::requireObject(json, path);
    auto record = std::make_shared<ObjVetyItem>();
    decodeOptionalFields(*record, fields(), json, path);
    auto polozky = json.find("POLOZKY");
    if (polozky != json.end() && !polozky->is_null())
        record->POLOZKY = jsoncoding::decodeArray<ObjPoloItem>(*polozky, jsoncoding::memberPath(path, "POLOZKY"));
    auto odberatelia = json.find("ODBERATELIA");
    if (odberatelia != json.end() && !odberatelia->is_null())
        record->ODBERATELIA =
            jsoncoding::decodeArray<ObjOdbeItem>(*odberatelia, jsoncoding::memberPath(path, "ODBERATELIA"));
    return record;
}

std::string ObjVetyItem::description() const {
    ReflectedDescription description("ObjVetyItem");
    describeOptionalFields(description, *this, fields());
    description.optionalList("POLOZKY", POLOZKY);
    description.optionalList("ODBERATELIA", ODBERATELIA);
    return description.str();
}
