#pragma once

// Real sheet files through the shared file service, with the random numbers,
// the editor and the message box of a ScriptedServices, which records them.

#include "FileRunServices.h"
#include "ScriptedServices.h"

namespace sumlark::testing {

class RecordingFileServices : public FileRunServices, public RunServices {
public:
    explicit RecordingFileServices(QByteArray encoding = "UTF-8", QByteArray systemEncoding = {})
        : FileRunServices(std::move(encoding), std::move(systemEncoding))
    {
    }

    std::uint64_t clockSeed() override { return script.clockSeed(); }
    std::unique_ptr<RandomSource> randomSource(std::uint64_t seed) override { return script.randomSource(seed); }
    bool startEditor(const std::string& path) override { return script.startEditor(path); }
    bool showFolder(const std::string& folder) override { return script.showFolder(folder); }
    void showMessage(const std::string& title, const std::string& text) override { script.showMessage(title, text); }

    ScriptedServices script;
};

} // namespace sumlark::testing
