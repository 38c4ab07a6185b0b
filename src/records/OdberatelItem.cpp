#include "records/OdberatelItem.h"

const TextFieldList<OdberatelItem>& OdberatelItem::fields() {
    static const TextFieldList<OdberatelItem> list{
        {"TRASA_CISLO", &OdberatelItem::TRASA_CISLO},
        {"PORADIE", &OdberatelItem::PORADIE},
        {"IDOSC", &OdberatelItem::IDOSC},
        {"IDO", &OdberatelItem::IDO},
        {"NAZOV1", &OdberatelItem::NAZOV1},
        {"NAZOV2", &OdberatelItem::NAZOV2},
        {"ICO", &OdberatelItem::ICO},
        {"DIC", &OdberatelItem::DIC},
        {"ICDPH", &OdberatelItem::ICDPH},
        {"ULICA", &OdberatelItem::ULICA},
        {"PSC", &OdberatelItem::PSC},
        {"MESTO", &OdberatelItem::MESTO},
        {"BANKA", &OdberatelItem::BANKA},
        {"CUCTU", &OdberatelItem::CUCTU},
        {"SALDO", &OdberatelItem::SALDO},
        {"SALMAX", &OdberatelItem::SALMAX},
        {"POHYB", &OdberatelItem::POHYB},
        {"CTLAC", &OdberatelItem::CTLAC},
        {"STR", &OdberatelItem::STR},
        {"INFO1", &OdberatelItem::INFO1},
        {"INFO2", &OdberatelItem::INFO2},
        {"TELC", &OdberatelItem::TELC},
        {"IDP", &OdberatelItem::IDP},
        {"ID", &OdberatelItem::ID},
        {"ZLMAX", &OdberatelItem::ZLMAX},
        {"MATICA", &OdberatelItem::MATICA},
        {"MATIC2", &OdberatelItem::MATIC2},
        {"INFO4", &OdberatelItem::INFO4},
        {"INFO5", &OdberatelItem::INFO5},
        {"INFO6", &OdberatelItem::INFO6},
        {"KORUNKA", &OdberatelItem::KORUNKA},
        {"ZAKLAD", &OdberatelItem::ZAKLAD},
        {"NAVYSENIE", &OdberatelItem::NAVYSENIE},
        {"NAVYSENY_ZAKLAD", &OdberatelItem::NAVYSENY_ZAKLAD},
        {"CENTR", &OdberatelItem::CENTR},
        {"OBRAT_SDPH_AKTUALNY_MESIAC", &OdberatelItem::OBRAT_SDPH_AKTUALNY_MESIAC},
        {"POCET_DOKLADOV_AKTUALNY_MESIAC", &OdberatelItem::POCET_DOKLADOV_AKTUALNY_MESIAC},
    };
    return list;
}

std::shared_ptr<OdberatelItem> OdberatelItem::fromRow(const RowDictionary& row) {
    auto record = std::make_shared<OdberatelItem>();
    record->fillFromRow(row);
    return record;
}

void OdberatelItem::fillFromRow(const RowDictionary& row) {
    fillTextFieldsFromRow(*this, fields(), row);
}

std::string OdberatelItem::description() const {
    return describeTextFields("OdberatelItem", *this, fields());
}
