#include "ui/orders/ObjednavkaCell.h"

ObjednavkaCell::ObjednavkaCell(std::string reuseIdentifier)
    : platform::TableViewCell(platform::TableViewCell::Style::defaultStyle, std::move(reuseIdentifier)) {
    labelDatum = addLabel("labelDatum");
    labelCdok = addLabel("labelCdok");
    labelSuma = addLabel("labelSuma");
    labelOdberatel = addLabel("labelOdberatel");
    labelAdresa = addLabel("labelAdresa");
    labelPercento = addLabel("labelPercento");
    auto bar = std::make_shared<platform::ProgressView>();
    bar->setIdentifier("progressViewPlnenie");
    addSubview(bar);
    progressViewPlnenie = bar;
}
