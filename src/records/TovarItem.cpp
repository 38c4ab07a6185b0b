#include "records/TovarItem.h"

const TextFieldList<TovarItem>& TovarItem::fields() {
    static const TextFieldList<TovarItem> list{
        {"IDTOV", &TovarItem::IDTOV},
        {"NAZTOV1", &TovarItem::NAZTOV1},
        {"NAZTOV2", &TovarItem::NAZTOV2},
        {"EAN", &TovarItem::EAN},
        {"EAN_OB", &TovarItem::EAN_OB},
        {"SKLAD_STAV", &TovarItem::SKLAD_STAV},
        {"CENA", &TovarItem::CENA},
        {"DPH", &TovarItem::DPH},
        {"SDPH", &TovarItem::SDPH},
        {"ZLAVA1", &TovarItem::ZLAVA1},
        {"ZLAVA2", &TovarItem::ZLAVA2},
        {"DATUM_OD", &TovarItem::DATUM_OD},
        {"DATUM_DO", &TovarItem::DATUM_DO},
        {"ZLAVA3", &TovarItem::ZLAVA3},
        {"CENA1", &TovarItem::CENA1},
        {"CENA2", &TovarItem::CENA2},
        {"CENA3", &TovarItem::CENA3},
        {"MAXZLA", &TovarItem::MAXZLA},
        {"AKCZLA", &TovarItem::AKCZLA},
        {"MJ", &TovarItem::MJ},
        {"VYBRANE", &TovarItem::VYBRANE},
        {"KORUNKA", &TovarItem::KORUNKA},
        {"CENA3SDPH", &TovarItem::CENA3SDPH},
        {"CCMNOZ", &TovarItem::CCMNOZ},
        {"HDPHCC", &TovarItem::HDPHCC},
        {"CCSUM", &TovarItem::CCSUM},
        {"SUMDOKZ", &TovarItem::SUMDOKZ},
        {"SUMDOKZ_KORUNKA", &TovarItem::SUMDOKZ_KORUNKA},
    };
    return list;
}

std::shared_ptr<TovarItem> TovarItem::fromRow(const RowDictionary& row) {
    auto record = std::make_shared<TovarItem>();
    record->fillFromRow(row);
    return record;
}

void TovarItem::fillFromRow(const RowDictionary& row) {
    fillTextFieldsFromRow(*this, fields(), row);
}

std::string TovarItem::description() const {
    return describeTextFields("TovarItem", *this, fields());
}
