#include "records/DatumSpotrebyItem.h"

const TextFieldList<DatumSpotrebyItem>& DatumSpotrebyItem::fields() {
    static const TextFieldList<DatumSpotrebyItem> list{
        {"SKLAD_ID", &DatumSpotrebyItem::SKLAD_ID},
        {"SKLAD_STAV", &DatumSpotrebyItem::SKLAD_STAV},
        {"IDTOV", &DatumSpotrebyItem::IDTOV},
        {"SARZA_ID", &DatumSpotrebyItem::SARZA_ID},
        {"SARZA_STAV", &DatumSpotrebyItem::SARZA_STAV},
        {"DATUMSPOTREBY", &DatumSpotrebyItem::DATUMSPOTREBY},
        {"FDATSPOT", &DatumSpotrebyItem::FDATSPOT},
        {"VYBRANE", &DatumSpotrebyItem::VYBRANE},
    };
    return list;
}

std::shared_ptr<DatumSpotrebyItem> DatumSpotrebyItem::fromRow(const RowDictionary& row) {
    auto record = std::make_shared<DatumSpotrebyItem>();
    record->fillFromRow(row);
    return record;
}

void DatumSpotrebyItem::fillFromRow(const RowDictionary& row) {
    fillTextFieldsFromRow(*this, fields(), row);
}

std::string DatumSpotrebyItem::description() const {
    return describeTextFields("DatumSpotrebyItem", *this, fields());
}
