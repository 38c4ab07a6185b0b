#include "records/ObjPoloItem.h"

#include "records/JsonCoding.h"

const OptionalFieldList<ObjPoloItem>& ObjPoloItem::fields() {
    using Field = OptionalField<ObjPoloItem>;
    static const OptionalFieldList<ObjPoloItem> list{
        {"CDOK", Field::IntegerMember(&ObjPoloItem::CDOK)},
        {"DATUM", Field::TextMember(&ObjPoloItem::DATUM)},
        {"STR", Field::IntegerMember(&ObjPoloItem::STR)},
        {"IDO", Field::IntegerMember(&ObjPoloItem::IDO)},
        {"POHYB", Field::IntegerMember(&ObjPoloItem::POHYB)},
        {"IDTOV", Field::TextMember(&ObjPoloItem::IDTOV)},
        {"IDTOVSC", Field::TextMember(&ObjPoloItem::IDTOVSC)},
        {"SKUTOV1", Field::IntegerMember(&ObjPoloItem::SKUTOV1)},
        {"SKUTOV2", Field::IntegerMember(&ObjPoloItem::SKUTOV2)},
        {"NAZTOV1", Field::TextMember(&ObjPoloItem::NAZTOV1)},
        {"NAZTOV2", Field::TextMember(&ObjPoloItem::NAZTOV2)},
        {"MJ", Field::TextMember(&ObjPoloItem::MJ)},
        {"DPH", Field::FloatingMember(&ObjPoloItem::DPH)},
        {"MNOZ", Field::FloatingMember(&ObjPoloItem::MNOZ)},
        {"CENA", Field::FloatingMember(&ObjPoloItem::CENA)},
        {"ZLAVA1", Field::FloatingMember(&ObjPoloItem::ZLAVA1)},
        {"CENA1", Field::FloatingMember(&ObjPoloItem::CENA1)},
        {"ZLAVA2", Field::FloatingMember(&ObjPoloItem::ZLAVA2)},
        {"CENA2", Field::FloatingMember(&ObjPoloItem::CENA2)},
        {"ZLAVAC", Field::FloatingMember(&ObjPoloItem::ZLAVAC)},
        {"CENAC", Field::FloatingMember(&ObjPoloItem::CENAC)},
        {"CCMNOZ", Field::FloatingMember(&ObjPoloItem::CCMNOZ)},
        {"HDPHCC", Field::FloatingMember(&ObjPoloItem::HDPHCC)},
        {"CCSUM", Field::FloatingMember(&ObjPoloItem::CCSUM)},
        {"SARZA", Field::TextMember(&ObjPoloItem::SARZA)},
        {"DATUMSPOTREBY", Field::TextMember(&ObjPoloItem::DATUMSPOTREBY)},
        {"EAN", Field::TextMember(&ObjPoloItem::EAN)},
        {"EAN_OB", Field::TextMember(&ObjPoloItem::EAN_OB)},
    };
    return list;
}

nlohmann::ordered_json ObjPoloItem::encode(const std::string& path) const {
    auto object = jsoncoding::OrderedJson::object();
    encodeOptionalFields(object, *this, fields(), path);
    return object;
}

std::shared_ptr<ObjPoloItem> ObjPoloItem::decode(const nlohmann::json& json, const std::string& path) {
    jsoncoding::requireObject(json, path);
    auto record = std::make_shared<ObjPoloItem>();
    decodeOptionalFields(*record, fields(), json, path);
    return record;
}

std::string ObjPoloItem::description() const {
    ReflectedDescription description("ObjPoloItem");
    describeOptionalFields(description, *this, fields());
    return description.str();
}
