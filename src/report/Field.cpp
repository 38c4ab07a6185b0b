#include "report/Field.h"

#include "records/ReflectedDescription.h"

std::string Field::description() const {
    return ReflectedDescription("Field").integer("x", x).integer("y", y).text("name", name).text("format", format).str();
}

const ReportFormat& Field::checkedFormat() const {
    // The empty text checks to the default, unusable format.
    if (checkedText_ != format) {
        checked_ = ReportFormat(format);
        checkedText_ = format;
    }
    return checked_;
}
