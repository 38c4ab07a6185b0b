#include "ui/orders/SkladCell.h"

SkladCell::SkladCell(std::string reuseIdentifier)
    : platform::TableViewCell(platform::TableViewCell::Style::defaultStyle, std::move(reuseIdentifier)) {
    labelIdtov = addLabel("labelIdtov");
    labelNaztov = addLabel("labelNaztov");
    labelStav = addLabel("labelStav");
    labelHmot = addLabel("labelHmot");
    labelKg = addLabel("labelKg");
}
