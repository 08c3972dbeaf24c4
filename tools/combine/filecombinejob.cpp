#include "tools/combine/filecombinejob.h"

#include "common/runprogress.h"
#include "excelop/excelopkiv.h"
#include "excelop/featurecheck.h"
#include "excelop/openfailure.h"
#include "tools/combine/sheetcombineplan.h"
#include "tools/resultsave.h"

#include <QDir>
#include <QFileInfo>
#include <QVariantMap>
#include <algorithm>

FileCombineJob::FileCombineJob(const FileCombineRequest& request) : request(request)
{
    if (this->request.settings.rowLimit == 0)
        this->request.settings.rowLimit = FileCombinePlan::rowLimitFor(request.resultPath);
}

QStringList FileCombineJob::workbooksIn(const QString& folder)
{
    const QStringList patterns = {QStringLiteral("*.xlsx"), QStringLiteral("*.xls"), QStringLiteral("*.ods")};
    QStringList found;
    const QDir dir(folder);
    for (const QString& name : dir.entryList(patterns, QDir::Files, QDir::Name | QDir::IgnoreCase))
        // The office's lock files and Excel's owner files are no workbooks.
        if (!name.startsWith(QLatin1String("~$")) && !name.startsWith(QLatin1String(".~lock")))
            found.append(dir.filePath(name));
    return found;
}

QString FileCombineJob::formProblem()
{
    if (request.resultPath.trimmed().isEmpty())
        return tr("请选择合并后的新工作簿。");
    if (!request.folder.isEmpty() && !QFileInfo(request.folder).isDir())
        return tr("文件夹%1不存在，请重新选择。").arg(request.folder);
    files = request.folder.isEmpty() ? request.files : workbooksIn(request.folder);
    files.removeDuplicates();
    if (files.isEmpty())
        return request.folder.isEmpty()
                   ? tr("请选择要合并的工作簿。")
                   : tr("文件夹%1里没有工作簿（.xlsx、.xls、.ods），没有可以合并的文件。").arg(request.folder);
    const QString result = QFileInfo(request.resultPath).absoluteFilePath();
    for (const QString& file : qAsConst(files)) {
        if (!QFileInfo(file).isFile())
            return tr("文件%1不存在，请重新选择。").arg(file);
        if (QFileInfo(file).absoluteFilePath() == result
            || (QFileInfo::exists(result)
                && QFileInfo(file).canonicalFilePath() == QFileInfo(result).canonicalFilePath()))
            return tr("合并后的新工作簿%1是要合并的文件之一，请另选一个文件名。没有合并，文件没有改动。").arg(file);
    }
    if (!QFileInfo(QFileInfo(result).absolutePath()).isDir())
        return tr("新工作簿所在的文件夹%1不存在，请重新选择。").arg(QFileInfo(result).absolutePath());
    return QString();
}

bool FileCombineJob::planned(std::vector<std::unique_ptr<ExcelOpKiv>>& books, QVector<ResultSheet>& plan,
                             JobOutcome& refusal)
{
    const QString problem = formProblem();
    if (!problem.isEmpty()) {
        refusal = outcomeOf(JobOutcome::Kind::Refused, problem);
        return false;
    }
    QVector<SourceSheet> sheets;
    for (int f = 0; f < files.size(); ++f) {
        books.push_back(std::make_unique<ExcelOpKiv>());
        ExcelOpKiv& book = *books.back();
        // The sources' formulas show what Excel saved with them, in the result too.
        book.setKeepSavedResults(true);
        if (!book.openWorkBook(files.at(f)) || !book.openSheets()) {
            const OfficeState office = book.officeState();
            refusal =
                office == OfficeState::Working
                    ? outcomeOf(JobOutcome::Kind::Refused, tr("%1无法打开（%2），没有合并，没有写入任何文件。")
                                                               .arg(files.at(f), whyWorkbookDidNotOpen(files.at(f))))
                    : outcomeOf(JobOutcome::Kind::Failed, officeLostText(office));
            return false;
        }
        for (int s = 0; s < book.sheetCount(); ++s) {
            SheetEntry* sheet = book.sheetAt(s);
            sheets.append(SourceSheet{f, sheet->getSheetName(),
                                      SheetCombinePlanner::lastUsedRow(*sheet, sheet->usedColumnCount())});
        }
    }
    plan = request.settings.stack ? FileCombinePlan::stacked(sheets) : FileCombinePlan::sheetBySheet(files, sheets);
    if (std::none_of(sheets.cbegin(), sheets.cend(), [](const SourceSheet& sheet) { return sheet.rows > 0; })) {
        refusal = outcomeOf(JobOutcome::Kind::Refused, tr("要合并的工作簿里都没有数据，没有可以合并的内容。"));
        return false;
    }
    const QString rows = tooManyRows(plan);
    if (!rows.isEmpty()) {
        refusal = outcomeOf(JobOutcome::Kind::Refused, rows);
        return false;
    }
    return true;
}

