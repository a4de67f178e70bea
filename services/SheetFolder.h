#pragma once

// The folder one run writes into, and the files it writes there.
//
// A run's files never replace what a folder held until each is written
// whole: every file goes into an unnamed temporary file beside its target,
// every write, the flush and the sync are checked, and only then is it moved
// into place. The files of a run are moved one after another while the
// signals that would end it wait (HeldSignals.h), and the folder is synced
// once after the last, so an interruption leaves either the earlier files or
// the new ones, never a mix. A named temporary file (where the file system
// has no unnamed ones) goes on every way out; one a killed run left is
// removed by the next run into the folder. The folder is locked for the run
// (FolderLock.h), so two runs into one folder cannot mix their files either.
//
// A sheet name that is a symbolic link is followed only when no other user
// could have planted it: in a folder that others may write to (everyone or
// a group, sticky or not) only the user's own links and root's are
// followed, even where the folder's owner made the link. A name that is,
// or leads to, anything but a regular file (a device, a pipe, a socket, a folder) is refused. The decision and
// the writes go through the folder's descriptor, so a link planted in
// between changes nothing. Paths are kept as their bytes (PathBytes.h).

#include "HeldSignals.h"
#include "RunServices.h"

#include <QIODevice>
#include <QString>

#include <memory>
#include <string>

namespace sumlark {

class SheetFolder;

// One file of a run: a device to write to, then commit().
class StagedFile : public QIODevice {
public:
    ~StagedFile() override;

    const QString& path() const { return path_; }
    // The first failure so far, or success.
    FileStatus status() const;
    // Marks the file as failed for a reason of the writer's: it will not
    // replace its target.
    void fail(std::string reason);
    // Flushes and syncs the file: whether all of it reached the disk.
    FileStatus prepare();
    // Prepares the file if that has not been done, then moves it over its
    // target. The target keeps its earlier contents unless this succeeds.
    // From the first commit until the last file of the folder is settled,
    // interrupts are held.
    FileStatus commit();

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char* data, qint64 size) override;

private:
    friend class SheetFolder;
    struct Private;
    StagedFile(std::shared_ptr<SheetFolder> folder, QString path, std::unique_ptr<Private> d);
    void settle();

    std::shared_ptr<SheetFolder> folder_;
    QString path_;
    std::unique_ptr<Private> d_;
};

class SheetFolder : public std::enable_shared_from_this<SheetFolder> {
public:
    // How long a run waits for another run in the same folder to finish.
    static constexpr int kLockWaitMs = 5000;

    // Opens and locks an existing folder given by an absolute path; null
    // and the reason when it does not exist, cannot be written, stays
    // locked by another run or has something other than a lock at the
    // lock's name.
    static std::shared_ptr<SheetFolder> open(const QString& absolutePath, std::string& reason,
                                             int lockWaitMs = kLockWaitMs);
    ~SheetFolder();
    SheetFolder(const SheetFolder&) = delete;
    SheetFolder& operator=(const SheetFolder&) = delete;

    const QString& path() const { return path_; }
    // The full path of a file in this folder, with the platform's separator.
    QString filePath(const QString& fileName) const;

    // A new file that will replace fileName in this folder on commit; null
    // and the reason when it cannot be created there.
    std::unique_ptr<StagedFile> stage(const QString& fileName, std::string& reason);

private:
    friend class StagedFile;
    struct Private;
    explicit SheetFolder(QString path);

    // Termination is held back from the first commit until no staged file
    // of the folder is left uncommitted.
    void holdInterrupts();
    void fileSettled();
    // A file moved into a folder, which is synced when the last one has moved.
    void movedInto(int folder);

    QString path_;
    std::unique_ptr<Private> d_;
};

} // namespace sumlark
