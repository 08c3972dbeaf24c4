#include "tools/shared/sheetfilesrun.h"

#include "common/runprogress.h"
#include "excelop/excelopkiv.h"
#include "tools/shared/crosssheetformulas.h"
#include "common/pathutils.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <optional>

SheetFilesRun::SheetFilesRun(ExcelOpKiv& book, const QString& targetPath, const QString& outputFolder)
    : book(book), targetPath(targetPath), outputFolder(outputFolder)
{
    // The target's own extension, letter case kept: the copies hold the target's format.
    const QString suffix = QFileInfo(targetPath).suffix();
    extension = suffix.isEmpty() ? QString() : QStringLiteral(".") + suffix;
}

QString SheetFilesRun::outputPathFor(const QString& sheetName) const
{
    return joinPath(outputFolder, sanitizeFileName(sheetName) + extension);
}

SheetFilesRun::Outcome SheetFilesRun::run(const QStringList& sheetNames)
{
    wanted = sheetNames;
    book.openSheets();
    // A formula kept as it is may lose what it points at, and must then show #REF!: only without
    // such formulas do the files keep the results the workbook was saved with.
    std::optional<SavedResultsKept> keptResults;
    if (!keepBrokenFormulas)
        keptResults.emplace(book);
    leaveOutLockedSheets(keepValuesFor(wanted));
    const int count = wanted.size();
    RunProgress progress(QCoreApplication::translate("splitExcelFromSheets", "正在处理中，请不要操作其他Excel文件。"),
                         QCoreApplication::translate("splitExcelFromSheets", "取消"), 0, count * count);
    placeholderSheets = book.holdsMacroCodeNames();
    const Step step = undoBringsBackEverySheet() ? writeFilesByHalving(progress) : writeFilesByFullCopies(progress);
    progress.close();
    return step == Step::Cancelled ? Outcome::Cancelled : Outcome::Finished;
}

bool SheetFilesRun::undoBringsBackEverySheet()
{
    for (int i = 0; i < book.sheetCount(); ++i)
        if (book.sheetAt(i)->holdsNotesOrDrawings())
            return false;
    return true;
}

SheetFilesRun::Step SheetFilesRun::writeFilesByHalving(RunProgress& progress)
{
    allSheets = book.getSheetNames();
    targetStamp = book.loadedFileStamp();
    Step step = writeFilesOf(allSheets, progress, false);
    if (step == Step::Stuck) {
        // The workbook in the office no longer holds what the files would need: unless the
        // target itself changed, the simple way makes the files left.
        for (int k = filesDone; k < wanted.size(); ++k) {
            if (changedMeanwhile)
                fail(wanted.at(k),
                     QCoreApplication::translate("splitExcelFromSheets", "目标文件在处理中被其他程序改动了"));
            else
                retryByCopy.append(wanted.at(k));
        }
    }
    if (step == Step::Cancelled)
        keepUnfinishedFile();
    else if (!retryByCopy.isEmpty())
        step = writeRetriesByCopies(progress);
    book.openSheets();
    return step;
}

// What the fast way could not write (a failed undo, a deletion or a save the office refused),
// the simple way tries; only what fails there too is reported.
SheetFilesRun::Step SheetFilesRun::writeRetriesByCopies(RunProgress& progress)
{
    const QStringList sheets = retryByCopy;
    retryByCopy.clear();
    for (const QString& name : sheets) {
        if (writeSheetFileFromCopy(name, progress) == Step::Cancelled) {
            if (outputOpen)
                closeAndRemoveOutput(outputPathFor(name));
            return Step::Cancelled;
        }
    }
    return Step::Done;
}

QStringList SheetFilesRun::wantedAmong(const QStringList& names) const
{
    QStringList found;
    for (const QString& name : names)
        if (wanted.contains(name))
            found.append(name);
    return found;
}

SheetFilesRun::Step SheetFilesRun::writeFilesOf(const QStringList& present, RunProgress& progress, bool restoreAfter)
{
    const QStringList wantedHere = wantedAmong(present);
    if (wantedHere.isEmpty())
        return Step::Done;
    if (present.size() == 1)
        return writeSheetFile(present.first(), progress);
    // One sheet wanted here: everything else goes at once.
    if (wantedHere.size() == 1)
        return writeHalf(present, wantedHere, progress, restoreAfter);
    const int middle = present.size() / 2;
    const QStringList firstHalf = present.mid(0, middle);
    const QStringList secondHalf = present.mid(middle);
    // The second half is made from what the first half's work leaves, so that must be restored.
    const bool secondHalfWanted = !wantedAmong(secondHalf).isEmpty();
    if (secondHalfWanted && !restoreAfter && workbookWhole) {
        // Undoing the deletion of half the whole workbook costs the office more than loading it
        // again.
        const Step first = writeHalf(present, firstHalf, progress, false);
        if (first != Step::Done)
            return first;
        return loadTargetAgain() ? writeHalf(present, secondHalf, progress, false) : Step::Stuck;
    }
    const Step first = writeHalf(present, firstHalf, progress, secondHalfWanted || restoreAfter);
    return first == Step::Done ? writeHalf(present, secondHalf, progress, restoreAfter) : first;
}

