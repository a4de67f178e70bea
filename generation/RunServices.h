#pragma once

// Everything a run needs from the world outside the engine: random numbers,
// sheet files, the text editor and a message box, as one small interface for
// each step of a run. Front ends implement them with their toolkit; tests
// script them.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace sumlark {

// A uniform source of reals in [0, 1).
class RandomSource {
public:
    virtual ~RandomSource() = default;
    virtual double next() = 0;
    // The next count numbers in order; one call for the three numbers of an
    // attempt instead of three.
    virtual void fill(double* out, int count)
    {
        for (int i = 0; i < count; ++i)
            out[i] = next();
    }
};

// What a file operation tells back: success, or the reason it failed in the
// user's language.
struct FileStatus {
    bool ok = true;
    std::string reason;
    // Something the user should know about a file that was written, such as
    // an encoding other than the one asked for.
    std::string note;

    static FileStatus success() { return {}; }
    static FileStatus failure(std::string why) { return {false, std::move(why), {}}; }
};

// One sheet being written. Its earlier contents are replaced only by a
// successful commit; a sheet dropped without commit leaves them as they were.
class SheetFile {
public:
    virtual ~SheetFile() = default;
    // Text is UTF-8; the service encodes it for the file.
    virtual FileStatus write(std::string_view text) = 0;
    // Makes sure all that was written reached the disk, replacing nothing
    // yet; commit does it when this was not called.
    virtual FileStatus finish() { return FileStatus::success(); }
    virtual FileStatus commit() = 0;
};

// What each step of a run needs from outside: making a sheet needs random
// numbers, writing it needs files, completing it needs the desktop. A front
// end implements the steps it takes; the window takes all three.
class RandomServices {
public:
    virtual ~RandomServices() = default;
    // A seed taken from the clock, once per run that was given none.
    virtual std::uint64_t clockSeed() = 0;
    // The random source of one run. The engine's own seeded generator unless
    // a front end or a test wants another.
    virtual std::unique_ptr<RandomSource> randomSource(std::uint64_t seed);
};

class SheetFileServices {
public:
    virtual ~SheetFileServices() = default;
    // The folder of a run's sheets, opened once for the run (a service may
    // lock it against other runs) and closed after its last sheet. When it
    // cannot be opened, every sheet of the run fails with the reason.
    virtual FileStatus openFolder(const std::string& folder)
    {
        (void)folder;
        return FileStatus::success();
    }
    virtual void closeFolder() {}
    // Where a sheet of the folder lies: the folder and the name joined as
    // the system writes paths, which the engine leaves to its caller.
    virtual std::string sheetPath(const std::string& folder, std::string_view fileName) const = 0;
    // Opens a sheet for writing; on failure returns null and sets reason.
    virtual std::unique_ptr<SheetFile> createSheet(const std::string& path, std::string& reason) = 0;
};

class CompletionServices {
public:
    virtual ~CompletionServices() = default;
    // Starts the text editor on a sheet without waiting; false when it could
    // not be started.
    virtual bool startEditor(const std::string& path) = 0;
    // Shows a folder in the desktop's file manager without waiting; false
    // when it could not, or where there is no desktop.
    virtual bool showFolder(const std::string& folder)
    {
        (void)folder;
        return false;
    }
    // A modal message with an exclamation icon and one OK button.
    virtual void showMessage(const std::string& title, const std::string& text) = 0;
};

// All three, for a run from settings to the completion step.
class RunServices : public virtual RandomServices,
                    public virtual SheetFileServices,
                    public virtual CompletionServices {};

} // namespace sumlark
