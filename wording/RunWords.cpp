#include "RunWords.h"

#include "ShownText.h"

namespace sumlark::wording {

std::string_view fileName(FileKind kind)
{
    switch (kind) {
    case FileKind::QuestionSheet:
        return "答题纸";
    case FileKind::AnswerSheet:
        return "答案纸";
    case FileKind::QuestionPdf:
        return "PDF 答题纸";
    case FileKind::AnswerPdf:
        return "PDF 答案纸";
    }
    return {};
}

std::string failureText(std::string_view name, std::string_view path, std::string_view reason)
{
    return std::string(name) + "没有保存成功，原来的文件内容保持不变。\n文件：" + std::string(path) + "\n原因：" +
           std::string(reason);
}

std::string failuresText(const RunReport& report)
{
    std::string failures = placeText(report.place);
    const auto add = [&failures](const std::string& text) {
        failures += failures.empty() ? "" : "\n\n";
        failures += text;
    };
    for (const FileOutcome& file : report.files) {
        if (!file.written)
            add(failureText(fileName(file.kind), file.path, file.reason));
    }
    if (report.outOfMemory)
        add(outOfMemoryText());
    return failures;
}

std::string outOfMemoryText()
{
    return "内存不够，没能写完练习纸。请关掉一些程序，或者少出一些题，再试一次。";
}

std::string placeText(const PlaceStatus& place)
{
    switch (place.failure) {
    case PlaceFailure::CurrentFolderGone:
        return "当前文件夹已经不存在了，练习纸没有写到别处。请换到一个存在的文件夹，或者用 --out 给出完整的路径。";
    case PlaceFailure::FolderNotMade:
        return "无法建立文件夹：" + shownPath(place.path) + "\n原因：" + place.reason;
    case PlaceFailure::FolderNotOpened:
    case PlaceFailure::None:
        break;
    }
    return {};
}

std::string doneText(const std::string& questionPath, const std::string& note)
{
    std::string text = "文件输出完成，文件保存在： " + questionPath;
    if (!note.empty())
        text += "\n" + note;
    return text;
}

std::string setDoneText(int count, const std::string& folder, const std::string& note)
{
    std::string text = "文件输出完成，共 " + std::to_string(count) + " 份，文件保存在： " + folder;
    if (!note.empty())
        text += "\n" + note;
    return text;
}

std::string questionSavedText(const std::string& questionPath)
{
    return "答题纸已保存在： " + questionPath;
}

} // namespace sumlark::wording
