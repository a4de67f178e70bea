#include "NumberText.h"

#include <algorithm>
#include <charconv>
#include <cstdlib>
#include <limits>
#include <string>
#include <system_error>

namespace sumlark {
namespace {

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// Length of the longest prefix of text that reads as a number (sign, digits
// with an optional decimal part, optional exponent); 0 when there is none.
std::size_t numberPrefixLength(std::string_view text)
{
    std::size_t i = 0;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        ++i;
    std::size_t digits = 0;
    while (i < text.size() && isDigit(text[i])) {
        ++i;
        ++digits;
    }
    if (i < text.size() && text[i] == '.') {
        std::size_t j = i + 1;
        std::size_t fraction = 0;
        while (j < text.size() && isDigit(text[j])) {
            ++j;
            ++fraction;
        }
        if (digits + fraction > 0) {
            i = j;
            digits += fraction;
        }
    }
    if (digits == 0)
        return 0;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        std::size_t j = i + 1;
        if (j < text.size() && (text[j] == '+' || text[j] == '-'))
            ++j;
        if (j < text.size() && isDigit(text[j])) {
            while (j < text.size() && isDigit(text[j]))
                ++j;
            i = j;
        }
    }
    return i;
}

// The power of ten of a number's first significant digit: 2 for "123",
// -3 for "0.00123e0", 4 for "1.5e4". Only its sign matters to the caller,
// whose number is far beyond double's range either way, so the exponent may
// saturate.
[[maybe_unused]] long long decimalOrder(std::string_view number)
{
    const auto e = number.find_first_of("eE");
    const std::string_view mantissa = number.substr(0, e);
    const auto point = std::min(mantissa.find('.'), mantissa.size());
    const auto first = mantissa.find_first_of("123456789");
    if (first == std::string_view::npos)
        return 0;
    long long order = first < point ? static_cast<long long>(point - first) - 1
                                    : -static_cast<long long>(first - point);
    if (e != std::string_view::npos) {
        std::string_view exponent = number.substr(e + 1);
        const bool down = exponent.starts_with('-');
        if (exponent.starts_with('-') || exponent.starts_with('+'))
            exponent.remove_prefix(1);
        long long size = 0;
        for (const char digit : exponent)
            size = std::min(size * 10 + (digit - '0'), 1LL << 40);
        order += down ? -size : size;
    }
    return order;
}

// std::from_chars ignores the C locale, so "." is the decimal point whatever
// locale the toolkit installed. A magnitude beyond double becomes infinity,
// one below its smallest becomes 0, so range checks see it for what it is.
double parsePrefix(std::string_view number)
{
    bool negative = false;
    if (!number.empty() && (number.front() == '+' || number.front() == '-')) {
        negative = number.front() == '-';
        number.remove_prefix(1);
    }
#if defined(__cpp_lib_to_chars)
    double value = 0.0;
    const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), value);
    (void)end;
    if (error == std::errc::result_out_of_range)
        value = decimalOrder(number) > 0 ? std::numeric_limits<double>::infinity() : 0.0;
#else
    // A standard library without from_chars for doubles (the browser's).
    // strtod reads the text already checked above to the same double: it
    // rounds alike, gives infinity past the largest and 0 below the
    // smallest. Its locale is "C", since nothing in such a build sets one.
    const double value = std::strtod(std::string(number).c_str(), nullptr);
#endif
    return negative ? -value : value;
}

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

} // namespace

std::optional<double> strictNumber(std::string_view text)
{
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back()))
        text.remove_suffix(1);
    const std::size_t length = numberPrefixLength(text);
    if (length == 0 || length != text.size())
        return std::nullopt;
    return parsePrefix(text);
}

double leadingNumber(std::string_view text)
{
    std::string packed;
    packed.reserve(text.size());
    for (const char c : text) {
        if (c != ' ' && c != '\t' && c != '\n')
            packed.push_back(c);
    }
    const std::size_t length = numberPrefixLength(packed);
    return length == 0 ? 0.0 : parsePrefix(std::string_view(packed).substr(0, length));
}

} // namespace sumlark
