#include "ui/sales/KorunkaCell.h"

KorunkaCell::KorunkaCell(std::string reuseIdentifier)
    : platform::TableViewCell(platform::TableViewCell::Style::subtitle, std::move(reuseIdentifier)) {
    auto crown = std::make_shared<platform::ImageView>();
    crown->setIdentifier("imageViewKorunka");
    addSubview(crown);
    imageViewKorunka = crown;
}
