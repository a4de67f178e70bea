#include "NamesFile.h"

#include "SmallFile.h"

#include <QStringDecoder>

#include <algorithm>

namespace sumlark {
namespace {

// A list of names holds no control characters but line breaks and tabs,
// and nothing from the private-use area, where GBK's decoder puts the bytes
// it has no character for (a binary file, or another encoding).
bool looksLikeText(const QString& text)
{
    return std::none_of(text.begin(), text.end(), [](QChar c) {
        const char16_t u = c.unicode();
        return (u < 0x20 && u != '\t' && u != '\n' && u != '\r') || u == 0x7F || (u >= 0xE000 && u <= 0xF8FF) ||
               u == 0xFFFD;
    });
}

std::optional<QString> decoded(const QByteArray& bytes, QStringDecoder&& decoder)
{
    if (!decoder.isValid())
        return std::nullopt;
    const QString text = decoder(bytes);
    return decoder.hasError() || !looksLikeText(text) ? std::nullopt : std::optional<QString>(text);
}

} // namespace

std::optional<std::string> readNamesFile(const QString& path, std::string& reason)
{
    const std::optional<QByteArray> read = readSmallFile(path, kMaxNamesFileBytes, "一个班的名单", reason);
    if (!read)
        return std::nullopt;
    const QByteArray& bytes = *read;
    // A byte order mark says the encoding; without one, text that is valid
    // UTF-8 is taken as UTF-8 and anything else as GBK.
    const auto marked = QStringConverter::encodingForData(bytes);
    const auto flag = QStringConverter::Flag::Stateless;
    std::optional<QString> text = decoded(bytes, QStringDecoder(marked.value_or(QStringConverter::Utf8), flag));
    if (!text && !marked)
        text = decoded(bytes, QStringDecoder("GBK", flag));
    if (!text) {
        reason = "名单文件既不是 UTF-8 也不是 GBK 编码的文本，或者不是文本文件";
        return std::nullopt;
    }
    if (text->startsWith(QChar(0xFEFF)))
        text->remove(0, 1);
    return text->toStdString();
}

} // namespace sumlark
