#pragma once

#include <memory>
#include <string>

#include "platform/ui/Label.h"
#include "platform/ui/ProgressView.h"
#include "platform/ui/TableViewCell.h"

// A row of the received orders: date and time, number, total, customer,
// address, and how far the order is delivered (percentage and bar).
class ObjednavkaCell : public platform::TableViewCell {
public:
    explicit ObjednavkaCell(std::string reuseIdentifier = "ObjednavkaCell");

    std::weak_ptr<platform::Label> labelDatum;
    std::weak_ptr<platform::Label> labelCdok;
    std::weak_ptr<platform::Label> labelSuma;
    std::weak_ptr<platform::Label> labelOdberatel;
    std::weak_ptr<platform::Label> labelAdresa;
    std::weak_ptr<platform::Label> labelPercento;
    std::weak_ptr<platform::ProgressView> progressViewPlnenie;
};
