#pragma once

// The lock that keeps two runs out of one folder at once: a small file,
// ".速算答题.lock", holding the process number, the program and the computer
// of the run that made it, and removed when that run ends.
//
// Anyone who may write to the folder may put something else at that name:
// a named pipe, a link to a device, a huge file, a folder. The lock is opened
// without following links and without waiting, and only a regular file of
// at most 1 KiB is read as a lock; anything else ends the run at once with a
// reason that names the file to delete. Interrupts are held only while the
// lock is made and written, never while anything is read or waited for.
//
// POSIX only; the Windows build keeps Qt's lock file.

#include <QString>

#include <sys/types.h>

#include <memory>
#include <string>

namespace sumlark {

// Whether a process of this computer with that number still runs, another
// user's included: what a lock or a temporary file left behind is told by.
bool processRunning(pid_t pid);

class FolderLock {
public:
    // The name of the lock in the folder.
    static const char* const kName;
    // Larger files at the lock's name are no lock of this program's.
    static constexpr long kMaxSize = 1024;

    // Takes the lock of the folder open as the descriptor folder (shown to
    // the user as folderPath), waiting up to waitMs while another run holds
    // it. A lock that is left behind (its program is gone, or it is empty) is
    // taken over where this user may remove it. Null and the reason when the
    // lock cannot be had. The descriptor must stay open while the lock lives.
    static std::unique_ptr<FolderLock> take(int folder, const QString& folderPath, int waitMs, std::string& reason);

    // Removes the lock.
    ~FolderLock();
    FolderLock(const FolderLock&) = delete;
    FolderLock& operator=(const FolderLock&) = delete;

private:
    FolderLock(int folder, int file);
    void watchInterrupts();

    int folder_;
    int file_;
    bool watched_ = false;
};

} // namespace sumlark
