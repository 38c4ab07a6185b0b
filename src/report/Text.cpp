#include "report/Text.h"

#include "core/ReflectedDescription.h"

std::string Text::description() const {
    return ReflectedDescription("Text").integer("x", x).integer("y", y).text("value", value).text("format", format).str();
}

const ReportFormat& Text::checkedFormat() const {
    if (!isChecked_ || checkedText_ != format) {
        checked_ = ReportFormat(format);
        checkedText_ = format;
        isChecked_ = true;
    }
    return checked_;
}
