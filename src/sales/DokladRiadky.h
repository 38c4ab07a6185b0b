#pragma once

#include <memory>
#include <string>
#include <vector>

class DatumSpotrebyItem;
class Trekora;

// The lines a document is written with: one per batch of a chosen good that
// carries a quantity. The recomputation prices these lines and the temporary
// document writes them, so that the total shown before writing is the total
// written.
class DokladRiadky {
public:
    // The batches of the good `idtov` that become lines, in batch-list order:
    // those whose quantity is not zero as a number ("0", "00", "0.0" and an
    // empty quantity make no line).
    static std::vector<std::shared_ptr<DatumSpotrebyItem>> sarze(Trekora& trekora, const std::string& idtov);
};
