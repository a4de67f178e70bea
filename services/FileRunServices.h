#pragma once

// The services every front end shares, on Qt Core: sheet files written
// through QSaveFile and encoded with QStringEncoder, and the clock seed.
// A front end adds the editor launch and the message box of its own kind.

#include "RunServices.h"

#include <QByteArray>

namespace sumlark {

class FileRunServices : public RunServices {
public:
    // An empty encoding name means the system's: the ANSI code page on
    // Windows, the locale's encoding elsewhere.
    explicit FileRunServices(QByteArray encodingName = {});

    // False when the encoding name is not one Qt can write; empty names the
    // system's.
    static bool encodingAvailable(const QByteArray& name);
    bool encodingValid() const { return encodingAvailable(encodingName_); }
    const QByteArray& encodingName() const { return encodingName_; }

    std::uint64_t clockSeed() override;
    std::unique_ptr<SheetFile> createSheet(const std::string& path, std::string& reason) override;

private:
    QByteArray encodingName_;
};

} // namespace sumlark
