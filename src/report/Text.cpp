#include "report/Text.h"

#include "records/ReflectedDescription.h"

std::string Text::description() const {
    return ReflectedDescription("Text").integer("x", x).integer("y", y).text("value", value).text("format", format).str();
}

const ReportFormat& Text::checkedFormat() const {
    // The empty text checks to the default, unusable format.
    if (checkedText_ != format) {
        checked_ = ReportFormat(format);
        checkedText_ = format;
    }
    return checked_;
}
