// A small timing harness for the benchmark programs: each case runs a few
// times after an untimed warm-up and prints its fastest and median time.
// Portable (std::chrono only); a benchmark is a plain program with a main.
//
//   bench::Run("read 100,000 entries", 5, [&] { ... }, {}, 100000);
//
// Timings are for reading, not for asserting: nothing here fails on speed.
#pragma once

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

namespace bench {

struct Result {
    std::string Name;
    std::vector<double> Ms;  // one per timed run, sorted

    double Min() const { return Ms.empty() ? 0.0 : Ms.front(); }
    double Median() const { return Ms.empty() ? 0.0 : Ms[Ms.size() / 2]; }
};

// Runs body `runs` times (and once before, untimed), with setup before every
// run outside the timing. With items given it also prints the time per item.
inline Result Run(const std::string& name, int runs, const std::function<void()>& body,
                  const std::function<void()>& setup = {}, long long items = 0) {
    using Clock = std::chrono::steady_clock;
    Result result;
    result.Name = name;
    for (int i = -1; i < runs; ++i) {
        if (setup) setup();
        const Clock::time_point start = Clock::now();
        body();
        const std::chrono::duration<double, std::milli> took = Clock::now() - start;
        if (i >= 0) result.Ms.push_back(took.count());
    }
    std::sort(result.Ms.begin(), result.Ms.end());
    std::printf("%-44s min %9.2f ms  median %9.2f ms", name.c_str(), result.Min(), result.Median());
    if (items > 0) std::printf("  (%.0f ns per item)", result.Min() * 1e6 / double(items));
    std::printf("  [%d runs]\n", runs);
    std::fflush(stdout);
    return result;
}

// Ends the benchmark (exit code 1) when what it measures did not work.
inline void Check(bool ok, const char* what) {
    if (ok) return;
    std::fprintf(stderr, "benchmark check failed: %s\n", what);
    std::exit(1);
}

// Keeps the compiler from dropping a computed value.
inline const volatile void* g_kept = nullptr;
template <typename T>
inline void Keep(const T& value) {
    g_kept = &value;
}

}  // namespace bench
