#pragma once

#include <string>

// What the readers of a document's goods and batches need to know of its
// document type.
class DokladTyp {
public:
    // The cancellation of a cash sale and the two credit notes: their goods
    // and batches are the lines of the parent document.
    static bool isReturn(const std::string& name);
};
