#pragma once

#include <memory>
#include <string>

#include "platform/ui/Label.h"
#include "platform/ui/TableViewCell.h"

// A line of a received order: the good, ordered, delivered, still to
// deliver, and the stock in the van.
class ObjPolozkaCell : public platform::TableViewCell {
public:
    explicit ObjPolozkaCell(std::string reuseIdentifier = "ObjPolozkaCell");

    std::weak_ptr<platform::Label> labelNaztov;
    std::weak_ptr<platform::Label> labelObjednane;
    std::weak_ptr<platform::Label> labelDodane;
    std::weak_ptr<platform::Label> labelRozdiel;
    std::weak_ptr<platform::Label> labelSklad;
};
