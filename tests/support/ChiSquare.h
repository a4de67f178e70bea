#pragma once

// Pearson's chi-square test of observed counts against expected chances,
// for the tests that prove a draw has the chances it should.

#include <cstdint>
#include <map>
#include <string>

namespace sumlark::testing {

struct ChiSquareResult {
    double statistic = 0.0;
    int degreesOfFreedom = 0;
    double p = 1.0;          // the chance of a statistic this large or larger
    std::string unexpected;  // a key seen that has no chance, if any
};

// expected: each outcome's chance (need not sum to 1); seen: how often each
// came out of draws. Outcomes expected fewer than 5 times are pooled into one.
ChiSquareResult chiSquare(const std::map<std::uint64_t, double>& expected,
                          const std::map<std::uint64_t, std::int64_t>& seen);

// The regularized upper incomplete gamma function Q(s, x).
double upperGamma(double s, double x);

} // namespace sumlark::testing
