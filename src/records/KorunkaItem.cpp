#include "records/KorunkaItem.h"

const TextFieldList<KorunkaItem>& KorunkaItem::fields() {
    static const TextFieldList<KorunkaItem> list{
        {"IDOSC", &KorunkaItem::IDOSC},
        {"KORUNKA", &KorunkaItem::KORUNKA},
        {"ZAKLAD", &KorunkaItem::ZAKLAD},
        {"NAVYSENIE", &KorunkaItem::NAVYSENIE},
        {"NAVYSENY_ZAKLAD", &KorunkaItem::NAVYSENY_ZAKLAD},
        {"BODY", &KorunkaItem::BODY},
        {"DARY", &KorunkaItem::DARY},
        {"ZOSTATOK", &KorunkaItem::ZOSTATOK},
        {"OBRATBDPH", &KorunkaItem::OBRATBDPH},
        {"OBRATSDPH", &KorunkaItem::OBRATSDPH},
        {"PREVOD", &KorunkaItem::PREVOD},
        {"OBRATBDPH_IDTOV", &KorunkaItem::OBRATBDPH_IDTOV},
        {"OBRATSDPH_IDTOV", &KorunkaItem::OBRATSDPH_IDTOV},
    };
    return list;
}

std::shared_ptr<KorunkaItem> KorunkaItem::fromRow(const RowDictionary& row) {
    auto record = std::make_shared<KorunkaItem>();
    record->fillFromRow(row);
    return record;
}

void KorunkaItem::fillFromRow(const RowDictionary& row) {
    fillTextFieldsFromRow(*this, fields(), row);
}

std::string KorunkaItem::description() const {
    return describeTextFields("KorunkaItem", *this, fields());
}
