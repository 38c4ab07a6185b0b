#include "ui/orders/SkladCell.h"

SkladCell::SkladCell(std::string reuseIdentifier)
    : platform::TableViewCell(platform::TableViewCell::Style::defaultStyle, std::move(reuseIdentifier)) {
    labelIdtov = addLabel("labelIdtov");
    labelNaztov = addLabel("labelNaztov");
    // The numbers under the captions shown beside them.
    labelStav = addLabel("labelStav", "ks");
    labelHmot = addLabel("labelHmot", "hmotnosť");
    labelKg = addLabel("labelKg", "kg");
}
