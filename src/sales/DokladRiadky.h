#pragma once

#include <memory>
#include <string>
#include <vector>

class TovarItem;
class Trekora;

// The lines a document is written with. The recomputation prices these lines
// and the temporary document writes them, so that the total shown before
// writing is the total written.
class DokladRiadky {
public:
    struct Riadok {
        std::string mnoz;           // the quantity, as the batch (or the good) holds it
        std::string datumSpotreby;  // the batch's expiry date; "" for a good without a batch
    };

    // The lines of the good `tovar`: one per batch of it that carries a
    // quantity, in batch-list order ("0", "00", "0.0" and an empty quantity
    // make no line). A good the batch list holds no batch of, as a data
    // update may deliver a good with stock, is one line of its own quantity.
    static std::vector<Riadok> riadky(Trekora& trekora, const TovarItem& tovar);
};