// Deletes the sheets of present outside half and writes the files of half; with restoreAfter,
// undoes the deletion afterwards.
SheetFilesRun::Step SheetFilesRun::writeHalf(const QStringList& present, const QStringList& half, RunProgress& progress,
                                             bool restoreAfter)
{
    const QStringList wantedInHalf = wantedAmong(half);
    QStringList others;
    for (const QString& name : present)
        if (!half.contains(name))
            others.append(name);
    if (wantedInHalf.isEmpty())
        return Step::Done;
    if (!restoreAfter) {
        workbookWhole = false;
        if (!book.deleteSheetsForGood(others))
            return Step::Stuck;
        return writeFilesOf(half, progress, false);
    }
    if (!book.deleteSheetsUndoably(others)) {
        if (book.officeState() != OfficeState::Working)
            return Step::Stuck;
        // A file that still held other sheets would not be that sheet's file: the simple way
        // tries those sheets again.
        for (const QString& name : wantedInHalf) {
            retryByCopy.append(name);
            ++filesDone;
            inspections += allSheets.size();
        }
        progress.setValue(inspections);
        return Step::Done;
    }
    const Step step = writeFilesOf(half, progress, true);
    if (step == Step::Stuck)
        return step;
    return book.undoLastStep() ? step : Step::Stuck;
}

CrossSheetValues SheetFilesRun::keepValuesFor(const QStringList& sheets)
{
    if (keepBrokenFormulas)
        return CrossSheetValues();
    // The workbook loaded again, or a copy of its file, takes what its first load found.
    if (valuesFound)
        return keepValuesAgain(book, *valuesFound, sheets);
    valuesFound = keepValuesOfCrossSheetFormulas(book, sheets);
    return *valuesFound;
}

// A file whose formulas would show #REF! where the user saw values is not written.
void SheetFilesRun::leaveOutLockedSheets(const CrossSheetValues& kept)
{
    valuesKept = kept.cells;
    pivotsKept = kept.pivotTables;
    for (auto it = kept.lockedSheets.cbegin(); it != kept.lockedSheets.cend(); ++it) {
        fail(it.key(),
             QCoreApplication::translate("splitExcelFromSheets", "单元格%1等的公式引用了其他工作表，工作表受密码保护，"
                                                                 "无法在单独的文件里保留它们的值")
                 .arg(it.value()));
        wanted.removeAll(it.key());
    }
}

// False when the target cannot be loaded, or is no longer the file the run began with.
bool SheetFilesRun::loadTargetAgain()
{
    if (!book.openWorkBook(targetPath))
        return false;
    workbookWhole = true;
    if (!targetStamp.isEmpty() && book.loadedFileStamp() == targetStamp) {
        book.openSheets();
        keepValuesFor(wanted); // counted on the first load
        return true;
    }
    changedMeanwhile = true;
    return false;
}

SheetFilesRun::Step SheetFilesRun::writeSheetFile(const QString& sheetName, RunProgress& progress)
{
    for (int i = 0; i < allSheets.size(); ++i) {
        progress.setValue(++inspections);
        if (progress.wasCanceled()) {
            cancelledFile = sheetName;
            cancelledAtSheet = i;
            return Step::Cancelled;
        }
    }
    const QString path = outputPathFor(sheetName);
    ++filesDone;
    if (isSameExistingFile(path, targetPath)) {
        fail(sheetName,
             QCoreApplication::translate("splitExcelFromSheets", "导出文件就是目标文件本身，目标文件不会被覆盖"));
        return Step::Done;
    }
    if (!book.saveWorkbookCopyAs(path)) {
        retryByCopy.append(sheetName);
        return Step::Done;
    }
    recordWritten(sheetName, path);
    return Step::Done;
}

void SheetFilesRun::recordWritten(const QString& sheetName, const QString& path)
{
    if (sheetOfFile.contains(path)) {
        replacedFiles.append(QCoreApplication::translate("splitExcelFromSheets", "“%1”（被“%2”的文件替换）")
                                 .arg(sheetOfFile.value(path), sheetName));
        writtenFiles.removeAll(path);
    }
    sheetOfFile.insert(path, sheetName);
    writtenFiles.append(path);
}

// As a cancelled run always did: the file being made is saved with the sheets it still held (the
// sheets before the one looked at last deleted, the rest kept). It is not among the files
// written.
void SheetFilesRun::keepUnfinishedFile()
{
    const QString path = outputPathFor(cancelledFile);
    if (cancelledFile.isEmpty() || isSameExistingFile(path, targetPath))
        return;
    // Sheets deleted for good come back with the target as it is on disk.
    if (!workbookWhole && !loadTargetAgain())
        return;
    QStringList deletedBefore = allSheets.mid(0, cancelledAtSheet);
    deletedBefore.removeAll(cancelledFile);
    if (deletedBefore.isEmpty() || book.deleteSheetsUndoably(deletedBefore))
        book.saveWorkbookCopyAs(path);
}

