#include "NativePath.h"
#include "RecordingFileServices.h"
#include "SheetLayout.h"

#include <QFile>
#include <QStringEncoder>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace sumlark {
namespace {

using testing::RecordingFileServices;

QByteArray gbk(const std::string& utf8)
{
    QStringEncoder encoder("GBK");
    return encoder.encode(QString::fromStdString(utf8));
}

QByteArray readFile(const std::string& path)
{
    QFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::ReadOnly))
        return "<missing>";
    return file.readAll();
}

WorksheetSettings fourSigns()
{
    auto settings = testing::settingsFor(ProblemType::AllFour, "1", "20", "4", "4");
    settings.allowRemainder = true;
    return settings;
}

// Whole sheets in GBK with CR LF and no byte-order mark; a sheet written
// again keeps the permissions its owner gave it (one shared read-only with a
// class, or kept from other users, stays so).
TEST(SheetFilesOnDisk, WholeSheetsInGbkThatKeepTheirPermissions)
{
    QTemporaryDir folder;
    RecordingFileServices services{"GBK"};
    const auto path = [&](std::string_view name) { return nativePath(folder.path().toStdString(), name); };
    const auto write = [&] {
        // Selectors 1..4 pick addition, subtraction, multiplication, division.
        services.script.scriptAll({{1, 3, 12}, {2, 5, 17}, {3, 6, 3}, {4, 20, 6}}, 1, 20);
        const auto result = testing::runOne(fourSigns(), folder.path().toStdString(), services);
        return result.question.written && result.answer.written;
    };
    ASSERT_TRUE(write());

    const std::string dashes(78, '-');
    const std::string footer = "\r\n" + dashes + "\r\nSumlark总共生成：4 题，题型：加法、减法、乘法、除法 混合 出数范围：1 到 20\r\n" +
                               dashes + "\r\n" + std::string(kCreditLine) + "\r\n";
    const QString questionPath = QString::fromStdString(path(kQuestionSheetName));
    const QByteArray question = readFile(path(kQuestionSheetName));
    EXPECT_EQ(question, gbk("--------答*题*纸-----题数(4)----类型(加法、减法、乘法、除法 混合)----\r\n"
                            "3＋12=        17－5=        6×3=         20÷6=\r\n" +
                            footer));
    EXPECT_EQ(readFile(path(kAnswerSheetName)),
              gbk("--------答@案@纸-----题数(4)----类型(加法、减法、乘法、除法 混合)----\r\n"
                  "3＋12=15      17－5=12      6×3=18       20÷6=3...2\r\n" +
                  footer));
    ASSERT_TRUE(QFile::setPermissions(questionPath, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadOther));
    const QFile::Permissions given = QFile::permissions(questionPath);
    ASSERT_TRUE(write());
    EXPECT_EQ(QFile::permissions(questionPath), given);
    // The signs' GBK bytes, not Qt's word for them: ＋ － × ÷.
    EXPECT_TRUE(question.contains("3\xa3\xab" "12=        17\xa3\xad" "5=        6\xa1\xc1" "3=         20\xa1\xc2" "6="));
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
    services.script.useSeededRandom = true;
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
