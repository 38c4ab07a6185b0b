#pragma once

#include <memory>
#include <optional>
#include <string>

#include "platform/ui/IndexPath.h"

namespace platform {

class TableView;
class TableViewCell;

class TableViewDataSource {
public:
    virtual ~TableViewDataSource() = default;
    virtual int numberOfSections(TableView&) { return 1; }
    virtual int numberOfRowsInSection(TableView&, int section) = 0;
    virtual std::shared_ptr<TableViewCell> cellForRowAt(TableView&, const IndexPath&) = 0;
    virtual std::optional<std::string> titleForHeaderInSection(TableView&, int /*section*/) { return std::nullopt; }
};

}  // namespace platform
