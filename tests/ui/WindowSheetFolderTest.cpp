// Where the window's sheets go: beside a copy that runs from a folder of its
// own and can write there, in the documents subfolder for an installed copy
// or one that cannot write beside itself. Real folders and links in a
// temporary folder; the system's /usr and /opt only as paths.

#include "TableRows.h"
#include "WindowSheetFolder.h"

#include <pwd.h>
#include <unistd.h>

using sumlark::ui::sheetFolder;

class SheetFolderTest : public QObject {
    Q_OBJECT

    QTemporaryDir scratch_;
    // "<tmp>" in a row stands for the scratch folder.
    QString place(QString path) const { return path.replace("<tmp>", scratch_.path()); }

private slots:
    void initTestCase()
    {
        const QDir dir(scratch_.path());
        QVERIFY(dir.mkpath("portable") && dir.mkpath("apps") && dir.mkpath("prefix/real/bin"));
        QVERIFY(QFile::link("/usr/bin", dir.filePath("into-usr")));
        QVERIFY(QFile::link(dir.filePath("prefix/real"), dir.filePath("prefix/link")));
    }

    void chooses_data()
    {
        const QStringList system = {"/usr", "/opt"}, programFiles = {"C:/Program Files", "C:/Program Files (x86)"};
        rows<QString, QStringList, bool>({
            {"own writable folder", {"<tmp>/portable", system, true}},
            {"under /usr", {"/usr/bin", system, false}},
            {"under /usr/local", {"/usr/local/bin", system, false}},
            {"under /opt", {"/opt/sumlark/bin", system, false}},
            {"a root itself", {"/opt", system, false}},
            {"a link into /usr", {"<tmp>/into-usr", system, false}},
            {"dot-dot out of /usr", {"/usr/..<tmp>/portable", system, true}},
            {"root reached through a link", {"<tmp>/prefix/real/bin", {"<tmp>/prefix/link"}, false}},
            {"name only begins like a root", {"<tmp>/apps", {"<tmp>/app"}, true}},
            {"trailing slash on the root", {"<tmp>/apps", {"<tmp>/apps/"}, false}},
            {"Program Files", {"C:/Program Files/Sumlark", programFiles, false}},
            {"Program Files (x86)", {"C:/Program Files (x86)/Sumlark", programFiles, false}},
            {"folder gone", {"<tmp>/gone", system, false}},
            {"no file can be made there, even by root", {"/proc", system, false}},
        });
    }
    void chooses()
    {
        auto [program, roots, besideItself] = row<QString, QStringList, bool>();
        program = place(program);
        for (QString& root : roots)
            root = place(root);
        const QString documents = scratch_.filePath("documents");
        QCOMPARE(sheetFolder(program, documents, roots), besideItself ? program : documents + "/速算练习");
        // Only running makes the folder, and the write probe leaves nothing.
        QVERIFY(!QFileInfo::exists(documents));
        if (besideItself)
            QCOMPARE(QDir(program).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), QStringList());
    }

    // Without HOME, or with HOME at the root, the documents folder is in the
    // home the password database records, never at the root; with no
    // documents folder an installed copy has no sheet folder at all.
    void documentsOutsideTheRoot_data()
    {
        rows<std::optional<QByteArray>>({{"HOME missing", {std::nullopt}}, {"HOME empty", {""}},
                                         {"HOME the root", {"/"}}, {"HOME the root twice over", {"//"}}});
    }
    void documentsOutsideTheRoot()
    {
        const auto [home] = row<std::optional<QByteArray>>();
        const QByteArray previous = qgetenv("HOME");
        home ? qputenv("HOME", *home) : qunsetenv("HOME");
        const QString documents = sumlark::ui::documentsFolder();
        qputenv("HOME", previous);
        const passwd* user = ::getpwuid(::getuid());
        QVERIFY(user);
        const QString recorded = QDir::cleanPath(QFile::decodeName(user->pw_dir));
        QCOMPARE(documents, recorded == "/" ? QString() : recorded + "/Documents");
        QCOMPARE(sheetFolder("/usr/bin", QString(), {"/usr"}), QString());
    }

    // The test program lives in the build tree, a folder of its own.
    void runningProgramKeepsItsBuildFolder() { QCOMPARE(sheetFolder(), QCoreApplication::applicationDirPath()); }
};

QTEST_GUILESS_MAIN(SheetFolderTest)
#include "WindowSheetFolderTest.moc"
