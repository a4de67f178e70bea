#include "ChiSquare.h"

#include <cmath>

namespace sumlark::testing {

double upperGamma(double s, double x)
{
    if (x <= 0.0)
        return 1.0;
    const double front = std::exp(s * std::log(x) - x - std::lgamma(s));
    if (x < s + 1.0) {
        // The series of the lower function converges quickly here.
        double term = 1.0 / s;
        double sum = term;
        for (int n = 1; n < 100000 && std::abs(term) > std::abs(sum) * 1e-16; ++n) {
            term *= x / (s + n);
            sum += term;
        }
        return 1.0 - front * sum;
    }
    // The continued fraction of the upper one, by the modified Lentz method.
    constexpr double kTiny = 1e-300;
    double b = x + 1.0 - s;
    double c = 1.0 / kTiny;
    double d = 1.0 / b;
    double fraction = d;
    for (int n = 1; n < 100000; ++n) {
        const double an = -n * (n - s);
        b += 2.0;
        d = an * d + b;
        d = std::abs(d) < kTiny ? kTiny : d;
        c = b + an / c;
        c = std::abs(c) < kTiny ? kTiny : c;
        d = 1.0 / d;
        const double step = d * c;
        fraction *= step;
        if (std::abs(step - 1.0) < 1e-16)
            break;
    }
    return front * fraction;
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
