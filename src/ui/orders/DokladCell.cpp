#include "ui/orders/DokladCell.h"

DokladCell::DokladCell(std::string reuseIdentifier)
    : platform::TableViewCell(platform::TableViewCell::Style::defaultStyle, std::move(reuseIdentifier)) {
    labelDatum = addLabel("labelDatum");
    labelCdok = addLabel("labelCdok");
    labelOdberatel = addLabel("labelOdberatel");
    labelSuma = addLabel("labelSuma");
    labelPohyb = addLabel("labelPohyb");
    labelAdresa = addLabel("labelAdresa");
    labelObjCdok = addLabel("labelObjCdok");
    labelParCdok = addLabel("labelParCdok");
}
