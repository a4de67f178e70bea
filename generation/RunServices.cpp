#include "RunServices.h"

#include "SeededRandom.h"

namespace sumlark {

std::unique_ptr<RandomSource> RandomServices::randomSource(std::uint64_t seed)
{
    return std::make_unique<SeededRandom>(seed);
}

} // namespace sumlark
