#pragma once

// Why a file or folder could not be written, in the user's language: the
// system's own texts are English, and a number says nothing to a teacher.

#include <string>

#ifndef _WIN32
#include <sys/types.h>
#endif

namespace sumlark {

// A sheet's name taken by a folder, and a sheet that may not be replaced.
inline constexpr const char* kFolderInPlace = "同名的文件夹占用了这个位置";
inline constexpr const char* kReadOnlySheet = "文件是只读的，不能替换原来的文件";

// The reason for an error number from the system (errno).
std::string reasonFor(int error);

// The same for a failure inside an open folder: a file system that holds no
// files at all (/sys, /proc) says so, whatever error it chose to give.
std::string reasonIn(int folder, int error);

#ifndef _WIN32
// What stands at a name that is not a regular file (st_mode): "一个命名管道"…
const char* whatIsAt(mode_t mode);
#endif

} // namespace sumlark
