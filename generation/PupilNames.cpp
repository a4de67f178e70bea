#include "PupilNames.h"

#include "SheetSet.h"

#include <cstdio>

namespace sumlark {
namespace {

// The spaces a typed list may hold around a name: ASCII, tab, the
// full-width space of Chinese input and a no-break space.
std::string_view trimmed(std::string_view text)
{
    const auto spaceAt = [&text](std::size_t at) -> std::size_t {
        for (const std::string_view space : {" ", "\t", "\r", "\xE3\x80\x80", "\xC2\xA0"}) {
            if (text.substr(at).starts_with(space))
                return space.size();
        }
        return 0;
    };
    while (const std::size_t size = text.empty() ? 0 : spaceAt(0))
        text.remove_prefix(size);
    for (bool cut = true; cut && !text.empty();) {
        cut = false;
        for (const std::string_view space : {" ", "\t", "\r", "\xE3\x80\x80", "\xC2\xA0"}) {
            if (text.ends_with(space)) {
                text.remove_suffix(space.size());
                cut = true;
            }
        }
    }
    return text;
}

int characters(std::string_view text)
{
    int count = 0;
    for (const char c : text)
        count += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    return count;
}

} // namespace

std::vector<std::string> namesOfText(std::string_view text)
{
    if (text.starts_with("\xEF\xBB\xBF"))
        text.remove_prefix(3);
    std::vector<std::string> names;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        const std::string_view name = trimmed(text.substr(0, end));
        if (!name.empty())
            names.emplace_back(name);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    }
    return names;
}

std::optional<Refusal> namesRefusal(const std::vector<std::string>& names, const std::string& className)
{
    Refusal refusal;
    refusal.count = static_cast<int>(names.size());
    if (characters(className) > kMaxNameLength) {
        refusal.code = RefusalCode::NameTooLong;
        refusal.choices = {Choice::ClassName};
        refusal.name = className;
        return refusal;
    }
    if (names.size() > static_cast<std::size_t>(kMaxSetSheets)) {
        refusal.code = RefusalCode::TooManyNames;
        refusal.choices = {Choice::Names};
        return refusal;
    }
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (characters(names[i]) > kMaxNameLength) {
            refusal.code = RefusalCode::NameTooLong;
            refusal.choices = {Choice::Names};
            refusal.name = names[i];
            refusal.count = static_cast<int>(i + 1);
            return refusal;
        }
    }
    return std::nullopt;
}

std::string pupilTag(int number, std::string_view name)
{
    char tag[8];
    std::snprintf(tag, sizeof tag, "%02d-", number);
    std::string safe = tag;
    for (std::size_t i = 0; i < name.size(); ++i) {
        // The marks that turn text around them backwards would make a file
        // list show another name than the file has: U+061C, U+200E, U+200F,
        // U+202A..U+202E, U+2066..U+2069.
        const std::string_view rest = name.substr(i);
        const auto third = rest.size() >= 3 ? static_cast<unsigned char>(rest[2]) : 0;
        const std::size_t mark = rest.starts_with("\xD8\x9C")                                       ? 2
                                 : rest.starts_with("\xE2\x80") && (third == 0x8E || third == 0x8F ||
                                                                    (third >= 0xAA && third <= 0xAE)) ? 3
                                 : rest.starts_with("\xE2\x81") && third >= 0xA6 && third <= 0xA9     ? 3
                                                                                                      : 0;
        if (mark > 0) {
            safe += '_';
            i += mark - 1;
            continue;
        }
        const char c = name[i];
        const auto byte = static_cast<unsigned char>(c);
        const bool refused = byte < 0x20 || byte == 0x7F || std::string_view("\\/:*?\"<>|").find(c) != std::string_view::npos;
        safe += refused ? '_' : c;
    }
    return safe;
}

} // namespace sumlark
