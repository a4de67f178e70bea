#pragma once

// The words of a run's report, as both front ends have always shown them:
// which file, where and why for a file left as it was, where the sheets
// went, and why no file was written at all.

#include "SheetRun.h"

#include <string>
#include <string_view>

namespace sumlark::wording {

inline constexpr std::string_view kDoneTitle = "成功";
inline constexpr std::string_view kFailedTitle = "保存失败";

// "答题纸", "答案纸", "PDF 答题纸", "PDF 答案纸".
std::string_view fileName(FileKind kind);

// A file that was not written: its earlier contents stay. The path is shown
// as given; a terminal's caller escapes it first.
std::string failureText(std::string_view name, std::string_view path, std::string_view reason);
// Why no file was written: a current folder that is gone, a folder that
// could not be made; empty for any other place.
std::string placeText(const PlaceStatus& place);
// A run that ran out of memory.
std::string outOfMemoryText();

// All that went wrong in a run, a blank line between: the place, every
// file that was not written as above, running out of memory; empty when
// every file was written.
std::string failuresText(const RunReport& report);

// Where one sheet's files went, and what the user should know of them.
std::string doneText(const std::string& questionPath, const std::string& note);
// The same for a set of count sheets in folder.
std::string setDoneText(int count, const std::string& folder, const std::string& note);
// Said after the failures when the question sheet itself was written.
std::string questionSavedText(const std::string& questionPath);

} // namespace sumlark::wording
