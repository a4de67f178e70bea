#pragma once

// Real sheet files (in UTF-8, so tests can read them), but the editor and
// the message box are only recorded.

#include "FileRunServices.h"

#include <functional>
#include <string>
#include <utility>
#include <vector>

class RecordingServices : public sumlark::FileRunServices {
public:
    RecordingServices() : FileRunServices("UTF-8") {}

    bool startEditor(const std::string& path) override
    {
        launches.push_back(path);
        if (duringCompletion)
            duringCompletion();
        return true;
    }

    void showMessage(const std::string& title, const std::string& text) override
    {
        messages.emplace_back(title, text);
        if (duringCompletion)
            duringCompletion();
    }

    std::vector<std::string> launches;
    std::vector<std::pair<std::string, std::string>> messages;
    // Runs inside the completion step, while the window's run is still busy.
    std::function<void()> duringCompletion;
};
