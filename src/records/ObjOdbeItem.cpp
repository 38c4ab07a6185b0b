#include "records/ObjOdbeItem.h"

#include "records/JsonCoding.h"

const OptionalFieldList<ObjOdbeItem>& ObjOdbeItem::fields() {
    using Field = OptionalField<ObjOdbeItem>;
    static const OptionalFieldList<ObjOdbeItem> list{
        {"IDO", Field::IntegerMember(&ObjOdbeItem::IDO)},
        {"IDOSC", Field::TextMember(&ObjOdbeItem::IDOSC)},
        {"STR", Field::IntegerMember(&ObjOdbeItem::STR)},
        {"ICO", Field::TextMember(&ObjOdbeItem::ICO)},
        {"DIC", Field::TextMember(&ObjOdbeItem::DIC)},
        {"NAZOV1", Field::TextMember(&ObjOdbeItem::NAZOV1)},
        {"NAZOV2", Field::TextMember(&ObjOdbeItem::NAZOV2)},
        {"ULICA", Field::TextMember(&ObjOdbeItem::ULICA)},
        {"MESTO", Field::TextMember(&ObjOdbeItem::MESTO)},
        {"PSC", Field::TextMember(&ObjOdbeItem::PSC)},
        {"TELC", Field::TextMember(&ObjOdbeItem::TELC)},
        {"FAXC", Field::TextMember(&ObjOdbeItem::FAXC)},
        {"IDOPL", Field::IntegerMember(&ObjOdbeItem::IDOPL)},
        {"MATICA", Field::IntegerMember(&ObjOdbeItem::MATICA)},
        {"ZLAVA", Field::FloatingMember(&ObjOdbeItem::ZLAVA)},
        {"ZLMAX", Field::FloatingMember(&ObjOdbeItem::ZLMAX)},
        {"POHYB", Field::IntegerMember(&ObjOdbeItem::POHYB)},
        {"MATIC2", Field::IntegerMember(&ObjOdbeItem::MATIC2)},
        {"CTLAC", Field::IntegerMember(&ObjOdbeItem::CTLAC)},
        {"IDOSCC", Field::TextMember(&ObjOdbeItem::IDOSCC)},
        {"ICDPH", Field::TextMember(&ObjOdbeItem::ICDPH)},
        {"CDOK", Field::IntegerMember(&ObjOdbeItem::CDOK)},
    };
    return list;
}

nlohmann::ordered_json ObjOdbeItem::encode(const std::string& path) const {
    auto object = jsoncoding::OrderedJson::object();
    encodeOptionalFields(object, *this, fields(), path);
    return object;
}

std::shared_ptr<ObjOdbeItem> ObjOdbeItem::decode(const nlohmann::json& json, const std::string& path) {
    jsoncoding::requireObject(json, path);
    auto record = std::make_shared<ObjOdbeItem>();
    decodeOptionalFields(*record, fields(), json, path);
    return record;
}

std::string ObjOdbeItem::description() const {
    ReflectedDescription description("ObjOdbeItem");
    describeOptionalFields(description, *this, fields());
    return description.str();
}
