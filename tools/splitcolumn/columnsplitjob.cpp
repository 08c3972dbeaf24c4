#include "tools/splitcolumn/columnsplitjob.h"

#include "common/runprogress.h"
#include "excelop/cellref.h"
#include "excelop/excelopkiv.h"
#include "tools/resultsave.h"
#include "tools/splitcolumn/columnsplitrun.h"

#include <QCoreApplication>
#include <QFileInfo>

namespace {

QString readOnlyText(const QString& path)
{
    return QCoreApplication::translate("SplitSheetFromColumn",
                                       "%1只能以只读方式打开（所在文件夹不能写入，或文件正被其他程序占用），处理结果无"
                                       "法保存，没有处理，文件没有改动。")
        .arg(path);
}

} // namespace

ColumnSplitJob::ColumnSplitJob(const ColumnSplitRequest& request) : request(request) {}

QString ColumnSplitJob::formProblem()
{
    if (!QFileInfo(request.workbookPath).isFile())
        return tr("目标文件不存在，请重新选择。");
    // An area left to the sheet is checked once the sheet has filled it in.
    const bool startLater = leftToSheet(request.startCellText);
    const bool endLater = leftToSheet(request.endCellText);
    CellRef startCell;
    if (!startLater && !startCell.parse(request.startCellText))
        return tr("您输入的“起始位置”格式有误，请重新输入。");
    CellRef endCell;
    if (!endLater && !endCell.parse(request.endCellText))
        return tr("您输入的“结束位置”格式有误，请重新输入。");
    const qint32 column = columnNumber(request.referColumnText.trimmed());
    if (column == 0)
        return tr("您输入的“分割参考列”格式有误，请重新输入。");
    titleRow = startCell.row;
    endRow = endCell.row;
    referColumn = column;
    if (!startLater && !endLater && endRow <= titleRow && startCell.row >= 1)
        return tr("“结束位置”必须在“起始位置”（标题行）下面，数据区域里没有数据行，请重新输入。");
    return QString();
}

DataArea ColumnSplitJob::usedAreaOf(SheetEntry& sheet)
{
    const int lastRow = sheet.usedRowCount();
    const int lastColumn = sheet.usedColumnCount();
    if (lastRow < 1 || lastColumn < 1)
        return DataArea();
    // The titles in row 1 stay the titles, and every record is inside.
    return DataArea{QStringLiteral("A1"), columnLetters(lastColumn) + QString::number(lastRow)};
}

bool ColumnSplitJob::leftToSheet(const QString& cellText) const
{
    return request.areaFromSheet && cellText.trimmed().isEmpty();
}

bool ColumnSplitJob::areaFilledIn(ExcelOpKiv& book, SheetEntry& source, JobOutcome& refusal)
{
    const bool startLater = leftToSheet(request.startCellText);
    const bool endLater = leftToSheet(request.endCellText);
    if (!startLater && !endLater)
        return true;
    DataArea area = usedAreaOf(source);
    if (area.start.isEmpty()) {
        if (book.officeState() != OfficeState::Working) {
            refusal = outcomeOf(JobOutcome::Kind::Failed, officeLostText(book.officeState()));
            return false;
        }
        // No used cells: the title row alone, with nothing below it.
        area = DataArea{QStringLiteral("A1"), QStringLiteral("A1")};
    }
    if (startLater)
        request.startCellText = area.start;
    if (endLater)
        request.endCellText = area.end;
    const QString problem = formProblem();
    if (problem.isEmpty())
        return true;
    // The user named no end: an area without rows below the title is the sheet's, not a typing slip.
    refusal = endLater && endRow <= titleRow ? noDataRows() : outcomeOf(JobOutcome::Kind::Refused, problem);
    return false;
}

