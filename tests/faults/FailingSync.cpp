// A disk that takes the data but cannot keep it, for a real program: loaded
// with LD_PRELOAD, fsync and fdatasync of a regular file whose path holds
// SUMLARK_FAIL_SYNC fail with EIO; every other file is synced as usual.
// An unnamed temporary file's path is its folder's, so a folder's path
// fails every file staged in it.

#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

int synced(long call, int fd)
{
    const char* part = std::getenv("SUMLARK_FAIL_SYNC");
    struct stat st {};
    char path[4096] = {};
    if (part && *part && ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) &&
        ::readlink(("/proc/self/fd/" + std::to_string(fd)).c_str(), path, sizeof path - 1) > 0 && std::strstr(path, part)) {
        errno = EIO;
        return -1;
    }
    return static_cast<int>(::syscall(call, fd));
}

} // namespace

extern "C" int fsync(int fd)
{
    return synced(SYS_fsync, fd);
}

extern "C" int fdatasync(int fd)
{
    return synced(SYS_fdatasync, fd);
}
