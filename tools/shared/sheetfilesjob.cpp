#include "tools/shared/sheetfilesjob.h"

#include "excelop/excelopkiv.h"
#include "excelop/featurecheck.h"
#include "tools/resultsave.h"
#include "tools/shared/sheetfilesrun.h"
#include "tools/shared/sheetshares.h"

#include "common/pathutils.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <algorithm>
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
    const QString problem = formProblem();
    if (!problem.isEmpty())
        return outcomeOf(JobOutcome::Kind::Refused, problem);
    const std::optional<SheetShare> result = writeFiles(link);
    return result ? outcomeFrom(*result) : outcomeOf(JobOutcome::Kind::Failed, QString());
}

std::optional<SheetShare> SheetFilesJob::writeFiles(std::unique_ptr<ExcelOpKiv>& link)
{
    if (!opened(link))
        return std::nullopt;
    const QStringList sheetNames = sheetsToWrite(*link);
    const int shares = sharesFor(sheetNames);
    // A second earlier: file times may be kept to the second.
    const QDateTime started = QDateTime::currentDateTime().addSecs(-1);
    if (shares > 1)
        otherShares->start(shares);
    SheetShare result = writeShare(*link, shareOf(sheetNames, 0, shares));
    link.reset(); // each output file is saved already; the target never is
    accountForEverySheet(result, started);
    if (shares > 1) {
        QList<SheetShare> rest = otherShares->collect();
        for (int k = 0; k < rest.size(); ++k) {
            rest[k].sheets = shareOf(sheetNames, k + 1, shares);
            accountForEverySheet(rest[k], started);
            result.add(rest.at(k));
        }
    }
    return result;
}

SheetShare SheetFilesJob::runShare(std::unique_ptr<ExcelOpKiv>& link)
{
    SheetShare lost;
    lost.reported = false;
    if (!formProblem().isEmpty() || !opened(link))
        return lost;
    SheetShare share = writeShare(*link, shareOf(sheetsToWrite(*link), request.share, request.shares));
    link.reset();
    return share;
}

bool SheetFilesJob::opened(std::unique_ptr<ExcelOpKiv>& link) const
{
    replaceLink(link);
    link->openWorkBook(request.workbookPath);
    link->openSheets(); // reports a workbook that did not open
    if (!link->hasWorkbook()) {
        link.reset();
        return false;
    }
    return true;
}

QStringList SheetFilesJob::sheetsToWrite(ExcelOpKiv& book) const
{
    const QStringList candidates = request.skipHidden ? visibleSheetsOf(book) : book.getSheetNames();
    if (request.onlySheets.isEmpty())
        return candidates;
    QStringList chosen;
    for (const QString& sheet : request.onlySheets)
        if (candidates.contains(sheet))
            chosen.append(sheet);
    return chosen;
}

QString SheetFilesJob::fileOf(const QString& sheet) const
{
    // As the run names them: the workbook's own extension, letter case kept.
    const QString suffix = otherFormat().isEmpty() ? QFileInfo(request.workbookPath).suffix() : otherFormat();
    const QString name = sanitizeFileName(sheet);
    return joinPath(request.outputFolder, suffix.isEmpty() ? name : name + QLatin1Char('.') + suffix);
}

int SheetFilesJob::sharesFor(const QStringList& sheetNames) const
{
    if (!otherShares || request.offices <= 1 || !fileNamesApart(sheetNames))
        return 1;
    return officesAffordable(request.offices, sheetNames.size(), QFileInfo(request.workbookPath).size());
}

