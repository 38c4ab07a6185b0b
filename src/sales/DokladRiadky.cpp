#include "sales/DokladRiadky.h"

#include "core/Amounts.h"
#include "core/Trekora.h"
#include "records/DatumSpotrebyItem.h"

std::vector<std::shared_ptr<DatumSpotrebyItem>> DokladRiadky::sarze(Trekora& trekora, const std::string& idtov) {
    std::vector<std::shared_ptr<DatumSpotrebyItem>> result;
    for (const auto& sarza : trekora.getDatumSpotrebyArray(idtov))
        if (Amounts::floatOf(sarza->VYBRANE) != 0.0f) result.push_back(sarza);
    return result;
}
