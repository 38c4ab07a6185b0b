#include "sales/DokladTyp.h"

bool DokladTyp::isReturn(const std::string& name) {
    return name == "STORNO_HOTOVOSTI" || name == "DOBROPIS_NA_HOTOVOST" || name == "DOBROPIS";
}
