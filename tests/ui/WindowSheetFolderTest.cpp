// Where the window's sheets go: beside a copy that runs from a folder of its
// own and can write there, in the documents subfolder for an installed copy
// or one that cannot write beside itself. Real folders and links in a
// temporary folder; the system's /usr and /opt only as paths.

#include "WindowSheetFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <pwd.h>
#include <unistd.h>

using sumlark::ui::isInstalledFolder;
using sumlark::ui::sheetFolder;

namespace {

const QString kSubfolder = QString::fromUtf8(sumlark::ui::kDocumentsSubfolder);

} // namespace

class SheetFolderTest : public QObject {
    Q_OBJECT

    QTemporaryDir scratch_;
    QString documents_;

    // "<tmp>" in a row stands for the scratch folder.
    QString place(QString path) const { return path.replace("<tmp>", scratch_.path()); }
    QStringList place(QStringList paths) const
    {
        for (QString& path : paths)
            path = place(path);
        return paths;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(scratch_.isValid());
        const QDir dir(scratch_.path());
        for (const char* folder : {"portable", "apps", "prefix/real/bin"})
            QVERIFY(dir.mkpath(folder));
        QVERIFY(QFile::link("/usr/bin", dir.filePath("into-usr")));
        QVERIFY(QFile::link(dir.filePath("prefix/real"), dir.filePath("prefix/link")));
        documents_ = dir.filePath("documents");
    }

    void chooses_data()
    {
        QTest::addColumn<QString>("program");
        QTest::addColumn<QStringList>("roots");
        QTest::addColumn<bool>("besideItself");
        const QStringList system = {"/usr", "/opt"};
        QTest::newRow("own writable folder") << "<tmp>/portable" << system << true;
        QTest::newRow("under /usr") << "/usr/bin" << system << false;
        QTest::newRow("under /usr/local") << "/usr/local/bin" << system << false;
        QTest::newRow("under /opt") << "/opt/sumlark/bin" << system << false;
        QTest::newRow("a root itself") << "/opt" << system << false;
        QTest::newRow("a link into /usr") << "<tmp>/into-usr" << system << false;
        QTest::newRow("root reached through a link") << "<tmp>/prefix/real/bin" << QStringList{"<tmp>/prefix/link"}
                                                     << false;
        QTest::newRow("name only begins like a root") << "<tmp>/apps" << QStringList{"<tmp>/app"} << true;
        QTest::newRow("trailing slash on the root") << "<tmp>/apps" << QStringList{"<tmp>/apps/"} << false;
        QTest::newRow("Program Files") << "C:/Program Files/Sumlark" << QStringList{"C:/Program Files"} << false;
        QTest::newRow("Program Files (x86)") << "C:/Program Files (x86)/Sumlark"
                                             << QStringList{"C:/Program Files", "C:/Program Files (x86)"} << false;
        QTest::newRow("folder gone") << "<tmp>/gone" << system << false;
#ifdef Q_OS_LINUX
        // No one, root included, can make a file in /proc.
        QTest::newRow("no file can be made there") << "/proc" << system << false;
#endif
    }
    void chooses()
    {
        QFETCH(QString, program);
        QFETCH(QStringList, roots);
        QFETCH(bool, besideItself);
        program = place(program);
        const QString expected = besideItself ? program : QDir(documents_).filePath(kSubfolder);
        QCOMPARE(sheetFolder(program, documents_, place(roots)), expected);
        // Only running makes the folder, and the write probe leaves nothing.
        QVERIFY(!QFileInfo::exists(documents_));
        if (besideItself)
            QCOMPARE(QDir(program).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), QStringList());
    }

    void installedOnlyUnderTheRoots_data()
    {
        QTest::addColumn<QString>("program");
        QTest::addColumn<bool>("installed");
        QTest::newRow("/usr/bin") << "/usr/bin" << true;
        QTest::newRow("/opt/x/bin") << "/opt/x/bin" << true;
        QTest::newRow("/usrlocal") << "/usrlocal/bin" << false;
        QTest::newRow("/home") << "/home/teacher/sumlark" << false;
        QTest::newRow("dot-dot out of /usr") << "/usr/../home/sumlark" << false;
    }
    void installedOnlyUnderTheRoots()
    {
        QFETCH(QString, program);
        QFETCH(bool, installed);
        QCOMPARE(isInstalledFolder(program, {"/usr", "/opt"}), installed);
    }

    // Without HOME, or with HOME at the root, the documents folder is in the
    // home the password database records, never at the root; with no
    // documents folder an installed copy has no sheet folder at all.
    void documentsOutsideTheRoot_data()
    {
        QTest::addColumn<QByteArray>("home");
        QTest::addColumn<bool>("set");
        QTest::newRow("HOME missing") << QByteArray() << false;
        QTest::newRow("HOME empty") << QByteArray() << true;
        QTest::newRow("HOME the root") << QByteArray("/") << true;
        QTest::newRow("HOME the root twice over") << QByteArray("//") << true;
    }
    void documentsOutsideTheRoot()
    {
        QFETCH(QByteArray, home);
        QFETCH(bool, set);
        const QByteArray previous = qgetenv("HOME");
        set ? qputenv("HOME", home) : qunsetenv("HOME");
        const QString documents = sumlark::ui::documentsFolder();
        qputenv("HOME", previous);
        const passwd* user = ::getpwuid(::getuid());
        QVERIFY(user);
        const QString recorded = QDir::cleanPath(QFile::decodeName(user->pw_dir));
        QCOMPARE(documents, recorded == "/" ? QString() : recorded + "/Documents");
        QCOMPARE(sheetFolder("/usr/bin", QString(), {"/usr"}), QString());
    }

    // The test program lives in the build tree, a folder of its own.
    void runningProgramKeepsItsBuildFolder()
    {
        QCOMPARE(sheetFolder(), QCoreApplication::applicationDirPath());
    }
};

QTEST_GUILESS_MAIN(SheetFolderTest)
#include "WindowSheetFolderTest.moc"
