#include "sales/DokladRiadky.h"

#include "core/Amounts.h"
#include "core/Trekora.h"
#include "records/DatumSpotrebyItem.h"
#include "records/TovarItem.h"

std::vector<DokladRiadky::Riadok> DokladRiadky::riadky(Trekora& trekora, const TovarItem& tovar) {
    std::vector<Riadok> result;
    const auto sarze = trekora.getDatumSpotrebyArray(tovar.IDTOV);
    if (sarze.empty()) {
        if (Amounts::floatOf(tovar.VYBRANE) != 0.0f) result.push_back({tovar.VYBRANE, ""});
        return result;
    }
    for (const auto& sarza : sarze)
        if (Amounts::floatOf(sarza->VYBRANE) != 0.0f) result.push_back({sarza->VYBRANE, sarza->DATUMSPOTREBY});
    return result;
}
