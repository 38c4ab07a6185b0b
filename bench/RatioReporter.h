#pragma once
// The comparison every benchmark program makes: the system's side and its
// plain baseline run interleaved in one loop of rounds (system, baseline,
// baseline, system, ...), each round giving one ratio of the two, so that a
// busy machine slows both sides of a ratio alike. Printed: the median ratio
// of the rounds with their minimum and maximum, by wall time and by CPU time
// (the CPU time of every thread of the program and of the child processes
// it waited for).
#include <sys/resource.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <functional>
#include <string>
#include <vector>

namespace bench {

// A point on both clocks, in seconds.
struct Instant {
    double wall = 0;
    double cpu = 0;

    static Instant now() {
        timespec w{}, c{};
        clock_gettime(CLOCK_MONOTONIC, &w);
        clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &c);
        rusage children{};
        getrusage(RUSAGE_CHILDREN, &children);
        auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + t.tv_usec / 1e6; };
        return {static_cast<double>(w.tv_sec) + w.tv_nsec / 1e9,
                static_cast<double>(c.tv_sec) + c.tv_nsec / 1e9 + seconds(children.ru_utime) +
                    seconds(children.ru_stime)};
    }
    Instant operator-(const Instant& o) const { return {wall - o.wall, cpu - o.cpu}; }
    Instant& operator+=(const Instant& o) {
        wall += o.wall;
        cpu += o.cpu;
        return *this;
    }
};

// Time spent inside an Untimed scope (setting up a run, cleaning after it)
// is left out of the run's time; by wall time only where the CPU time cannot
// be told apart (a child process's CPU time is counted when it is reaped).
inline Instant& untimedTotal() {
    static Instant total;
    return total;
}

class Untimed {
public:
    enum class Clocks { Both, WallOnly };
    explicit Untimed(Clocks clocks = Clocks::Both) : clocks_(clocks), start_(Instant::now()) {}
    ~Untimed() {
        Instant spent = Instant::now() - start_;
        if (clocks_ == Clocks::WallOnly) spent.cpu = 0;
        untimedTotal() += spent;
    }
    Untimed(const Untimed&) = delete;
    Untimed& operator=(const Untimed&) = delete;

private:
    Clocks clocks_;
    Instant start_;
};

// Keeps the compiler from dropping a computation whose result is unused.
template <class T>
inline void keep(T&& value) {
    asm volatile("" : : "r,m"(value) : "memory");
}

// The two clocks a side is timed by.
enum class Clock { wall, cpu };

class RatioReporter {
public:
    struct Options {
        int rounds = 15;
        // Each side runs as often as fills about this time in a round.
        double batchSeconds = 0.05;
        // Throughputs are compared (baseline time / system time), not times.
        bool throughput = false;
        // Printed after the ratio of the clock it is set on, e.g. "goal at
        // most 3x".
        std::string goal;
        Clock goalClock = Clock::wall;
    };

    // `--rounds=N` on the command line sets every comparison's rounds.
    static void readArguments(int argc, char** argv) {
        for (int i = 1; i < argc; ++i) {
            const std::string a = argv[i];
            if (a.rfind("--rounds=", 0) == 0) roundsOverride() = std::max(1, std::atoi(a.c_str() + 9));
        }
    }