QString FileCombineJob::tooManyRows(const QVector<ResultSheet>& plan) const
{
    const int limit = request.settings.rowLimit;
    for (const ResultSheet& sheet : plan) {
        const qint64 rows = FileCombinePlan::rowsOf(sheet, request.settings.titleRows, request.settings.stack);
        if (rows > limit)
            return tr("新工作簿的“%1”表将有%2行，超过了%3这种文件一个Sheet表最多能有的%"
                      "4行，没有合并，没有写入任何文件。")
                .arg(sheet.name)
                .arg(rows)
                .arg(QFileInfo(request.resultPath).suffix())
                .arg(limit);
    }
    return QString();
}

JobOutcome FileCombineJob::plan()
{
    std::vector<std::unique_ptr<ExcelOpKiv>> books;
    QVector<ResultSheet> sheets;
    JobOutcome outcome;
    if (!planned(books, sheets, outcome))
        return outcome;
    outcome.kind = JobOutcome::Kind::Done;
    for (const ResultSheet& sheet : sheets)
        outcome.plan.append(
            QVariantMap{{QStringLiteral("name"), sheet.name},
                        {QStringLiteral("rows"),
                         FileCombinePlan::rowsOf(sheet, request.settings.titleRows, request.settings.stack)},
                        {QStringLiteral("sources"), sheet.sources.size()}});
    outcome.messages = FileCombinePlan::planLines(sheets, files, request.settings.titleRows, request.settings.stack);
    return outcome;
}

JobOutcome FileCombineJob::run(std::unique_ptr<ExcelOpKiv>& link)
{
    std::vector<std::unique_ptr<ExcelOpKiv>> books;
    QVector<ResultSheet> sheets;
    JobOutcome outcome;
    if (!planned(books, sheets, outcome))
        return outcome;
    replaceLink(link);
    // The office's copy of a sheet into another workbook carries no formula results: the new
    // workbook calculates them.
    if (!link->newWorkbook()) {
        link.reset();
        return outcomeOf(JobOutcome::Kind::Failed, tr("电子表格程序没能新建工作簿，没有合并。"));
    }
    RunProgressHold dialogThroughSave;
    FileCombineRun run(*link, books, files, request.settings);
    const FileCombineRun::Outcome done = run.run(sheets);
    if (link->officeState() != OfficeState::Working)
        outcome = outcomeOf(JobOutcome::Kind::Failed, officeLostText(link->officeState()));
    else if (done == FileCombineRun::Outcome::Refused)
        outcome = outcomeOf(JobOutcome::Kind::Refused, run.refusal());
    else if (done == FileCombineRun::Outcome::Cancelled)
        outcome = outcomeOf(JobOutcome::Kind::Cancelled, tr("合并已取消，没有写入任何文件。"));
    else if (done == FileCombineRun::Outcome::Failed)
        outcome = outcomeOf(JobOutcome::Kind::Failed,
                            tr("处理时出错：电子表格程序没能复制Sheet表，已停止处理，没有写入任何文件。"));
    else
        outcome = saved(*link, run, sheets);
    link.reset();
    return outcome;
}

JobOutcome FileCombineJob::saved(ExcelOpKiv& book, const FileCombineRun& run, const QVector<ResultSheet>& plan)
{
    if (!book.saveWorkbookAs(request.resultPath))
        return outcomeOf(
            JobOutcome::Kind::Failed,
            tr("保存失败：新工作簿没能保存到%1，请确认该文件没有被其他程序打开并且可以写入。").arg(request.resultPath));
    JobOutcome done;
    done.kind = JobOutcome::Kind::Done;
    done.written.append(request.resultPath);
    done.messages.append(tr("处理完毕：%n个工作簿已合并为%1（%2个Sheet表），请打开查看。", nullptr, files.size())
                             .arg(request.resultPath)
                             .arg(plan.size()));
    if (run.cellsKeptAsValues() > 0)
        done.messages.append(tr("有%"
                                "n个单元格的公式引用了其他Sheet表、其他文件或按标题移动了的列，在新工作簿里会失效或错位"
                                "，已保留为原来显示的值。",
                                nullptr, run.cellsKeptAsValues()));
    const QStringList missing = featuresMissingFromCombined(files, request.resultPath);
    if (!missing.isEmpty())
        //: The list is of features such as frozen panes or pivot tables.
        done.messages.append(
            tr("电子表格程序没能把以下内容带到新工作簿里：%1。").arg(ResultSaver::plainNames(missing).join(tr("、"))));
    return done;
}
