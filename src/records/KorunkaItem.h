#pragma once

#include "records/RowDictionary.h"
#include "records/TextField.h"

#include <memory>
#include <string>

// The loyalty account ("korunka") of a customer's establishment.
// Every field is a text, empty in a new record. Shared by std::shared_ptr.
class KorunkaItem {
public:
    std::string IDOSC = "";
    std::string KORUNKA = "";
    std::string ZAKLAD = "";
    std::string NAVYSENIE = "";
    std::string NAVYSENY_ZAKLAD = "";
    std::string BODY = "";
    std::string DARY = "";
    std::string ZOSTATOK = "";
    std::string OBRATBDPH = "";
    std::string OBRATSDPH = "";
    std::string PREVOD = "";
    std::string OBRATBDPH_IDTOV = "";
    std::string OBRATSDPH_IDTOV = "";

    // The fields in declaration order; a field's name is also its column.
    static const TextFieldList<KorunkaItem>& fields();

    // A new record with each field copied from the row's column of the same
    // name (the empty text where the row has no such column).
    static std::shared_ptr<KorunkaItem> fromRow(const RowDictionary& row);
    void fillFromRow(const RowDictionary& row);

    std::string description() const;
};
