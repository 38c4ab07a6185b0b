#pragma once

#include "records/RowDictionary.h"
#include "records/TextField.h"

#include <memory>
#include <string>

// A customer together with his stop on a route: one row of the customer query.
// Every field is a text, empty in a new record. Shared by std::shared_ptr.
class OdberatelItem {
public:
    std::string TRASA_CISLO = "";
    std::string PORADIE = "";
    std::string IDOSC = "";
    std::string IDO = "";
    std::string NAZOV1 = "";
    std::string NAZOV2 = "";
    std::string ICO = "";
    std::string DIC = "";
    std::string ICDPH = "";
    std::string ULICA = "";
    std::string PSC = "";
    std::string MESTO = "";
    std::string BANKA = "";
    std::string CUCTU = "";
    std::string SALDO = "";
    std::string SALMAX = "";
    std::string POHYB = "";
    std::string CTLAC = "";
    std::string STR = "";
    std::string INFO1 = "";
    std::string INFO2 = "";
    std::string TELC = "";
    std::string IDP = "";
    std::string ID = "";
    std::string ZLMAX = "";
    std::string MATICA = "";
    std::string MATIC2 = "";
    std::string INFO4 = "";
    std::string INFO5 = "";
    std::string INFO6 = "";
    std::string KORUNKA = "";
    std::string ZAKLAD = "";
    std::string NAVYSENIE = "";
    std::string NAVYSENY_ZAKLAD = "";
    std::string CENTR = "";
    std::string OBRAT_SDPH_AKTUALNY_MESIAC = "";
    std::string POCET_DOKLADOV_AKTUALNY_MESIAC = "";

    // The fields in declaration order; a field's name is also its column.
    static const TextFieldList<OdberatelItem>& fields();

    // A new record with each field copied from the row's column of the same
    // name (the empty text where the row has no such column).
    static std::shared_ptr<OdberatelItem> fromRow(const RowDictionary& row);
    void fillFromRow(const RowDictionary& row);

    std::string description() const;
};
