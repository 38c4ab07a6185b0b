#pragma once

#include <memory>
#include <string>

#include "platform/ui/Label.h"
#include "platform/ui/TableViewCell.h"

// A stock row: goods code, name, pieces, weight figure and kilograms.
class SkladCell : public platform::TableViewCell {
public:
    explicit SkladCell(std::string reuseIdentifier = "SkladCell");

    std::weak_ptr<platform::Label> labelIdtov;
    std::weak_ptr<platform::Label> labelNaztov;
    std::weak_ptr<platform::Label> labelStav;
    std::weak_ptr<platform::Label> labelHmot;
    std::weak_ptr<platform::Label> labelKg;
};
