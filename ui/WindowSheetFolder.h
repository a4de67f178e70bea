#pragma once

// Where the window writes its sheets. A copy that runs from a folder of its
// own (unpacked somewhere, a build tree) keeps them beside itself, as it always
// has; an installed copy never writes into the system's program folders, not
// even as root, and uses the user's documents instead.

#include <QString>
#include <QStringList>

#include <optional>
#include <string>

namespace sumlark::ui {

// The subfolder of the documents folder that an installed copy writes into.
inline constexpr char kDocumentsSubfolder[] = "速算练习";

// The folders installed programs live under here: /usr and /opt, or the
// Program Files folders on Windows.
QStringList installedRoots();

// Whether the program folder lies under one of the roots (symbolic links
// followed, so /bin on a merged /usr counts as installed).
bool isInstalledFolder(const QString& programFolder, const QStringList& roots);

// The program folder if it is not installed and a file can be made there,
// else the subfolder of the documents folder (not created here: the first
// run makes it, so merely starting the program leaves nothing behind); empty
// when that is needed and there is no documents folder.
QString sheetFolder(const QString& programFolder, const QString& documentsFolder, const QStringList& roots);

// This user's documents folder. A program started without HOME, or with
// HOME at the root (by a service, or "sudo" keeping it), would put it at the
// root: the home folder of the password database stands in, and with none
// there, or the root there too, the answer is empty.
QString documentsFolder();

// The same as sheetFolder above for the running program and this user's
// documents folder.
QString sheetFolder();

// Makes the sheet folder and the folders above it; nothing, or what the
// user is told instead of a run: the folder and the real reason.
std::optional<std::string> makeSheetFolder(const QString& folder);

} // namespace sumlark::ui
