#include "OperandRange.h"

#include <algorithm>
#include <cmath>

namespace sumlark {

OperandRange OperandRange::from(double smallest, double largest)
{
    OperandRange range;
    range.smallest = smallest;
    range.largest = largest;
    const double width = largest - smallest + 1.0;
    if (width > 0.0) {
        range.low = static_cast<int>(std::floor(smallest));
        range.high = static_cast<int>(std::ceil(largest + 1.0)) - 1;
    } else if (width < 0.0) {
        range.low = static_cast<int>(std::floor(largest + 1.0));
        range.high = static_cast<int>(std::floor(smallest));
    } else {
        range.low = range.high = static_cast<int>(std::floor(smallest));
    }
    return range;
}

double OperandRange::draw(double r) const
{
    // A planned range lies within 16 bits, so truncating and stepping down
    // for negative fractions is floor without a library call on the
    // hottest line of a run.
    const double x = (largest - smallest + 1.0) * r + smallest;
    auto value = static_cast<std::int64_t>(x);
    if (static_cast<double>(value) > x)
        --value;
    return static_cast<double>(std::clamp<std::int64_t>(value, low, high));
}

double OperandRange::weight(int v) const
{
    const double width = largest - smallest + 1.0;
    if (width == 0.0)
        return v == low ? 1.0 : 0.0;
    // The values x = width * r + smallest cover [smallest, largest + 1) or,
    // for a negative width, (largest + 1, smallest]; v takes the part of it
    // that lies in [v, v + 1).
    const double from = std::min(smallest, largest + 1.0);
    const double to = std::max(smallest, largest + 1.0);
    const double overlap = std::min(to, double(v) + 1.0) - std::max(from, double(v));
    return overlap > 0.0 ? overlap / std::abs(width) : 0.0;
}

DrawableValues DrawableValues::of(const OperandRange& range)
{
    DrawableValues values{range.low, range.high};
    while (values.first <= values.last && range.weight(values.first) <= 0.0)
        ++values.first;
    while (values.last >= values.first && range.weight(values.last) <= 0.0)
        --values.last;
    return values;
}

WeightTable::WeightTable(const OperandRange& range) : low_(range.low), high_(range.high)
{
    prefix_.resize(static_cast<std::size_t>(high_ - low_ + 2), 0.0);
    for (int v = low_; v <= high_; ++v)
        prefix_[index(v) + 1] = prefix_[index(v)] + range.weight(v);
}

double WeightTable::between(std::int64_t from, std::int64_t to) const
{
    from = std::max<std::int64_t>(from, low_);
    to = std::min<std::int64_t>(to, high_);
    if (from > to)
        return 0.0;
    return prefix_[index(to) + 1] - prefix_[index(from)];
}

} // namespace sumlark
