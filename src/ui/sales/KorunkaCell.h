#pragma once

#include <memory>

#include "platform/ui/ImageView.h"
#include "platform/ui/TableViewCell.h"

// The row cell of the customer, goods and document-line lists (prototypes
// "OdberatelCell", "TovarCell" and "PolozkaCell"): the cell's main and detail
// labels and the image view of the loyalty crown.
class KorunkaCell : public platform::TableViewCell {
public:
    explicit KorunkaCell(std::string reuseIdentifier);

    std::weak_ptr<platform::ImageView> imageViewKorunka;
};
