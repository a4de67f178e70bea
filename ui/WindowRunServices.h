#pragma once

#include "FileRunServices.h"

#include <QPointer>
#include <QWidget>

namespace sumlark::ui {

// What a run needs from the desktop: the sheets' editor and a message box
// over the main window. Sheet files and the seed come from FileRunServices.
class WindowRunServices : public FileRunServices, public RunServices {
public:
    explicit WindowRunServices(QWidget* owner);

    // Windows: notepad with the path as its one argument. Elsewhere the
    // desktop's own application for text files.
    bool startEditor(const std::string& path) override;
    // The desktop's file manager on the folder; false when there is no
    // opener. An opener that fails later shows the folder's path in a box.
    bool showFolder(const std::string& folder) override;
    void showMessage(const std::string& title, const std::string& text) override;

private:
    QPointer<QWidget> owner_;
};

} // namespace sumlark::ui
