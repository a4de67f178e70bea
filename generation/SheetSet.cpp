#include "SheetSet.h"

#include "SeededRandom.h"

#include <cstdio>

namespace sumlark {

std::string sheetTag(int number, int count)
{
    if (count <= 1)
        return {};
    char tag[8];
    std::snprintf(tag, sizeof tag, "%02d", number);
    return tag;
}

std::uint64_t pairSeed(std::uint64_t setSeed, int number, int count)
{
    return count <= 1 ? setSeed : deriveSeed(setSeed, static_cast<std::uint64_t>(number));
}

} // namespace sumlark
