#pragma once

#include "report/Field.h"
#include "report/Function.h"
#include "report/Text.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// One band of a report.
class Section {
public:
    std::string name;
    std::vector<std::shared_ptr<Text>> texts;
    std::vector<std::shared_ptr<Field>> fields;
    std::vector<std::shared_ptr<Function>> functions;
    std::string selectQuery;

    // Height of the band in lines: the largest y of its items, 0 without items.
    std::int64_t maxY() const;

    std::string description() const;
};
