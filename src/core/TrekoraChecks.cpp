#include "core/Trekora.h"

#include "core/StringValue.h"
#include "records/TovarItem.h"

bool Trekora::checkMax(const std::string& hodnota, const std::string& max) {
    return floatValue(hodnota) <= floatValue(max);
}

void Trekora::setZlava3(const std::string& zlava) {
    for (auto& tovar : tovarArray) tovar->ZLAVA3 = zlava;
}
