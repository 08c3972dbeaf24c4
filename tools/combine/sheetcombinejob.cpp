#include "tools/combine/sheetcombinejob.h"

#include "common/runprogress.h"
#include "excelop/excelopkiv.h"
#include "tools/combine/sheetcombinerun.h"

#include <QFileInfo>
#include <QVariantMap>

SheetCombineJob::SheetCombineJob(const SheetCombineRequest& request) : request(request) {}

QString SheetCombineJob::formProblem() const
{
    if (!QFileInfo(request.workbookPath).isFile())
        return tr("目标文件不存在，请重新选择。");
    if (request.settings.titleRows < 0)
        return tr("“标题行数”不能小于0，请重新输入。");
    if (request.settings.titleRows == 0 && request.settings.alignTitles)
        return tr("按标题对齐需要标题行，“标题行数”至少为1，请重新输入。");
    return QString();
}

bool SheetCombineJob::planned(std::unique_ptr<ExcelOpKiv>& link, SheetCombinePlan& plan, JobOutcome& refusal)
{
    const QString problem = formProblem();
    if (!problem.isEmpty()) {
        refusal = outcomeOf(JobOutcome::Kind::Refused, problem);
        return false;
    }
    replaceLink(link);
    link->openWorkBook(request.workbookPath);
    QString refused;
    if (!link->openSheets()) {
        refusal = outcomeOf(JobOutcome::Kind::Failed, QString());
    } else if (link->isReadOnly()) {
        refusal = outcomeOf(JobOutcome::Kind::Refused,
                            tr("%1只能以只读方式打开（所在文件夹不能写入，或文件正被其他程序占用），处理结果无法保存，"
                               "没有处理，文件没有改动。")
                                .arg(request.workbookPath));
    } else {
        plan = SheetCombinePlanner::planFor(*link, request.settings, refused);
        if (refused.isEmpty() && plan.parts.size() < 2)
            refused = tr("请至少选择两个要合并的Sheet表。文件没有改动。");
        if (refused.isEmpty())
            return true;
        refusal = outcomeOf(link->officeState() == OfficeState::Working ? JobOutcome::Kind::Refused
                                                                        : JobOutcome::Kind::Failed,
                            refused);
    }
    link.reset();
    return false;
}

JobOutcome SheetCombineJob::plan(std::unique_ptr<ExcelOpKiv>& link)
{
    SheetCombinePlan plan;
    JobOutcome outcome;
    if (!planned(link, plan, outcome))
        return outcome;
    link.reset();
    outcome.kind = JobOutcome::Kind::Done;
    for (const CombinedPart& part : plan.parts)
        outcome.plan.append(QVariantMap{{QStringLiteral("sheet"), part.sheet},
                                        {QStringLiteral("rows"), part.rowCount()},
                                        {QStringLiteral("name"), plan.resultName}});
    outcome.messages = SheetCombinePlanner::planLines(plan);
    return outcome;
}

JobOutcome SheetCombineJob::run(std::unique_ptr<ExcelOpKiv>& link)
{
    SheetCombinePlan plan;
    JobOutcome outcome;
    if (!planned(link, plan, outcome))
        return outcome;
    outcome = combineInOpenWorkbook(*link, plan);
    link.reset();
    return outcome;
}

JobOutcome SheetCombineJob::combineInOpenWorkbook(ExcelOpKiv& book, const SheetCombinePlan& plan)
{
    // Formulas keep Excel's results through the save; the copied rows' own are worked out anew.
    const SavedResultsKept keptResults(book);
    RunProgressHold dialogThroughSave;
    SheetCombineRun run(book, request.settings, plan);
    const SheetCombineRun::Outcome outcome = run.run();
    if (book.officeState() != OfficeState::Working)
        return outcomeOf(JobOutcome::Kind::Failed, officeLostText(book.officeState()));
    if (outcome == SheetCombineRun::Outcome::Cancelled)
        return outcomeOf(JobOutcome::Kind::Cancelled, tr("合并已取消，文件没有改动。"));
    if (outcome == SheetCombineRun::Outcome::Failed)
        return outcomeOf(JobOutcome::Kind::Failed,
                         tr("处理时出错：电子表格程序拒绝复制行（例如工作表受保护），已停止处理，文件没有改动。"));
    const WorkSave work{request.workbookPath, request.resultPath, request.onLoss, request.keepBackup};
    ResultSave save;
    QString notice;
    JobOutcome failure;
    if (!ResultSaver::saveWork(book, work, dialogThroughSave, save, notice, failure))
        return failure;
    JobOutcome done;
    done.kind = JobOutcome::Kind::Done;
    done.written.append(save.savedPath);
    done.messages.append(tr("处理完毕：%n行数据已合并到新Sheet表“%1”，请打开%2查看。", nullptr, plan.dataRows())
                             .arg(run.resultSheet(), save.savedPath));
    if (run.cellsKeptAsValues() > 0)
        done.messages.append(
            tr("有%n个单元格的公式引用了其他Sheet表或按标题移动了的列，合并后引用会错位，已保留为原来显示的值。",
               nullptr, run.cellsKeptAsValues()));
    if (!notice.isEmpty())
        done.messages.append(notice);
    return done;
}
