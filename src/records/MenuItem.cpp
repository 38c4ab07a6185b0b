#include "records/MenuItem.h"

#include "records/ReflectedDescription.h"

std::string MenuItem::description() const {
    return ReflectedDescription("MenuItem")
        .text("image", image)
        .text("caption", caption)
        .text("popis", popis)
        .integer("pohyb", pohyb)
        .integer("ctlac", ctlac)
        .integer("sklad_typ", sklad_typ)
        .integer("koeficient", koeficient)
        .integer("min", min)
        .integer("max", max)
        .text("action", action)
        .text("segue", segue)
        .integer("trasa_cislo", trasa_cislo)
        .text("select_query_name", select_query_name)
        .text("name", name)
        .text("info", info)
        .str();
}
