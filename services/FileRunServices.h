#pragma once

// The services every front end shares, on Qt Core: sheet files written
// through QSaveFile and encoded with QStringEncoder, and the clock seed.
// A front end adds the editor launch and the message box of its own kind.

#include "RunServices.h"

#include <QByteArray>

class QFileDevice;
class QSaveFile;

namespace sumlark {

// Why a sheet file failed, in the user's language (Qt's own texts are English).
std::string saveFailureReason(const QFileDevice& file);
// Opens a sheet file for writing; a folder or a read-only file in its place is
// named as the reason.
bool openSheetFile(QSaveFile& file, std::string& reason);

class FileRunServices : public RunServices {
public:
    // An empty encoding name means the system's: the ANSI code page on
    // Windows, the locale's encoding elsewhere.
    explicit FileRunServices(QByteArray encodingName = {});

    // False when Qt does not know the encoding or it cannot hold the
    // sheets' characters; an empty name is the system's.
    static bool encodingAvailable(const QByteArray& name);
    bool encodingValid() const { return encodingAvailable(encodingName_); }
    const QByteArray& encodingName() const { return encodingName_; }

    std::uint64_t clockSeed() override;
    std::unique_ptr<SheetFile> createSheet(const std::string& path, std::string& reason) override;

private:
    QByteArray encodingName_;
};

} // namespace sumlark
