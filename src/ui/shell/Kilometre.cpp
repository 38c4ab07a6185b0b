#include "ui/shell/Kilometre.h"

#include "platform/ui/NavigationController.h"

void Kilometre::viewDidLoad() {
    platform::ViewController::viewDidLoad();
    auto label = labelKilometre.lock();
    if (!label) return;
    std::optional<std::string> text;
    if (auto nav = navigationController())
        if (auto top = nav->topViewController()) text = top->title();
    label->setText(text);
}
