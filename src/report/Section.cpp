#include "report/Section.h"

#include "records/ReflectedDescription.h"

std::string Section::description() const {
    return ReflectedDescription("Section")
        .text("name", name)
        .raw("texts", ReflectedDescription::list(texts))
        .raw("fields", ReflectedDescription::list(fields))
        .raw("functions", ReflectedDescription::list(functions))
        .text("selectQuery", selectQuery)
        .str();
}
