#include "app/PlaceholderScreen.h"

#include "platform/ui/Label.h"

void PlaceholderScreen::viewDidLoad() {
    setTitle(std::string("Trekora"));
    auto label = addOutlet<platform::Label>("labelInfo");
    label->setText(message_);
}
