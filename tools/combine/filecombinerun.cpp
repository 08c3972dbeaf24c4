#include "tools/combine/filecombinerun.h"

#include "common/runprogress.h"
#include "excelop/excelopkiv.h"
#include "tools/combine/sheetcombinerun.h"
#include "tools/shared/crosssheetformulas.h"

#include <QFileInfo>

namespace {

// The new workbook's own sheet goes once the copies are in; it must not take a copy's name.
const QString kPlaceholder = QStringLiteral("~kivexcel~");

} // namespace

FileCombineRun::FileCombineRun(ExcelOpKiv& result, std::vector<std::unique_ptr<ExcelOpKiv>>& sources,
                               const QStringList& fileNames, const FileCombineSettings& settings)
    : result(result), sources(sources), fileNames(fileNames), settings(settings)
{}

FileCombineRun::Outcome FileCombineRun::run(const QVector<ResultSheet>& plan)
{
    const QString placeholder = result.sheetCount() > 0 ? result.sheetAt(0)->getSheetName() : QString();
    if (placeholder.isEmpty() || result.renameSheet(placeholder, kPlaceholder).isEmpty())
        return Outcome::Failed;
    if (!settings.keepBrokenFormulas && !valuesKeptInSources())
        return Outcome::Refused;
    QStringList copies;
    const Outcome copied = copiedAcross(plan, copies);
    if (copied != Outcome::Finished)
        return copied;
    if (settings.stack) {
        // The copies were calculated as they came in; the rows copied among them keep those
        // results, and the office measures no row's text while they and the 来源 column go in.
        const SavedResultsKept keptResults(result);
        const Outcome stacked = stackedCopies(plan, copies);
        if (stacked != Outcome::Finished)
            return stacked;
        copies.append(kPlaceholder);
        return result.deleteSheetsForGood(copies) ? Outcome::Finished : Outcome::Failed;
    }
    return result.removeSheet(kPlaceholder) ? Outcome::Finished : Outcome::Failed;
}

// A copy's references to the other sheets of its file would point into that file, and its
// references to other files lose their file. False (refused) for a sheet protected with a
// password, which takes no values.
bool FileCombineRun::valuesKeptInSources()
{
    for (size_t f = 0; f < sources.size(); ++f) {
        ExcelOpKiv& source = *sources.at(f);
        const CrossSheetValues kept = keepValuesOfCrossSheetFormulas(source, source.getSheetNames(), true);
        valuesKept += kept.cells;
        if (!kept.lockedSheets.isEmpty()) {
            refused =
                tr("%1的“%2”表受密码保护，它单元格%3等的公式引用了其他工作表或文件，在新工作簿里无法保留它们的值。"
                   "没有合并，没有写入任何文件。")
                    .arg(QFileInfo(fileNames.value(int(f))).fileName(), kept.lockedSheets.firstKey(),
                         kept.lockedSheets.first());
            return false;
        }
    }
    return true;
}

// Without stacking, each copy takes its place in the result; with it, a working name.
FileCombineRun::Outcome FileCombineRun::copiedAcross(const QVector<ResultSheet>& plan, QStringList& copies)
{
    int total = 0;
    for (const ResultSheet& sheet : plan)
        total += sheet.sources.size();
    RunProgress progress(tr("正在处理中，请不要操作其他Excel文件。"), tr("取消"), 0, total);
    int done = 0;
    for (const ResultSheet& sheet : plan) {
        for (const SourceSheet& source : sheet.sources) {
            const QString wanted = settings.stack ? QStringLiteral("~%1").arg(copies.size() + 1) : sheet.name;
            const QString copy = result.importSheet(*sources.at(size_t(source.file)), source.sheet, wanted);
            if (copy.isEmpty())
                return Outcome::Failed;
            copies.append(copy);
            progress.setValue(++done);
            if (progress.wasCanceled())
                return Outcome::Cancelled;
        }
    }
    return Outcome::Finished;
}

FileCombineRun::Outcome FileCombineRun::stackedCopies(const QVector<ResultSheet>& plan, const QStringList& copies)
{
    int next = 0;
    for (const ResultSheet& sheet : plan) {
        SheetCombineSettings stacking;
        stacking.titleRows = settings.titleRows;
        stacking.alignTitles = settings.alignTitles;
        stacking.sourceColumn = true;
        stacking.keepBrokenFormulas = settings.keepBrokenFormulas;
        stacking.otherSheetsDone = true; // kept where they pointed into their file
        stacking.rowLimit = settings.rowLimit;
        for (const SourceSheet& source : sheet.sources) {
            const QString copy = copies.at(next++);
            stacking.sheets.append(copy);
            stacking.labels.insert(copy, QFileInfo(fileNames.value(source.file)).fileName());
        }
        SheetCombinePlan combined = SheetCombinePlanner::planFor(result, stacking, refused);
        if (!refused.isEmpty())
            return result.officeState() == OfficeState::Working ? Outcome::Refused : Outcome::Failed;
        combined.resultName = sheet.name;
        SheetCombineRun run(result, stacking, combined);
        const SheetCombineRun::Outcome outcome = run.run();
        valuesKept += run.cellsKeptAsValues();
        if (outcome != SheetCombineRun::Outcome::Finished)
            return outcome == SheetCombineRun::Outcome::Cancelled ? Outcome::Cancelled : Outcome::Failed;
    }
    return Outcome::Finished;
}
