// The two ways a list text becomes a number, on arbitrary bytes: neither may
// crash or give a NaN, and where the strict reading succeeds the leading
// reading and the C library's must agree with it.

#include "NumberText.h"
#include "SheetLayout.h"

#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace sumlark;
    const std::string text(reinterpret_cast<const char*>(data), size);
    const auto check = [&](bool holds, const char* wrong) {
        if (!holds) {
            std::fprintf(stderr, "text \"%s\": %s\n", text.c_str(), wrong);
            std::abort();
        }
    };
    // Equal, down to the sign of a zero.
    const auto same = [](double a, double b) { return a == b && std::signbit(a) == std::signbit(b); };
    const auto strict = strictNumber(text);
    const double leading = leadingNumber(text);
    check(!std::isnan(leading) && !std::isnan(strict.value_or(0.0)), "a reading gave NaN");
    // Surrounding blanks never matter to the strict reading, and anything
    // after the number always does; the leading reading stops before it.
    const auto padded = strictNumber(" \t" + text + "\n ");
    check(strict.has_value() == padded.has_value() && same(strict.value_or(0.0), padded.value_or(0.0)),
          "surrounding blanks changed the strict reading");
    check(!strictNumber(text + "|") && same(leadingNumber(text + "|"), leading),
          "a trailing bar was read as part of the number");
    if (strict) {
        // The leading reading skips blanks but not \r, \v or \f.
        check(text.find_first_of("\r\v\f") != std::string::npos || same(leading, *strict),
              "leading and strict readings of a whole number differ");
        const auto first = text.find_first_not_of(" \t\n\r\v\f");
        const std::string plain = text.substr(first, text.find_last_not_of(" \t\n\r\v\f") - first + 1);
        char* end = nullptr;
        const double library = std::strtod(plain.c_str(), &end);
        // Both must round alike wherever the value is a normal double, a zero
        // or an overflow; below that only the magnitude class must agree.
        check(end == plain.c_str() + plain.size() &&
                  (std::fabs(library) < DBL_MIN && library != 0.0 ? std::fabs(*strict) < DBL_MIN : library == *strict),
              "the strict reading and strtod disagree");
    }
    // What the run derives from the texts stays within its bounds.
    const int perLine = perLineCount(text), width = serialWidth(text);
    check(perLine >= 0 && perLine <= 32768 && width >= 2 && width <= 4, "per-line count or serial width astray");
    return 0;
}