SheetShare SheetFilesJob::writeShare(ExcelOpKiv& book, const QStringList& sheets) const
{
    SheetShare share;
    share.sheets = sheets;
    // Another format: the run writes into a private folder beside the files, so that a file of
    // the workbook's format already in the output folder is never touched.
    QTemporaryDir privateFolder(joinPath(request.outputFolder, QStringLiteral(".kivexcel-XXXXXX")));
    const bool converting = !otherFormat().isEmpty();
    if (converting && !privateFolder.isValid()) {
        share.failure = tr("无法在导出文件夹%1里写入文件。").arg(request.outputFolder);
        return share;
    }
    SheetFilesRun run(book, request.workbookPath, converting ? privateFolder.path() : request.outputFolder);
    run.keepFormulasPointingElsewhere(request.keepBrokenFormulas);
    const SheetFilesRun::Outcome runOutcome = run.run(sheets);
    share.notWritten = run.notWritten();
    share.written = converting ? convertInto(book, run.written(), share.notWritten) : run.written();
    share.replaced = run.replaced();
    share.cellsKept = run.cellsKeptAsValues();
    share.pivotsKept = run.pivotTablesKeptAsValues();
    share.placeholders = run.filesHoldMacroPlaceholders();
    share.cancelled = runOutcome == SheetFilesRun::Outcome::Cancelled;
    if (book.officeState() != OfficeState::Working)
        share.officeLost = officeLostText(book.officeState());
    return share;
}

// Every sheet of a share has its file or is named among those without one. Of a share whose
// process ended without a word, a file found fresh at its place is that sheet's, put there whole
// by the safe save, and what a store left half done is removed.
void SheetFilesJob::accountForEverySheet(SheetShare& share, const QDateTime& started) const
{
    if (share.reported && share.officeLost.isEmpty())
        return;
    for (const QString& sheet : share.sheets) {
        const QFileInfo file(fileOf(sheet));
        if (share.written.contains(file.filePath()))
            continue;
        if (!share.reported && file.exists() && file.lastModified() >= started) {
            share.written.append(file.filePath());
            continue;
        }
        const QString named = tr("“%1”：%2").arg(sheet, QString());
        const bool said = std::any_of(share.notWritten.cbegin(), share.notWritten.cend(),
                                      [&](const QString& line) { return line == sheet || line.startsWith(named); });
        if (!said)
            share.notWritten.append(named + tr("电子表格程序中途退出，这个工作表的文件没有写入"));
    }
    if (share.reported)
        return;
    const QDir folder(request.outputFolder);
    for (const QString& left : folder.entryList({QStringLiteral(".~kivexcel-*.tmp")}, QDir::Files | QDir::Hidden))
        QFile::remove(folder.filePath(left));
}

JobOutcome SheetFilesJob::outcomeFrom(const SheetShare& result) const
{
    JobOutcome outcome;
    outcome.written = result.written;
    if (!result.failure.isEmpty()) {
        outcome.kind = JobOutcome::Kind::Failed;
        outcome.messages.append(result.failure);
        return outcome;
    }
    const QString& folder = request.outputFolder;
    const QStringList& notWritten = result.notWritten;
    // Sheets whose names clean up to one file name share it: the last one's file stays.
    const QString replaced = result.replaced.isEmpty()
                                 ? QString()
                                 : tr("以下工作表的文件名与后面的工作表相同，它们的文件被替换了：\n%1\n")
                                       .arg(result.replaced.join(QLatin1Char('\n')));
    const QString failures =
        replaced
        + (notWritten.isEmpty() ? QString()
                                : tr("以下工作表的文件没能写入：\n%1\n").arg(notWritten.join(QLatin1Char('\n'))));
    if (!result.officeLost.isEmpty()) {
        outcome.kind = JobOutcome::Kind::Failed;
        outcome.messages.append(failures + result.officeLost);
    } else if (result.cancelled) {
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
    if (result.placeholders)
        outcome.messages.append(
            tr("这个工作簿的宏按名字认识它的每个工作表，电子表格程序因此在每个写出的文件里为其他工作表"
               "留下了空白的占位工作表（__VBA__0、__VBA__1……），可以删除。"));
    if (result.cellsKept > 0)
        outcome.messages.append(
            tr("%n个单元格的公式引用了其他工作表，在单独的文件里保留为它们显示的值。", nullptr, result.cellsKept));
    if (result.pivotsKept > 0)
        outcome.messages.append(
            tr("%n个数据透视表的源数据在其他工作表，在单独的文件里保留为它们显示的值。", nullptr, result.pivotsKept));
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
