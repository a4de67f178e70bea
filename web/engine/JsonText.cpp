#include "JsonText.h"

#include "Sheet.h"

namespace sumlark::web {

void JsonText::separate()
{
    if (!first_)
        text_ += ',';
    first_ = false;
}

JsonText& JsonText::open(char bracket)
{
    separate();
    text_ += bracket;
    first_ = true;
    return *this;
}

JsonText& JsonText::close(char bracket)
{
    text_ += bracket;
    first_ = false;
    return *this;
}

JsonText& JsonText::key(std::string_view name)
{
    string(name);
    text_ += ':';
    first_ = true; // the value follows without a comma
    return *this;
}

JsonText& JsonText::string(std::string_view text)
{
    separate();
    text_ += '"';
    // Runs of characters that need no escape are copied whole: a sheet's
    // texts are megabytes of them.
    std::size_t copied = 0;
    for (std::size_t at = 0; at < text.size(); ++at) {
        const auto byte = static_cast<unsigned char>(text[at]);
        if (byte >= 0x20 && byte != '"' && byte != '\\')
            continue; // UTF-8 passes as it is
        text_.append(text.substr(copied, at - copied));
        copied = at + 1;
        if (byte == '"' || byte == '\\') {
            text_ += '\\';
            text_ += static_cast<char>(byte);
        } else if (byte == '\n') {
            text_ += "\\n";
        } else if (byte == '\r') {
            text_ += "\\r";
        } else {
            constexpr char kHex[] = "0123456789abcdef";
            text_ += "\\u00";
            text_ += kHex[byte >> 4];
            text_ += kHex[byte & 0xF];
        }
    }
    text_.append(text.substr(copied));
    text_ += '"';
    return *this;
}

JsonText& JsonText::number(double whole)
{
    separate();
    appendWhole(text_, whole);
    return *this;
}

JsonText& JsonText::boolean(bool value)
{
    separate();
    text_ += value ? "true" : "false";
    return *this;
}

JsonText& JsonText::null()
{
    separate();
    text_ += "null";
    return *this;
}

} // namespace sumlark::web
