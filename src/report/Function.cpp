#include "report/Function.h"

#include "records/ReflectedDescription.h"

std::string Function::description() const {
    return ReflectedDescription("Function").integer("x", x).integer("y", y).text("name", name).text("format", format).str();
}