    // Runs `system` and `baseline` interleaved and prints the figures under
    // `label`. Answers false when a side failed (a side fails by throwing).
    static bool compare(const std::string& label, const std::function<void()>& system,
                        const std::function<void()>& baseline, Options options) {
        if (roundsOverride() > 0) options.rounds = roundsOverride();
        try {
            // A first run of each side, not counted, warms the caches and
            // sets how many runs a round holds.
            const int systemRuns = runsFor(timed(system, 1).wall, options.batchSeconds);
            const int baselineRuns = runsFor(timed(baseline, 1).wall, options.batchSeconds);
            std::vector<double> wallRatios, cpuRatios, systemWall, baselineWall, systemCpu, baselineCpu;
            for (int round = 0; round < options.rounds; ++round) {
                Instant s, b;
                if (round % 2 == 0) {
                    s = timed(system, systemRuns);
                    b = timed(baseline, baselineRuns);
                } else {
                    b = timed(baseline, baselineRuns);
                    s = timed(system, systemRuns);
                }
                systemWall.push_back(s.wall);
                baselineWall.push_back(b.wall);
                systemCpu.push_back(s.cpu);
                baselineCpu.push_back(b.cpu);
                wallRatios.push_back(ratio(s.wall, b.wall, options.throughput));
                cpuRatios.push_back(ratio(s.cpu, b.cpu, options.throughput));
            }
            std::printf("%s (%d interleaved rounds)\n", label.c_str(), options.rounds);
            std::printf("  a run (medians): system %s wall, %s CPU; baseline %s wall, %s CPU\n",
                        duration(median(systemWall)).c_str(), duration(median(systemCpu)).c_str(),
                        duration(median(baselineWall)).c_str(), duration(median(baselineCpu)).c_str());
            print("wall", wallRatios, options, options.goalClock == Clock::wall);
            print("CPU", cpuRatios, options, options.goalClock == Clock::cpu);
            std::fflush(stdout);
            return true;
        } catch (const std::exception& e) {
            std::printf("%s: failed: %s\n", label.c_str(), e.what());
            std::fflush(stdout);
            return false;
        }
    }

private:
    static int& roundsOverride() {
        static int rounds = 0;
        return rounds;
    }

    // Time of one run of `side`, averaged over `runs` runs.
    static Instant timed(const std::function<void()>& side, int runs) {
        const Instant untimedBefore = untimedTotal();
        const Instant start = Instant::now();
        for (int i = 0; i < runs; ++i) side();
        Instant t = Instant::now() - start;
        const Instant untimed = untimedTotal() - untimedBefore;
        t.wall = std::max(0.0, t.wall - untimed.wall) / runs;
        t.cpu = std::max(0.0, t.cpu - untimed.cpu) / runs;
        return t;
    }

    static int runsFor(double seconds, double batch) {
        if (seconds <= 0) return 1000;
        return static_cast<int>(std::clamp(std::ceil(batch / seconds), 1.0, 100000.0));
    }

    static double ratio(double system, double baseline, bool throughput) {
        if (system <= 0 || baseline <= 0) return NAN;
        return throughput ? baseline / system : system / baseline;
    }

    // A ratio is missing where a clock did not move.
    static std::vector<double> known(std::vector<double> v) {
        v.erase(std::remove_if(v.begin(), v.end(), [](double x) { return std::isnan(x); }), v.end());
        return v;
    }

    static double median(std::vector<double> v) {
        v = known(std::move(v));
        std::sort(v.begin(), v.end());
        if (v.empty()) return NAN;
        const std::size_t m = v.size() / 2;
        return v.size() % 2 ? v[m] : (v[m - 1] + v[m]) / 2;
    }

    static std::string duration(double seconds) {
        char text[32];
        if (seconds >= 1) std::snprintf(text, sizeof text, "%.3f s", seconds);
        else if (seconds >= 1e-3) std::snprintf(text, sizeof text, "%.3f ms", seconds * 1e3);
        else std::snprintf(text, sizeof text, "%.2f us", seconds * 1e6);
        return text;
    }

    static void print(const char* clock, const std::vector<double>& all, const Options& options, bool goal) {
        const std::vector<double> ratios = known(all);
        const char* what = options.throughput ? "throughput ratio" : "ratio";
        if (ratios.empty()) {
            std::printf("  %s by %s time: not measured\n", what, clock);
            return;
        }
        const auto [low, high] = std::minmax_element(ratios.begin(), ratios.end());
        const bool withGoal = goal && !options.goal.empty();
        std::printf("  %s by %s time: median %.2fx (min %.2fx, max %.2fx)%s%s\n", what, clock, median(ratios), *low,
                    *high, withGoal ? "; " : "", withGoal ? options.goal.c_str() : "");
    }
};

}  // namespace bench
