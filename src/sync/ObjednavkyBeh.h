#pragma once

#include <functional>
#include <string>

class Trekora;

// The export and the import run of orders for delivery: one order at a
// time, each request waited for (within its deadline), the run stopping at
// the first failure so that no order passes one that failed. Blocks the
// calling thread: the screens run it on a background queue.
class ObjednavkyBeh {
public:
    struct Summary {
        int k = 0;          // orders accepted by the office / stored and confirmed
        int n = 0;          // orders in the run's list
        std::string chyba;  // empty when the run went through; else "chyba!,,<reason>"
    };
    // Called after each order that went through, with the counts so far.
    using Progress = std::function<void(int k, int n)>;

    static Summary exportuj(Trekora& trekora, const Progress& progress);
    static Summary importuj(Trekora& trekora, const Progress& progress);
};
