#include "report/Section.h"

#include "records/ReflectedDescription.h"

namespace {
template <class T>
std::string listText(const std::vector<std::shared_ptr<T>>& items) {
    std::string out = "[";
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (i) out += ", ";
        out += items[i]->description();
    }
    return out + "]";
}
} // namespace

std::string Section::description() const {
    return ReflectedDescription("Section")
        .text("name", name)
        .raw("texts", listText(texts))
        .raw("fields", listText(fields))
        .raw("functions", listText(functions))
        .text("selectQuery", selectQuery)
        .str();
}
