#pragma once

#include <cstdint>
#include <string>

// One row of a menu and, at the same time, the document type it stands for
// (movement code, stock type, quantity sign, price-list query, type name).
//
// Built like the labelled constructor with defaults: every field has its
// default (empty text, 0), and any subset may be given by name, in field
// order, with designated initialisers:
//   auto row = std::make_shared<MenuItem>(MenuItem{.image = "person.fill",
//       .caption = "zákazníci", .segue = "odberatel_segue"});
//   auto empty = std::make_shared<MenuItem>();
// The record is shared by std::shared_ptr: a menu list and the shared
// object's selected document type hold the same row.
class MenuItem {
public:
    std::string image = "";
    std::string caption = "";
    std::string popis = "";
    std::int64_t pohyb = 0;
    std::int64_t ctlac = 0;
    std::int64_t sklad_typ = 0;
    std::int64_t koeficient = 0;
    std::int64_t min = 0;
    std::int64_t max = 0;
    std::string action = "";
    std::string segue = "";
    std::int64_t trasa_cislo = 0;
    std::string select_query_name = "";
    std::string name = "";
    std::string info = "";

    std::string description() const;
};
