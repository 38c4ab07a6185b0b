#pragma once
// Console output as usual, and each benchmark's times kept for the ratio
// lines a benchmark program prints at its end: the median of the repetitions
// where a benchmark is repeated, else its one run (not when it failed).
#include <benchmark/benchmark.h>

#include <map>
#include <string>
#include <vector>

class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const auto& run : runs) {
            const bool kept = run.run_type == Run::RT_Aggregate ? run.aggregate_name == "median"
                                                                : !run.error_occurred && run.iterations > 0;
            if (!kept) continue;
            wall[run.run_name.function_name] = run.GetAdjustedRealTime();
            cpu[run.run_name.function_name] = run.GetAdjustedCPUTime();
        }
        ConsoleReporter::ReportRuns(runs);
    }

    // Times by benchmark function name, in the benchmark's own unit.
    std::map<std::string, double> wall;
    std::map<std::string, double> cpu;
};
