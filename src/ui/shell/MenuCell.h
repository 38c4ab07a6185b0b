#pragma once

#include <memory>

#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/TableViewCell.h"

class MenuItem;

// The row cell of the generic menu screens: an icon and a caption.
class MenuCell : public platform::TableViewCell {
public:
    MenuCell();

    // Connected by the storyboard.
    std::weak_ptr<platform::ImageView> menuImageView;
    std::weak_ptr<platform::Label> menuLabelCaption;

    virtual void configure(const MenuItem& item);
};
