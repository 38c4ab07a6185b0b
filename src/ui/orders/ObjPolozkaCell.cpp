#include "ui/orders/ObjPolozkaCell.h"

ObjPolozkaCell::ObjPolozkaCell(std::string reuseIdentifier)
    : platform::TableViewCell(platform::TableViewCell::Style::defaultStyle, std::move(reuseIdentifier)) {
    labelNaztov = addLabel("labelNaztov");
    labelObjednane = addLabel("labelObjednane");
    labelDodane = addLabel("labelDodane");
    labelRozdiel = addLabel("labelRozdiel");
    labelSklad = addLabel("labelSklad");
}
