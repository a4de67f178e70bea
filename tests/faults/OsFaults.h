#pragma once

// Ways to make the operating system refuse a sheet, which also hold for the
// superuser (CI runs the suites as root, whom file permissions do not bind).
// Each undoes itself when destroyed, so a failing test leaves nothing locked
// or mounted behind.

#include <sys/resource.h>

#include <string>

namespace sumlark::faults {

// Keeps a file or folder from being changed: the immutable attribute where
// the file system and the privileges allow it, else the write permissions.
// Whether the lock holds is tried, not assumed.
class WriteLock {
public:
    explicit WriteLock(std::string path);
    ~WriteLock();
    WriteLock(const WriteLock&) = delete;
    WriteLock& operator=(const WriteLock&) = delete;

    bool holds() const { return how_ != How::None; }
    const std::string& whyNot() const { return whyNot_; }

private:
    enum class How { None, Immutable, Permissions };
    bool setImmutable(bool on);
    bool writable() const;
    void release();

    std::string path_;
    How how_ = How::None;
    unsigned originalMode_ = 0;
    std::string whyNot_;
};

// A small file system in memory, mounted over an empty folder.
class SmallDisk {
public:
    SmallDisk(std::string folder, long long bytes);
    ~SmallDisk();
    SmallDisk(const SmallDisk&) = delete;
    SmallDisk& operator=(const SmallDisk&) = delete;

    bool mounted() const { return mounted_; }
    const std::string& whyNot() const { return whyNot_; }
    long long freeBytes() const;

private:
    std::string folder_;
    bool mounted_ = false;
    std::string whyNot_;
};

// Caps the size of every file the process writes: a write past the cap fails
// as on a full disk. Works for any user, with no mount.
class FileSizeCap {
public:
    explicit FileSizeCap(long long bytes);
    ~FileSizeCap();
    FileSizeCap(const FileSizeCap&) = delete;
    FileSizeCap& operator=(const FileSizeCap&) = delete;

    bool holds() const { return holds_; }

private:
    rlimit previous_{};
    void (*previousHandler_)(int) = nullptr;
    bool holds_ = false;
};

} // namespace sumlark::faults
