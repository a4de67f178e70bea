#include "ChiSquare.h"

#include <cmath>

namespace sumlark::testing {

double upperGamma(double s, double x)
{
    // 1 less the lower function's series, whose terms share one sign, so it
    // converges for any x; where its sum overflows the tail is far below any
    // chance a test accepts, and the NaN it gives fails the test as well.
    if (x <= 0.0)
        return 1.0;
    double term = 1.0 / s, sum = term;
    for (int n = 1; n < 1'000'000 && term > sum * 1e-17; ++n)
        sum += term *= x / (s + n);
    return 1.0 - std::exp(s * std::log(x) - x - std::lgamma(s)) * sum;
}

ChiSquareResult chiSquare(const std::map<std::uint64_t, double>& expected,
                          const std::map<std::uint64_t, std::int64_t>& seen)
{
    ChiSquareResult result;
    double totalChance = 0.0;
    std::int64_t draws = 0;
    for (const auto& [key, chance] : expected)
        totalChance += chance;
    for (const auto& [key, times] : seen) {
        draws += times;
        if (expected.find(key) == expected.end())
            result.unexpected = std::to_string(key);
    }
    double pooledWanted = 0.0;
    std::int64_t pooledSeen = 0;
    int bins = 0;
    const auto add = [&](double wanted, std::int64_t got) {
        result.statistic += (double(got) - wanted) * (double(got) - wanted) / wanted;
        ++bins;
    };
    for (const auto& [key, chance] : expected) {
        const double wanted = double(draws) * chance / totalChance;
        const auto found = seen.find(key);
        const std::int64_t got = found == seen.end() ? 0 : found->second;
        if (wanted < 5.0) {
            pooledWanted += wanted;
            pooledSeen += got;
        } else {
            add(wanted, got);
        }
    }
    if (pooledWanted > 0.0)
        add(pooledWanted, pooledSeen);
    result.degreesOfFreedom = bins - 1;
    result.p = result.degreesOfFreedom > 0 ? upperGamma(result.degreesOfFreedom / 2.0, result.statistic / 2.0) : 1.0;
    return result;
}

} // namespace sumlark::testing
