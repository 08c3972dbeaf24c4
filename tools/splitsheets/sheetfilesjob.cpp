#include "tools/splitsheets/sheetfilesjob.h"

#include "excelop/excelopkiv.h"
#include "excelop/featurecheck.h"
#include "tools/resultsave.h"
#include "tools/shared/sheetfilesrun.h"

#include "common/pathutils.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

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
    // Another format: the run writes into a private folder beside the files, so that a file of
    // the workbook's format already in the output folder is never touched.
    QTemporaryDir privateFolder(joinPath(request.outputFolder, QStringLiteral(".kivexcel-XXXXXX")));
    const bool converting = !otherFormat().isEmpty();
    if (converting && !privateFolder.isValid()) {
        link.reset();
        outcome.kind = JobOutcome::Kind::Failed;
        outcome.messages.append(tr("无法在导出文件夹%1里写入文件。").arg(request.outputFolder));
        return outcome;
    }
    SheetFilesRun run(*link, request.workbookPath, converting ? privateFolder.path() : request.outputFolder);
    run.keepFormulasPointingElsewhere(request.keepBrokenFormulas);
    const SheetFilesRun::Outcome runOutcome = run.run(sheetNames);
    QStringList notWritten = run.notWritten();
    outcome.written = converting ? convertInto(*link, run.written(), notWritten) : run.written();
    const OfficeState office = link->officeState();
    link.reset(); // each output file is saved already; the target never is

    const QString& folder = request.outputFolder;
    // Sheets whose names clean up to one file name share it: the last one's file stays.
    const QString replaced = run.replaced().isEmpty()
                                 ? QString()
                                 : tr("以下工作表的文件名与后面的工作表相同，它们的文件被替换了：\n%1\n")
                                       .arg(run.replaced().join(QLatin1Char('\n')));
    const QString failures =
        replaced
        + (notWritten.isEmpty() ? QString()
                                : tr("以下工作表的文件没能写入：\n%1\n").arg(notWritten.join(QLatin1Char('\n'))));
    if (office != OfficeState::Working) {
        outcome.kind = JobOutcome::Kind::Failed;
        outcome.messages.append(failures + officeLostText(office));
    } else if (runOutcome == SheetFilesRun::Outcome::Cancelled) {
        outcome.kind = JobOutcome::Kind::Cancelled;
        outcome.messages.append(
            failures + tr("注意：还没处理完毕，但您选择了退出，部分处理结果已经保存在输出目录内了，请自行查看"));
    } else if (!notWritten.isEmpty()) {
        outcome.kind = JobOutcome::Kind::Failed;
        // When every file failed there is no rest that was saved.
        outcome.messages.append(failures
                                + (outcome.written.isEmpty() ? tr("没有文件保存到目录%1。").arg(folder)
                                                             : tr("其余文件已经保存，请打开目录%1查看。").arg(folder)));
    } else {
        outcome.kind = JobOutcome::Kind::Done;
        outcome.messages.append(replaced + tr("处理完毕请打开目录%1查看。").arg(folder));
    }
    if (run.filesHoldMacroPlaceholders())
        outcome.messages.append(
            tr("这个工作簿的宏按名字认识它的每个工作表，电子表格程序因此在每个写出的文件里为其他工作表"
               "留下了空白的占位工作表（__VBA__0、__VBA__1……），可以删除。"));
    if (run.cellsKeptAsValues() > 0)
        outcome.messages.append(tr("%n个单元格的公式引用了其他工作表，在单独的文件里保留为它们显示的值。", nullptr,
                                   run.cellsKeptAsValues()));
    if (run.pivotTablesKeptAsValues() > 0)
        outcome.messages.append(tr("%n个数据透视表的源数据在其他工作表，在单独的文件里保留为它们显示的值。", nullptr,
                                   run.pivotTablesKeptAsValues()));
    // The files are new, so nothing of the workbook is gone; the user still learns what they lack.
    const QStringList missing = featuresMissingFromFiles(request.workbookPath, outcome.written);
    if (!missing.isEmpty())
        //: The list is of features such as frozen panes or pivot tables.
        outcome.messages.append(tr("电子表格程序没能把以下内容带到写出的文件里：%1。")
                                    .arg(ResultSaver::plainNames(missing).join(tr("、"))));
    return outcome;
}

QStringList SheetFilesJob::formats()
{
    return {QStringLiteral("same"), QStringLiteral("xlsx"), QStringLiteral("xls"),
            QStringLiteral("ods"),  QStringLiteral("csv"),  QStringLiteral("pdf")};
}

QString SheetFilesJob::otherFormat() const
{
    const QString chosen = request.format.toLower();
    if (chosen.isEmpty() || chosen == QLatin1String("same")
        || chosen == QFileInfo(request.workbookPath).suffix().toLower())
        return QString();
    return chosen;
}

QStringList SheetFilesJob::convertInto(ExcelOpKiv& book, const QStringList& files, QStringList& failed) const
{
    QStringList written;
    for (const QString& file : files) {
        const QString name = QFileInfo(file).completeBaseName();
        const QString target = joinPath(request.outputFolder, name + QLatin1Char('.') + otherFormat());
        if (book.openWorkBook(file) && book.saveWorkbookAs(target))
            written.append(target);
        else
            failed.append(name);
        book.closeWorkbook();
        QFile::remove(file);
    }
    return written;
}