JobOutcome ColumnSplitJob::run(std::unique_ptr<ExcelOpKiv>& link)
{
    const QString problem = formProblem();
    if (!problem.isEmpty())
        return outcomeOf(JobOutcome::Kind::Refused, problem);
    if (!request.filesFolder.isEmpty())
        return splitIntoFiles(link);
    replaceLink(link);
    link->openWorkBook(request.workbookPath);
    link->openSheets(); // reports a workbook that did not open
    JobOutcome outcome;
    if (!link->hasWorkbook())
        outcome = outcomeOf(JobOutcome::Kind::Failed, QString());
    else if (link->isReadOnly())
        outcome = outcomeOf(JobOutcome::Kind::Refused, readOnlyText(request.workbookPath));
    else
        outcome = splitInOpenWorkbook(*link);
    link.reset();
    return outcome;
}

// Everything refused here is refused before the workbook changes.
bool ColumnSplitJob::refused(ExcelOpKiv& book, JobOutcome& refusal)
{
    SheetEntry* source = book.findSheet(request.sheetName);
    if (!source && book.officeState() != OfficeState::Working) {
        refusal = outcomeOf(JobOutcome::Kind::Failed, officeLostText(book.officeState()));
        return true;
    }
    if (!source) {
        refusal =
            outcomeOf(JobOutcome::Kind::Refused,
                      tr("文件中没有名为“%1”的Sheet表，请重新导入文件并选择要处理的Sheet表。").arg(request.sheetName));
        return true;
    }
    if (!areaFilledIn(book, *source, refusal))
        return true;
    // The new sheets are copies of the source, protected as it is: their rows could not go.
    if (source->isProtected()) {
        refusal = outcomeOf(JobOutcome::Kind::Refused,
                            tr("“%1”表受工作表保护，新Sheet表里的行无法删除，请先撤销工作表保护。文件没有改动。")
                                .arg(request.sheetName));
        return true;
    }
    if (book.isStructureProtected()) {
        refusal = outcomeOf(JobOutcome::Kind::Refused,
                            tr("工作簿的结构受保护，无法添加新的Sheet表，请先撤销工作簿保护。文件没有改动。"));
        return true;
    }
    const QString outside = areaOutsideSheet(*source);
    if (!outside.isEmpty()) {
        refusal = outcomeOf(JobOutcome::Kind::Refused, outside);
        return true;
    }
    // Nothing below the title row: there is nothing to split, and the workbook stays as it is.
    const int lastUsedRow = source->usedRowCount();
    if (lastUsedRow <= titleRow && book.officeState() == OfficeState::Working) {
        refusal = noDataRows();
        return true;
    }
    return false;
}

JobOutcome ColumnSplitJob::noDataRows() const
{
    return outcomeOf(JobOutcome::Kind::Refused,
                     tr("“%1”表在标题行（第%2行）下面没有数据行，没有可以分割的内容，文件没有改动。")
                         .arg(request.sheetName)
                         .arg(titleRow));
}

JobOutcome ColumnSplitJob::splitInOpenWorkbook(ExcelOpKiv& book)
{
    const QString& path = request.workbookPath;
    JobOutcome refusal;
    if (refused(book, refusal))
        return refusal;

    // Formulas the split does not change keep Excel's results, through the save.
    const SavedResultsKept keptResults(book);
    // The run's dialog stays up through the save, which takes seconds on a long sheet.
    RunProgressHold dialogThroughSave;
    ColumnSplitRun run(book, runSettings());
    const ColumnSplitRun::Outcome outcome = run.run();
    const OfficeState office = book.officeState();
    if (office != OfficeState::Working)
        return outcomeOf(JobOutcome::Kind::Failed, officeLostText(office));
    if (outcome == ColumnSplitRun::Outcome::Finished && run.valuesFound() == 0)
        return noDataRows();
    if (outcome == ColumnSplitRun::Outcome::Failed) {
        SheetEntry* stillThere = book.findSheet(request.sheetName);
        if (stillThere && stillThere->isProtected())
            return outcomeOf(JobOutcome::Kind::Failed,
                             tr("处理时出错：工作表受保护，新Sheet表里的行没能删除，已停止处理，文件没有改动。"));
        return outcomeOf(JobOutcome::Kind::Failed, tr("处理时出错：电子表格程序拒绝删除新Sheet表里的行（例如要删除的行"
                                                      "穿过数组公式），已停止处理，文件没有改动。"));
    }
    const WorkSave work{path, request.resultPath, request.onLoss, request.keepBackup};
    ResultSave save;
    QString notice;
    JobOutcome failure;
    if (!ResultSaver::saveWork(book, work, dialogThroughSave, save, notice, failure))
        return failure;
    JobOutcome saved = finishedOutcome(run, outcome, save.savedPath);
    if (!notice.isEmpty())
        saved.messages.append(notice);
    return saved;
}

