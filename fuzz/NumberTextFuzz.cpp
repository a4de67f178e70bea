// The two ways a list text becomes a number, on arbitrary bytes: neither may
// crash or give a NaN, and where the strict reading succeeds the leading
// reading and the C library's must agree with it.

#include "NumberText.h"
#include "SheetLayout.h"

#include <cfloat>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

using namespace sumlark;

[[noreturn]] void report(std::string_view text, const char* wrong)
{
    std::fprintf(stderr, "text \"%.*s\": %s\n", static_cast<int>(text.size()), text.data(), wrong);
    std::abort();
}

bool same(double a, double b)
{
    return a == b && std::signbit(a) == std::signbit(b);
}

// Blanks the strict reading drops around a number but the leading reading
// does not skip.
bool hasOtherBlanks(std::string_view text)
{
    return text.find_first_of("\r\v\f") != std::string_view::npos;
}

std::string_view trimmed(std::string_view text)
{
    const auto first = text.find_first_not_of(" \t\n\r\v\f");
    if (first == std::string_view::npos)
        return {};
    const auto last = text.find_last_not_of(" \t\n\r\v\f");
    return text.substr(first, last - first + 1);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);

    const auto strict = strictNumber(text);
    const double leading = leadingNumber(text);
    if (std::isnan(leading))
        report(text, "leading reading gave NaN");
    if (strict && std::isnan(*strict))
        report(text, "strict reading gave NaN");

    // Surrounding blanks never matter to the strict reading, and anything
    // after the number always does.
    const auto padded = strictNumber(" \t" + std::string(text) + "\n ");
    if (strict.has_value() != padded.has_value() || (strict && !same(*strict, *padded)))
        report(text, "surrounding blanks changed the strict reading");
    if (strictNumber(std::string(text) + "|"))
        report(text, "strict reading accepted a text with a trailing bar");
    if (!same(leadingNumber(std::string(text) + "|"), leading))
        report(text, "a trailing bar changed the leading reading");

    if (strict) {
        if (!hasOtherBlanks(text) && !same(leading, *strict))
            report(text, "leading and strict readings of a whole number differ");
        // The C library reads the same decimal text; both must round alike
        // wherever the value is a normal double or an overflow.
        const std::string plain(trimmed(text));
        char* end = nullptr;
        const double library = std::strtod(plain.c_str(), &end);
        if (end != plain.c_str() + plain.size())
            report(text, "strict reading accepted what is not wholly a number");
        if (std::isinf(library) || std::fabs(library) >= DBL_MIN || library == 0.0) {
            if (!same(library, *strict) && !(library == 0.0 && *strict == 0.0))
                report(text, "strict reading differs from strtod");
        } else if (std::fabs(*strict) >= DBL_MIN) {
            report(text, "a tiny number read as a normal one");
        }
    }

    // What the run derives from the texts stays within its bounds.
    const int perLine = perLineCount(text);
    if (perLine < 0 || perLine > 32768)
        report(text, "per-line count outside 0..32768");
    const int width = serialWidth(text);
    if (width < 2 || width > 4)
        report(text, "serial width outside 2..4");
    return 0;
}
