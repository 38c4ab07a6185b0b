#pragma once

#include <optional>

#include "platform/ui/IndexPath.h"

namespace platform {

class TableView;

class TableViewDelegate {
public:
    virtual ~TableViewDelegate() = default;
    virtual void didSelectRowAt(TableView&, const IndexPath&) {}
    virtual void didDeselectRowAt(TableView&, const IndexPath&) {}
    virtual void accessoryButtonTappedForRowWith(TableView&, const IndexPath&) {}
    // None: the table's own row height.
    virtual std::optional<double> heightForRowAt(TableView&, const IndexPath&) { return std::nullopt; }
};

}  // namespace platform
