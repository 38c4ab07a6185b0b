#include "report/Field.h"

#include "core/ReflectedDescription.h"

std::string Field::description() const {
    return ReflectedDescription("Field").integer("x", x).integer("y", y).text("name", name).text("format", format).str();
}

const ReportFormat& Field::checkedFormat() const {
    if (!isChecked_ || checkedText_ != format) {
        checked_ = ReportFormat(format);
        checkedText_ = format;
        isChecked_ = true;
    }
    return checked_;
}
