#pragma once

#include <memory>
#include <string>

#include "platform/ui/Label.h"
#include "platform/ui/TableViewCell.h"

// A row of the document list: date and time, number, customer, total,
// document type with its fiscal number, address, order and parent numbers.
class DokladCell : public platform::TableViewCell {
public:
    explicit DokladCell(std::string reuseIdentifier = "DokladCell");

    std::weak_ptr<platform::Label> labelDatum;
    std::weak_ptr<platform::Label> labelCdok;
    std::weak_ptr<platform::Label> labelOdberatel;
    std::weak_ptr<platform::Label> labelSuma;
    std::weak_ptr<platform::Label> labelPohyb;
    std::weak_ptr<platform::Label> labelAdresa;
    std::weak_ptr<platform::Label> labelObjCdok;
    std::weak_ptr<platform::Label> labelParCdok;
};
