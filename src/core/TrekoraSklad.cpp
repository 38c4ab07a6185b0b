#include "core/Trekora.h"

// The stock list of one stock type: the rows of its report definition.
std::vector<RowDictionary> Trekora::getSkladData(std::int64_t skladTyp) {
    switch (skladTyp) {
    case 10: return getData("sklad_nenulove");
    case 50: return getData("sklad_pos_nenulove");
    case 60: return getData("sklad_vzo_nenulove");
    case 40: return getData("sklad_kor_nenulove");
    default: return {};
    }
}