void SheetFilesRun::fail(const QString& sheetName, const QString& reason)
{
    failures.append(QCoreApplication::translate("splitExcelFromSheets", "“%1”：%2").arg(sheetName, reason));
}

SheetFilesRun::Step SheetFilesRun::writeFilesByFullCopies(RunProgress& progress)
{
    for (const QString& name : wanted) {
        if (writeSheetFileFromCopy(name, progress) == Step::Cancelled) {
            // As a cancelled run always did: the file being cut down keeps the sheets left.
            if (outputOpen && !book.saveWorkbook())
                fail(name, QCoreApplication::translate("splitExcelFromSheets", "保存失败"));
            return Step::Cancelled;
        }
    }
    return Step::Done;
}

SheetFilesRun::Step SheetFilesRun::writeSheetFileFromCopy(const QString& sheetName, RunProgress& progress)
{
    const QString path = outputPathFor(sheetName);
    const int count = wanted.size();
    if (!placeCopyOfTarget(sheetName, path)) {
        skipInspections(count, progress);
        return progress.wasCanceled() ? Step::Cancelled : Step::Failed;
    }
    book.openWorkBook(path);
    outputOpen = book.hasWorkbook();
    if (!outputOpen) {
        fail(sheetName, QCoreApplication::translate("splitExcelFromSheets", "导出的文件打不开"));
        QFile::remove(path); // a full copy of the target must not pass for the sheet's file
        skipInspections(count, progress);
        return progress.wasCanceled() ? Step::Cancelled : Step::Failed;
    }
    book.openSheets();
    keepValuesFor({sheetName}); // counted on the target
    const Trim trim = keepOnlySheet(sheetName, progress);
    if (trim == Trim::Cancelled)
        return Step::Cancelled;
    if (trim == Trim::Refused) {
        // A file that still holds other sheets is not that sheet's file.
        fail(sheetName,
             QCoreApplication::translate("splitExcelFromSheets", "其他工作表无法删除（工作簿结构可能受保护）"));
        closeAndRemoveOutput(path);
        return Step::Failed;
    }
    if (!book.saveWorkbook()) {
        fail(sheetName, QCoreApplication::translate("splitExcelFromSheets", "保存失败"));
        QFile::remove(path);
        return Step::Failed;
    }
    recordWritten(sheetName, path);
    return Step::Done;
}

// Puts a fresh byte copy of the target at the output path; false (reported) when it cannot.
bool SheetFilesRun::placeCopyOfTarget(const QString& sheetName, const QString& path)
{
    if (isSameExistingFile(path, targetPath)) {
        fail(sheetName,
             QCoreApplication::translate("splitExcelFromSheets", "导出文件就是目标文件本身，目标文件不会被覆盖"));
        return false;
    }
    const QFileInfo existing(path);
    if ((existing.exists() || existing.isSymLink()) && !QFile::remove(path)) {
        fail(sheetName,
             QCoreApplication::translate("splitExcelFromSheets", "无法替换导出文件夹里的同名文件%1").arg(path));
        return false;
    }
    if (!QFile::copy(targetPath, path)) {
        fail(sheetName, QCoreApplication::translate("splitExcelFromSheets", "无法写入文件%1").arg(path));
        return false;
    }
    // A read-only target gives a read-only copy, which the office could not save.
    QFile::setPermissions(path, QFile::permissions(path) | QFileDevice::WriteOwner);
    return true;
}

// Deletes every other sheet of the open output file, by list position; the list is rebuilt once.
SheetFilesRun::Trim SheetFilesRun::keepOnlySheet(const QString& sheetName, RunProgress& progress)
{
    const QStringList namesInFile = book.getSheetNames();
    Trim trim = Trim::Done;
    int inspected = 0;
    // Entry i of the list is namesInFile[i] until the list is rebuilt below.
    for (int i = 0; i < namesInFile.size() && trim == Trim::Done; ++i) {
        progress.setValue(++inspections);
        ++inspected;
        if (progress.wasCanceled())
            trim = Trim::Cancelled;
        else if (namesInFile.at(i) != sheetName && !book.deleteSheetAt(i))
            trim = Trim::Refused;
    }
    if (trim == Trim::Refused)
        skipInspections(namesInFile.size() - inspected, progress);
    book.openSheets();
    return trim;
}

void SheetFilesRun::closeAndRemoveOutput(const QString& path)
{
    book.closeWorkbook(); // without saving
    outputOpen = false;
    QFile::remove(path);
}

void SheetFilesRun::skipInspections(int count, RunProgress& progress)
{
    inspections += count;
    progress.setValue(inspections);
}
