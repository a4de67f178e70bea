#include "TextSheetSink.h"

#include "SheetLayout.h"
#include "TextSheets.h"

namespace sumlark {
namespace {

std::unique_ptr<SheetFile> stageText(SheetFileServices& services, const std::string& text, FileOutcome& report)
{
    auto file = services.createSheet(report.path, report.reason);
    if (!file)
        return file;
    // Written whole, to the disk and not only to a buffer, before anything
    // else of the run takes the room it needs.
    FileStatus status = file->write(text);
    if (status.ok)
        status = file->finish();
    if (!status.ok) {
        report.reason = status.reason;
        file.reset(); // dropped: the earlier sheet stays
    }
    return file;
}

class StagedPair final : public StagedFiles {
public:
    FileOutcome question;
    FileOutcome answer;
    std::unique_ptr<SheetFile> questionFile;
    std::unique_ptr<SheetFile> answerFile;

    void prepare() override
    {
        // A sheet that did not reach the disk whole is dropped before anything moves.
        finish(questionFile, question);
        finish(answerFile, answer);
    }
    void commit(std::vector<FileOutcome>& files) override
    {
        move(std::move(questionFile), question);
        move(std::move(answerFile), answer);
        files.push_back(std::move(question));
        files.push_back(std::move(answer));
    }

private:
    static void finish(std::unique_ptr<SheetFile>& file, FileOutcome& report)
    {
        if (!file)
            return;
        if (const FileStatus status = file->finish(); !status.ok) {
            report.reason = status.reason;
            file.reset();
        }
    }
    static void move(std::unique_ptr<SheetFile> file, FileOutcome& report)
    {
        if (!file)
            return;
        const FileStatus status = file->commit();
        report.written = status.ok;
        report.reason = status.reason;
        report.note = status.note;
    }
};

} // namespace

PlaceStatus TextSheetSink::open()
{
    if (const FileStatus opened = files_.openFolder(folder_); !opened.ok)
        return {PlaceFailure::FolderNotOpened, folder_, opened.reason};
    return {};
}

void TextSheetSink::close()
{
    files_.closeFolder();
}

void TextSheetSink::nameFiles(int number, int, const std::string& tag, bool answers, std::vector<FileOutcome>& files) const
{
    (void)answers; // the answer sheet of a sheet without answers still holds its header
    for (const auto& [kind, name] : {std::pair{FileKind::QuestionSheet, questionSheetName(tag)},
                                     std::pair{FileKind::AnswerSheet, answerSheetName(tag)}})
        files.push_back({kind, number, files_.sheetPath(folder_, name), false, {}, {}});
}

std::unique_ptr<StagedFiles> TextSheetSink::stage(const Sheet& sheet, int number, int count, RunReport& report)
{
    (void)count, (void)report;
    auto pair = std::make_unique<StagedPair>();
    std::vector<FileOutcome> named;
    nameFiles(number, 0, sheet.tag, sheet.writeAnswers, named);
    pair->question = std::move(named[0]);
    pair->answer = std::move(named[1]);
    // Both are written before either is put in place, so that the two move
    // in together.
    pair->questionFile = stageText(files_, sheetText(sheet, SheetKind::Question), pair->question);
    pair->answerFile = stageText(files_, sheetText(sheet, SheetKind::Answer), pair->answer);
    return pair;
}

} // namespace sumlark
