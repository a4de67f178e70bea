#pragma once

// The services every front end shares, on Qt Core: sheet files written
// through a locked SheetFolder and encoded with QStringEncoder, and the clock
// seed. The window adds the editor launch and the message box of its own.

#include "NativePath.h"
#include "RunServices.h"
#include "SheetFolder.h"

#include <QByteArray>

#include <memory>

namespace sumlark {

// The encoding sheets are written in, and whether they start with a
// byte-order mark.
struct SheetEncoding {
    QByteArray name; // empty: the system's
    bool byteOrderMark = false;
    // Told to the user when the system's encoding had to be replaced.
    std::string note;
};

class FileRunServices : public virtual RandomServices, public virtual SheetFileServices {
public:
    // An empty encoding name means the system's: the ANSI code page on
    // Windows, UTF-8 on Linux (Qt 6 takes UTF-8 there whatever the locale
    // says). systemEncoding names what the system's encoding is, for a test;
    // empty is the real one.
    explicit FileRunServices(QByteArray encodingName = {}, QByteArray systemEncoding = {});

    // False when Qt does not know the encoding or it cannot hold the
    // sheets' characters; an empty name is the system's.
    static bool encodingAvailable(const QByteArray& name);
    bool encodingValid() const { return encodingAvailable(encodingName_); }
    const QByteArray& encodingName() const { return encodingName_; }
    // What the sheets are written in: the named encoding, else the system's,
    // else, where the system's cannot hold the sheets' characters (an English
    // or Western Windows), UTF-8 with a byte-order mark, which Notepad reads.
    const SheetEncoding& sheetEncoding() const { return encoding_; }

    // Sheets go into this folder, under its lock, while the caller keeps it
    // open; without it each run opens and locks the folder of its sheets.
    void useFolder(std::shared_ptr<SheetFolder> folder) { folder_ = std::move(folder); }

    std::uint64_t clockSeed() override;
    // Opens and locks the folder for a run; a failure is kept for the run's
    // sheets, so that they do not wait for the lock once each.
    FileStatus openFolder(const std::string& folder) override;
    void closeFolder() override;
    std::string sheetPath(const std::string& folder, std::string_view fileName) const override
    {
        return nativePath(folder, fileName);
    }
    std::unique_ptr<SheetFile> createSheet(const std::string& path, std::string& reason) override;

private:
    QByteArray encodingName_;
    SheetEncoding encoding_;
    std::weak_ptr<SheetFolder> folder_;
    std::shared_ptr<SheetFolder> opened_; // between openFolder and closeFolder
};

} // namespace sumlark
