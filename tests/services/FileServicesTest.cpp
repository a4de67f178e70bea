#include "RecordingFileServices.h"

#include <QFile>
#include <QStringEncoder>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace sumlark {
namespace {

using testing::RecordingFileServices;

QByteArray gbk(const std::string& utf8)
{
    return QStringEncoder("GBK").encode(QString::fromStdString(utf8));
}

QByteArray readFile(const std::string& path)
{
    QFile file(QString::fromStdString(path));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : "<missing>";
}

WorksheetSettings fourSigns()
{
    auto settings = testing::settingsFor(ProblemType::AllFour, "1", "20", "40", "4");
    settings.allowRemainder = true;
    return settings;
}

// Whole sheets in GBK: the engine's text of the seed, CR LF and all, and no
// byte-order mark; a sheet written again keeps the permissions its owner gave
// it (one shared read-only with a class, or kept from other users, stays so).
TEST(SheetFilesOnDisk, WholeSheetsInGbkThatKeepTheirPermissions)
{
    QTemporaryDir folder;
    RecordingFileServices services{"GBK"};
    testing::ScriptedServices memory;
    const auto inMemory = testing::runOne(fourSigns(), "/m", memory, 3);
    const auto write = [&] { return testing::runOne(fourSigns(), folder.path().toStdString(), services, 3); };
    const auto written = write();
    ASSERT_TRUE(written.question.written && written.answer.written);
    const QByteArray question = readFile(written.question.path);
    EXPECT_EQ(question, gbk(memory.files.at(inMemory.question.path)));
    EXPECT_EQ(readFile(written.answer.path), gbk(memory.files.at(inMemory.answer.path)));
    // The signs' GBK bytes, not Qt's word for them: ＋ － × ÷.
    for (const char* sign : {"\xa3\xab", "\xa3\xad", "\xa1\xc1", "\xa1\xc2"})
        EXPECT_TRUE(question.contains(sign)) << sign;
    const QString questionPath = QString::fromStdString(written.question.path);
    ASSERT_TRUE(QFile::setPermissions(questionPath, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadOther));
    const QFile::Permissions given = QFile::permissions(questionPath);
    ASSERT_TRUE(write().question.written);
    EXPECT_EQ(QFile::permissions(questionPath), given);
}

struct SystemEncodingRow {
    const char* name;
    QByteArray system;   // what the system's encoding is said to be
    QByteArray written;  // the encoding the sheet must be in
    bool byteOrderMark;
};

class SystemEncodings : public ::testing::TestWithParam<SystemEncodingRow> {};

// Where the system's encoding cannot hold the sheets (an English or Western
// Windows), the sheets are UTF-8 with a byte-order mark, which Notepad
// reads, and the report notes it; a Chinese system keeps GBK.
TEST_P(SystemEncodings, SheetsAreWrittenInOneThatHoldsThem)
{
    const auto& row = GetParam();
    QTemporaryDir folder;
    RecordingFileServices services({}, row.system);
    const auto result = testing::runOne(fourSigns(), folder.path().toStdString(), services);
    ASSERT_TRUE(result.question.written && result.answer.written);
    const QByteArray mark = row.byteOrderMark ? QByteArray("\xEF\xBB\xBF") : QByteArray();
    QStringEncoder encoder(row.written.constData());
    const QByteArray header = encoder.encode(QStringLiteral("--------答*题*纸"));
    EXPECT_TRUE(readFile(result.question.path).startsWith(mark + header));
    EXPECT_TRUE(readFile(result.answer.path).startsWith(mark + encoder.encode(QStringLiteral("--------答@案@纸"))));
    EXPECT_EQ(result.question.note.find("UTF-8 编码") != std::string::npos, row.byteOrderMark);
}

INSTANTIATE_TEST_SUITE_P(
    Encodings, SystemEncodings,
    ::testing::Values(SystemEncodingRow{"WesternWindowsGetsUtf8WithMark", "windows-1252", "UTF-8", true},
                      SystemEncodingRow{"ChineseWindowsKeepsGbk", "GBK", "GBK", false},
                      SystemEncodingRow{"LinuxIsUtf8WithoutMark", {}, "UTF-8", false}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace sumlark
