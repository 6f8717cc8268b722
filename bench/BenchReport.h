#pragma once
// The medians and the three lines every benchmark prints: the program's
// median, its baseline's median from the same run, and their ratio against
// the goal. Timings are reported, never asserted.

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace bench {

inline double Median(std::vector<double> values) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

inline std::string Samples(const std::vector<double>& values) {
    std::string text;
    for (double value : values) {
        char buffer[32];
        std::snprintf(buffer, sizeof(buffer), "%s%.1f", text.empty() ? "" : " ", value);
        text += buffer;
    }
    return text;
}

struct Pair {
    const char* benchmark;  // e.g. "start-up"
    const char* unit;       // e.g. "ms"
    const char* program;
    std::vector<double> programValues;
    const char* baseline;
    std::vector<double> baselineValues;
    double goal;
};

inline void Print(const Pair& pair) {
    const double a = Median(pair.programValues), b = Median(pair.baselineValues);
    std::printf("%-12s %-40s median %10.1f %s  (%zu runs: %s)\n", pair.benchmark, pair.program, a,
                pair.unit, pair.programValues.size(), Samples(pair.programValues).c_str());
    std::printf("%-12s %-40s median %10.1f %s  (%zu runs: %s)\n", pair.benchmark, pair.baseline, b,
                pair.unit, pair.baselineValues.size(), Samples(pair.baselineValues).c_str());
    if (b > 0) {
        std::printf("%-12s ratio %.2f (goal <= %.2f: %s)\n", pair.benchmark, a / b, pair.goal,
                    a / b <= pair.goal ? "met" : "MISSED");
    } else {
        std::printf("%-12s ratio: no baseline figure\n", pair.benchmark);
    }
    std::fflush(stdout);
}

}  // namespace bench