JobOutcome ColumnSplitJob::finishedOutcome(const ColumnSplitRun& run, ColumnSplitRun::Outcome outcome,
                                           const QString& path) const
{
    JobOutcome saved;
    saved.written.append(path);
    if (outcome == ColumnSplitRun::Outcome::Cancelled) {
        saved.kind = JobOutcome::Kind::Cancelled;
        saved.messages.append(tr("注意：还没处理完毕，您已退出，但部分处理结果已经保存在目录文件内了。"));
        saved.messages += notes(run.cellsKeptAsValues(), 0);
        return saved;
    }
    if (!run.valuesWithoutSheet().isEmpty()) {
        QStringList quoted;
        for (const QString& value : run.valuesWithoutSheet())
            quoted.append(QStringLiteral("“%1”").arg(value));
        saved.kind = JobOutcome::Kind::Failed;
        //: Between the values of a list.
        const QString separator = tr("、");
        saved.messages.append(tr("没有全部处理完毕：以下值没能生成新的Sheet表：%1。其余结果已经保存在%2内。")
                                  .arg(quoted.join(separator), path));
        saved.messages += notes(run.cellsKeptAsValues(), run.emptyRowsLeftOut());
        return saved;
    }
    saved.kind = JobOutcome::Kind::Done;
    saved.messages.append(tr("处理完毕请打开%1查看。").arg(path));
    saved.messages += notes(run.cellsKeptAsValues(), run.emptyRowsLeftOut());
    return saved;
}

ColumnSplitSettings ColumnSplitJob::runSettings() const
{
    ColumnSplitSettings settings{request.sheetName, titleRow, endRow, referColumn, request.deleteReferColumn};
    settings.keepBrokenFormulas = request.keepBrokenFormulas;
    return settings;
}

QStringList ColumnSplitJob::notes(int cellsKeptAsValues, int emptyRows) const
{
    const bool intoFiles = !request.filesFolder.isEmpty();
    QStringList lines;
    if (cellsKeptAsValues > 0)
        lines.append(
            intoFiles ? tr("文件里有%n个单元格的公式引用的内容不在该文件里（会显示#REF!），已保留为原来显示的值。",
                           nullptr, cellsKeptAsValues)
                      : tr("新Sheet表里有%n个单元格的公式引用的内容不在该表里（会显示#REF!），已保留为原来显示的值。",
                           nullptr, cellsKeptAsValues));
    if (emptyRows > 0)
        lines.append(intoFiles ? tr("数据区域里有%n行整行为空，不分到任何文件。", nullptr, emptyRows)
                               : tr("数据区域里有%n行整行为空，不分到任何新Sheet表。", nullptr, emptyRows));
    return lines;
}

QString ColumnSplitJob::areaOutsideSheet(SheetEntry& source) const
{
    const int rowLimit = source.rowLimit();
    const auto outsideRows = [rowLimit](int row) { return row < 1 || (rowLimit > 0 && row > rowLimit); };
    if (outsideRows(titleRow))
        return tr("您输入的“起始位置”不在工作表的行范围（1到%1）内，请重新输入。").arg(rowLimit);
    if (outsideRows(endRow))
        return tr("您输入的“结束位置”不在工作表的行范围（1到%1）内，请重新输入。").arg(rowLimit);
    const int columnLimit = source.columnLimit();
    if (columnLimit > 0 && referColumn > columnLimit)
        return tr("您输入的“分割参考列”超出了工作表的最后一列%1，请重新输入。").arg(columnLetters(columnLimit));
    return QString();
}
