#pragma once

// Writes JSON as text, for what the engine's entry hands the page: objects
// and arrays opened and closed in order, commas put where they belong,
// strings escaped. Whole numbers go as numbers; 64-bit ones as strings, since
// a JavaScript number holds only 53 bits.

#include <string>
#include <string_view>

namespace sumlark::web {

class JsonText {
public:
    JsonText& open(char bracket);  // '{' or '['
    JsonText& close(char bracket); // '}' or ']'
    JsonText& key(std::string_view name);
    JsonText& string(std::string_view text);
    JsonText& number(double whole);
    JsonText& boolean(bool value);
    JsonText& null();

    const std::string& text() const { return text_; }

private:
    void separate();

    std::string text_;
    bool first_ = true; // nothing yet in the innermost object or array
};

} // namespace sumlark::web
