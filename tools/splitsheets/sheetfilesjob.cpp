#include "tools/splitsheets/sheetfilesjob.h"

#include "excelop/excelopkiv.h"
#include "tools/splitsheets/sheetfilesrun.h"
#include "tools/workbookimport.h"

#include <QCoreApplication>
#include <QFileInfo>

namespace {

QString tr(const char* text)
{
    return QCoreApplication::translate("splitExcelFromSheets", text);
}

} // namespace

SheetFilesJob::SheetFilesJob(const SheetFilesRequest& request) : request(request) {}

QString SheetFilesJob::formProblem() const
{
    if (request.workbookPath.isEmpty() || !QFileInfo(request.workbookPath).isFile())
        return tr("“目标文件”不存在，请重新选择。");
    if (request.outputFolder.isEmpty() || !QFileInfo(request.outputFolder).isDir())
        return tr("“目标文件夹”不存在，请重新选择。");
    return QString();
}

namespace {

QStringList visibleSheetsOf(ExcelOpKiv& book)
{
    QStringList names;
    for (int i = 0; i < book.sheetCount(); ++i) {
        SheetEntry* sheet = book.sheetAt(i);
        if (sheet->isVisible())
            names.append(sheet->getSheetName());
    }
    return names;
}

} // namespace

JobOutcome SheetFilesJob::run(std::unique_ptr<ExcelOpKiv>& link)
{
    JobOutcome outcome;
    const QString problem = formProblem();
    if (!problem.isEmpty()) {
        outcome.messages.append(problem);
        return outcome;
    }
    replaceLink(link);
    link->openWorkBook(request.workbookPath);
    link->openSheets(); // reports a workbook that did not open
    if (!link->hasWorkbook()) {
        link.reset();
        outcome.kind = JobOutcome::Kind::Failed;
        return outcome;
    }
    QStringList sheetNames = link->getSheetNames();
    if (request.skipHidden)
        sheetNames = visibleSheetsOf(*link);
    SheetFilesRun run(*link, request.workbookPath, request.outputFolder);
    const SheetFilesRun::Outcome runOutcome = run.run(sheetNames);
    const OfficeState office = link->officeState();
    link.reset(); // each output file is saved already; the target never is
    outcome.written = run.written();

    const QString& folder = request.outputFolder;
    // Sheets whose names clean up to one file name share it: the last one's file stays.
    const QString replaced = run.replaced().isEmpty()
        ? QString()
        : tr("以下工作表的文件名与后面的工作表相同，它们的文件被替换了：\n%1\n").arg(run.replaced().join(QLatin1Char('\n')));
    const QString failures = replaced + (run.notWritten().isEmpty()
        ? QString()
        : tr("以下工作表的文件没能写入：\n%1\n").arg(run.notWritten().join(QLatin1Char('\n'))));
    if (office != OfficeState::Working) {
        outcome.kind = JobOutcome::Kind::Failed;
        outcome.messages.append(failures + officeLostText(office));
    } else if (runOutcome == SheetFilesRun::Outcome::Cancelled) {
        outcome.kind = JobOutcome::Kind::Cancelled;
        outcome.messages.append(failures + tr("注意：还没处理完毕，但您选择了退出，部分处理结果已经保存在输出目录内了，请自行查看"));
    } else if (!run.notWritten().isEmpty()) {
        outcome.kind = JobOutcome::Kind::Failed;
        // When every file failed there is no rest that was saved.
        outcome.messages.append(failures + (run.written().isEmpty() ? tr("没有文件保存到目录") + folder + tr("。")
                                                                     : tr("其余文件已经保存，请打开目录") + folder + tr("查看。")));
    } else {
        outcome.kind = JobOutcome::Kind::Done;
        outcome.messages.append(replaced + tr("处理完毕请打开目录") + folder + tr("查看。"));
    }
    return outcome;
}
