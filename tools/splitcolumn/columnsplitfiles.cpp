// The column split's plan, and the split into one file per value, for ColumnSplitJob.
#include "tools/splitcolumn/columnsplitjob.h"

#include "common/pathutils.h"
#include "excelop/excelopkiv.h"
#include "tools/splitcolumn/columnsplitplan.h"
#include "tools/splitcolumn/columnsplitrun.h"
#include "tools/splitcolumn/splitplan.h"
#include "tools/shared/sheetfilesjob.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QVariantMap>

namespace {

QString extensionOf(const QString& path)
{
    const QString suffix = QFileInfo(path).suffix();
    return suffix.isEmpty() ? QString() : QStringLiteral(".") + suffix;
}

QVariantList planAsData(const QVector<SplitPlanEntry>& plan)
{
    QVariantList entries;
    for (const SplitPlanEntry& entry : plan)
        entries.append(QVariantMap{{QStringLiteral("value"), entry.value},
                                   {QStringLiteral("rows"), entry.rowCount},
                                   {QStringLiteral("name"), entry.name},
                                   {QStringLiteral("renamed"), entry.whyRenamed}});
    return entries;
}

} // namespace

bool ColumnSplitJob::openedAndAccepted(const QString& path, std::unique_ptr<ExcelOpKiv>& link, JobOutcome& refusal)
{
    replaceLink(link);
    link->openWorkBook(path);
    if (!link->openSheets()) {
        link.reset();
        refusal = outcomeOf(JobOutcome::Kind::Failed, QString());
        return false;
    }
    if (refused(*link, refusal)) {
        link.reset();
        return false;
    }
    return true;
}

SplitRows ColumnSplitJob::rowsIn(ExcelOpKiv& book) const
{
    SheetEntry* source = book.findSheet(request.sheetName);
    return source ? splitRowsOf(*source, titleRow, endRow, referColumn) : SplitRows();
}

JobOutcome ColumnSplitJob::plan(std::unique_ptr<ExcelOpKiv>& link)
{
    const QString problem = formProblem();
    if (!problem.isEmpty())
        return outcomeOf(JobOutcome::Kind::Refused, problem);
    JobOutcome outcome;
    if (!openedAndAccepted(request.workbookPath, link, outcome))
        return outcome;
    const SplitRows rows = rowsIn(*link);
    const QVector<SplitPlanEntry> entries = request.filesFolder.isEmpty()
                                                ? planSheets(rows.groups, link->getSheetNames())
                                                : planFiles(rows.groups, extensionOf(request.workbookPath));
    link.reset();
    outcome.kind = JobOutcome::Kind::Done;
    outcome.plan = planAsData(entries);
    outcome.messages = planLines(entries) + notes(0, rows.emptyRows.size());
    return outcome;
}

