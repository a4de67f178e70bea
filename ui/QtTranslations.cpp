#include "QtTranslations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace sumlark::ui {

bool installQtTranslations(QTranslator& translator)
{
    // A portable folder has them where windeployqt puts them, beside the
    // program, merged into qt_zh_CN.qm; an installed Qt in its own folder,
    // where qtbase_zh_CN.qm holds what the widgets and print support say.
    const QLocale chinese(QLocale::Chinese, QLocale::China);
    for (const QString& folder : {QCoreApplication::applicationDirPath() + QStringLiteral("/translations"),
                                  QLibraryInfo::path(QLibraryInfo::TranslationsPath)}) {
        for (const QString& catalog : {QStringLiteral("qtbase"), QStringLiteral("qt")}) {
            if (translator.load(chinese, catalog, QStringLiteral("_"), folder))
                return QCoreApplication::installTranslator(&translator);
        }
    }
    return false;
}

} // namespace sumlark::ui
