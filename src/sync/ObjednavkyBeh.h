#pragma once

#include <functional>
#include <string>
#include <vector>

class Trekora;

// The export and the import run of orders for delivery: one order at a
// time, each request waited for (within its deadline). The export stops at
// its first failure, so that no order passes one that failed. The import
// leaves out an order it cannot store (and does not confirm it to the
// office) and goes on with the rest; it stops only when the office cannot
// be reached. Blocks the calling thread: the screens run it on a background
// queue.
class ObjednavkyBeh {
public:
    struct Summary {
        int k = 0;          // export: orders accepted by the office; import: orders stored here
        int n = 0;          // orders in the run's list
        std::string chyba;  // empty when every order went through; else "chyba!,,<first reason>"
        // Import: what the summary says beyond the counts, one line each: how
        // many orders were not stored or not confirmed, then "<number>: <what>"
        // for each of them and for an order that came more than once.
        std::vector<std::string> riadky;
    };
    // Called after each order handled, with the counts so far.
    using Progress = std::function<void(int k, int n)>;

    static Summary exportuj(Trekora& trekora, const Progress& progress);
    static Summary importuj(Trekora& trekora, const Progress& progress);
};