// The split happens in a copy in a private folder: its new sheets are then written as files of
// their own by the sheet-to-files run, and take their values' names in the chosen folder.
JobOutcome ColumnSplitJob::splitIntoFiles(std::unique_ptr<ExcelOpKiv>& link)
{
    const QString& folder = request.filesFolder;
    if (!QFileInfo(folder).isDir())
        return outcomeOf(JobOutcome::Kind::Refused, tr("“导出文件夹”%1不存在，请重新选择。").arg(folder));
    QTemporaryDir work(joinPath(folder, QStringLiteral(".kivexcel-XXXXXX")));
    const QString copy = work.filePath(QStringLiteral("source") + extensionOf(request.workbookPath));
    if (!work.isValid() || !QFile::copy(request.workbookPath, copy)
        || !QFile::setPermissions(copy, QFile::permissions(copy) | QFileDevice::WriteOwner))
        return outcomeOf(JobOutcome::Kind::Failed, tr("无法在导出文件夹%1里写入文件。").arg(folder));
    JobOutcome outcome;
    if (!openedAndAccepted(copy, link, outcome))
        return outcome;
    const QVector<ValueRows> groups = rowsIn(*link).groups;
    const QVector<SplitPlanEntry> sheets = planSheets(groups, link->getSheetNames());
    const QVector<SplitPlanEntry> files = planFiles(groups, extensionOf(request.workbookPath));

    // Formulas the split does not change keep Excel's results; the copy is closed afterwards.
    link->setKeepSavedResults(true);
    ColumnSplitRun run(*link, runSettings());
    const ColumnSplitRun::Outcome split = run.run();
    if (link->officeState() != OfficeState::Working) {
        const QString lost = officeLostText(link->officeState());
        link.reset();
        return outcomeOf(JobOutcome::Kind::Failed, lost);
    }
    if (split == ColumnSplitRun::Outcome::Finished && run.valuesFound() == 0) {
        link.reset();
        return noDataRows();
    }
    if (split != ColumnSplitRun::Outcome::Finished || !link->saveWorkbook()) {
        link.reset();
        return outcomeOf(split == ColumnSplitRun::Outcome::Cancelled ? JobOutcome::Kind::Cancelled
                                                                     : JobOutcome::Kind::Failed,
                         split == ColumnSplitRun::Outcome::Cancelled
                             ? tr("注意：还没处理完毕，您已退出，没有写入任何文件。")
                             : tr("处理时出错：电子表格程序没能分出新的Sheet表，没有写入任何文件。"));
    }
    QStringList valueSheets;
    for (const SplitPlanEntry& entry : sheets)
        valueSheets.append(entry.name);
    // The files come from the copy as saved, as a later reading of it would see it.
    SheetFilesRequest filesRequest;
    filesRequest.workbookPath = copy;
    filesRequest.outputFolder = work.filePath(QStringLiteral("files"));
    filesRequest.keepBrokenFormulas = request.keepBrokenFormulas;
    filesRequest.onlySheets = valueSheets;
    filesRequest.offices = request.offices;
    QDir().mkpath(filesRequest.outputFolder);
    SheetFilesJob sheetFiles(filesRequest);
    const std::unique_ptr<OtherShares> others = otherShares ? otherShares(filesRequest) : nullptr;
    sheetFiles.setOtherShares(others.get());
    const std::optional<SheetShare> wrote = sheetFiles.writeFiles(link);
    link.reset();
    if (!wrote)
        return outcomeOf(JobOutcome::Kind::Failed, QString());

    QStringList notWritten;
    for (int k = 0; k < sheets.size(); ++k) {
        const QString from = sheetFiles.fileOf(sheets.at(k).name);
        const QString to = joinPath(folder, files.at(k).name);
        // A cancelled run's unfinished file holds other values' sheets too: it stays behind.
        const bool moved =
            wrote->written.contains(from) && (!QFileInfo::exists(to) || QFile::remove(to)) && QFile::rename(from, to);
        if (moved)
            outcome.written.append(to);
        else
            notWritten.append(files.at(k).value.isEmpty() ? QCoreApplication::translate("ExcelOpKiv", "空")
                                                          : files.at(k).value);
    }
    if (wrote->cancelled) {
        outcome.kind = JobOutcome::Kind::Cancelled;
        outcome.messages.append(tr("注意：还没处理完毕，您已退出，已写入的文件在%1里。").arg(folder));
    } else if (!notWritten.isEmpty()) {
        outcome.kind = JobOutcome::Kind::Failed;
        outcome.messages.append(tr("以下值的文件没能写入：%1。").arg(notWritten.join(tr("、"))));
        if (!wrote->officeLost.isEmpty())
            outcome.messages.append(wrote->officeLost);
    } else {
        outcome.kind = JobOutcome::Kind::Done;
        outcome.messages.append(tr("处理完毕请打开目录%1查看。").arg(folder));
    }
    outcome.messages += notes(run.cellsKeptAsValues() + wrote->cellsKept, run.emptyRowsLeftOut());
    return outcome;
}
