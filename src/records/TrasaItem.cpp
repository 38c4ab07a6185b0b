#include "records/TrasaItem.h"

const TextFieldList<TrasaItem>& TrasaItem::fields() {
    static const TextFieldList<TrasaItem> list{
        {"TRASA_CISLO", &TrasaItem::TRASA_CISLO},
        {"PORADIE", &TrasaItem::PORADIE},
        {"IDOSC", &TrasaItem::IDOSC},
        {"IDO", &TrasaItem::IDO},
    };
    return list;
}

std::shared_ptr<TrasaItem> TrasaItem::fromRow(const RowDictionary& row) {
    auto record = std::make_shared<TrasaItem>();
    record->fillFromRow(row);
    return record;
}

void TrasaItem::fillFromRow(const RowDictionary& row) {
    fillTextFieldsFromRow(*this, fields(), row);
}

std::string TrasaItem::description() const {
    return describeTextFields("TrasaItem", *this, fields());
}
