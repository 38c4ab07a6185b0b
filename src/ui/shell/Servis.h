#pragma once

#include "ui/shell/Menu.h"

// A generic list of the service menu's rows, each 100 points high; a tap
// performs the storyboard segue named by the row's key.
class Servis : public Menu {
public:
    std::optional<double> heightForRowAt(platform::TableView& table, const platform::IndexPath& indexPath) override;

protected:
    const char* menuName() const override { return "servis"; }
};
