#pragma once

#include <memory>

#include "platform/ui/DatePicker.h"
#include "platform/ui/ViewController.h"

class ParameterItem;

// The date of a "DATE" parameter: one date picker; leaving the screen writes
// the picked day into the parameter as "dd.MM.yyyy".
class Datum : public platform::ViewController {
public:
    std::weak_ptr<platform::DatePicker> datePicker;
    std::shared_ptr<ParameterItem> item;

    Datum();

    void viewDidLoad() override;
    void viewWillDisappear(bool animated) override;
};
