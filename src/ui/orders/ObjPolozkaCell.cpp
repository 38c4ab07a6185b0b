#include "ui/orders/ObjPolozkaCell.h"

ObjPolozkaCell::ObjPolozkaCell(std::string reuseIdentifier)
    : platform::TableViewCell(platform::TableViewCell::Style::defaultStyle, std::move(reuseIdentifier)) {
    labelNaztov = addLabel("labelNaztov");
    // The numbers under the captions shown beside them.
    labelObjednane = addLabel("labelObjednane", "objednané");
    labelDodane = addLabel("labelDodane", "dodané");
    labelRozdiel = addLabel("labelRozdiel", "rozdiel");
    labelSklad = addLabel("labelSklad", "sklad");
}
