#include "ui/shell/MenuCell.h"

#include "platform/ui/Image.h"
#include "records/MenuItem.h"

MenuCell::MenuCell() : platform::TableViewCell(platform::TableViewCell::Style::defaultStyle, "MenuCell") {}

void MenuCell::configure(const MenuItem& item) {
    if (auto imageView = menuImageView.lock()) imageView->setImage(platform::Image::named(item.image));
    if (auto label = menuLabelCaption.lock()) label->setText(item.caption);
}
