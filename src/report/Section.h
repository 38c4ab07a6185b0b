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

    std::string description() const;
};
