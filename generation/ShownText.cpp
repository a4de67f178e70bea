#include "ShownText.h"

#include <cstdio>

namespace sumlark {

std::size_t sequenceLength(std::string_view text, std::size_t i)
{
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
    const unsigned char lead = byte(i);
    std::size_t length = 0;
    char32_t value = 0;
    if (lead < 0x80)
        return 1;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        value = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        value = lead & 0x0F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        value = lead & 0x07;
    } else {
        return 0;
    }
    if (i + length > text.size())
        return 0;
    for (std::size_t k = 1; k < length; ++k) {
        if ((byte(i + k) & 0xC0) != 0x80)
            return 0;
        value = (value << 6) | (byte(i + k) & 0x3F);
    }
    // Overlong forms, surrogates and values past Unicode are no characters.
    const bool overlong = (length == 3 && value < 0x800) || (length == 4 && value < 0x10000);
    if (overlong || (value >= 0xD800 && value <= 0xDFFF) || value > 0x10FFFF)
        return 0;
    return length;
}

namespace {

// Characters that reorder the text around them (marks, embeddings,
// overrides, isolates): a path or a value could read backwards from what it is.
bool reordersText(char32_t c)
{
    return c == 0x061C || c == 0x200E || c == 0x200F || (c >= 0x202A && c <= 0x202E) || (c >= 0x2066 && c <= 0x2069);
}

// The code point of a whole UTF-8 sequence.
char32_t codePoint(std::string_view sequence)
{
    const auto lead = static_cast<unsigned char>(sequence[0]);
    if (sequence.size() == 1)
        return lead;
    char32_t value = lead & (0x7F >> sequence.size());
    for (std::size_t k = 1; k < sequence.size(); ++k)
        value = (value << 6) | (static_cast<unsigned char>(sequence[k]) & 0x3F);
    return value;
}

std::string hex(const char* format, unsigned value)
{
    char buffer[8];
    std::snprintf(buffer, sizeof buffer, format, value);
    return buffer;
}

std::string escaped(std::string_view text, std::size_t limit)
{
    std::string out;
    out.reserve(text.size());
    std::size_t characters = 0;
    for (std::size_t i = 0; i < text.size(); ++characters) {
        if (characters == limit)
            return out + "…";
        const std::size_t length = sequenceLength(text, i);
        const auto byte = static_cast<unsigned char>(text[i]);
        if (length == 0) {
            out += hex("\\x%02X", byte);
            ++i;
            continue;
        }
        if (length == 2 && byte == 0xC2 && static_cast<unsigned char>(text[i + 1]) < 0xA0) {
            // U+0080..U+009F: a terminal may read U+009B as the start of a command.
            out += hex("\\u%04X", static_cast<unsigned char>(text[i + 1]));
        } else if (const char32_t c = codePoint(text.substr(i, length)); reordersText(c)) {
            out += hex("\\u%04X", unsigned(c));
        } else if (byte == 0x1B) {
            out += "\\e";
        } else if (byte == '\n') {
            out += "\\n";
        } else if (byte == '\r') {
            out += "\\r";
        } else if (byte == '\t') {
            out += "\\t";
        } else if (byte < 0x20 || byte == 0x7F) {
            out += hex("\\x%02X", byte);
        } else {
            out.append(text.substr(i, length));
        }
        i += length;
    }
    return out;
}

} // namespace

std::string shownValue(std::string_view text)
{
    return escaped(text, kShownValueLength);
}

std::string quotedValue(std::string_view text)
{
    return "“" + shownValue(text) + "”";
}

std::string shownPath(std::string_view path)
{
    return escaped(path, std::string_view::npos);
}

} // namespace sumlark
