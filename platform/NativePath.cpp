#include "NativePath.h"

namespace sumlark {

std::string nativePath(std::string_view folder, std::string_view fileName)
{
    std::string path(folder);
    path += kNativeSeparator;
    path += fileName;
    return path;
}

} // namespace sumlark
