#pragma once

#include <memory>
#include <vector>

#include "platform/ui/BarButtonItem.h"
#include "platform/ui/View.h"

namespace platform {

class Toolbar : public View {
public:
    const std::vector<std::shared_ptr<BarButtonItem>>& items() const { return items_; }
    void setItems(std::vector<std::shared_ptr<BarButtonItem>> items) { items_ = std::move(items); }

private:
    std::vector<std::shared_ptr<BarButtonItem>> items_;
};

}  // namespace platform
