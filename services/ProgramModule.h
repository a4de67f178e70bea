#pragma once

// The program's own modules (the command line's PDF writer, the window's
// printing), opened when first needed: from the program's folder, as in the
// build tree and on Windows, or from where an installation puts them.

#include <QFunctionPointer>
#include <QString>
#include <QStringList>

namespace sumlark {

// The program's folder, also before any application object exists; empty
// when the system does not tell.
QString programFolder();

// Opens the module named name (no suffix) from the program's folders, then
// from extraFolders, and returns its entry; null when none could be opened,
// with each attempt's failure in failures. The module stays loaded.
QFunctionPointer openProgramModule(const QString& name, const char* entry, const QStringList& extraFolders,
                                   QStringList& failures);

} // namespace sumlark
