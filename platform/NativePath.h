#pragma once

// The one difference between systems in how a file's path is written: the
// separator between a folder and a name. Standard C++, so that the engine's
// tests check the Windows join under Wine.

#include <string>
#include <string_view>

namespace sumlark {

#ifdef _WIN32
inline constexpr char kNativeSeparator = '\\';
#else
inline constexpr char kNativeSeparator = '/';
#endif

// The folder text, the separator and the file name, with no check for a
// separator already ending the folder text.
std::string nativePath(std::string_view folder, std::string_view fileName);

} // namespace sumlark
