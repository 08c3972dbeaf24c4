#include "tools/splitsheets/sheetfilesrun.h"

#include "common/runprogress.h"
#include "excelop/excelopkiv.h"
#include "common/pathutils.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>

#include <sys/stat.h>

bool isSameExistingFile(const QString& first, const QString& second)
{
    const QFileInfo firstInfo(first);
    const QFileInfo secondInfo(second);
    if (!firstInfo.exists() || !secondInfo.exists())
        return false;
    if (firstInfo.canonicalFilePath() == secondInfo.canonicalFilePath())
        return true;
    struct stat firstStat {};
    struct stat secondStat {};
    const QByteArray firstName = QFile::encodeName(first);
    const QByteArray secondName = QFile::encodeName(second);
    return stat(firstName.constData(), &firstStat) == 0 && stat(secondName.constData(), &secondStat) == 0
           && firstStat.st_dev == secondStat.st_dev && firstStat.st_ino == secondStat.st_ino;
}

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
    sheetCount = sheetNames.size();
    RunProgress progress(QCoreApplication::translate("splitExcelFromSheets", "正在处理中，请不要操作其他Excel文件。"), QCoreApplication::translate("splitExcelFromSheets", "取消"), 0, sheetCount * sheetCount);
    for (const QString& name : sheetNames) {
        if (writeSheetFile(name, progress) == Step::Cancelled) {
            progress.close();
            if (outputOpen && !book.saveWorkbook())
                fail(name, QCoreApplication::translate("splitExcelFromSheets", "保存失败"));
            return Outcome::Cancelled;
        }
    }
    progress.close();
    return Outcome::Finished;
}

SheetFilesRun::Step SheetFilesRun::writeSheetFile(const QString& sheetName, RunProgress& progress)
{
    const QString path = outputPathFor(sheetName);
    if (!placeCopyOfTarget(sheetName, path)) {
        skipInspections(sheetCount, progress);
        return progress.wasCanceled() ? Step::Cancelled : Step::Failed;
    }
    book.openWorkBook(path);
    outputOpen = book.hasWorkbook();
    if (!outputOpen) {
        fail(sheetName, QCoreApplication::translate("splitExcelFromSheets", "导出的文件打不开"));
        QFile::remove(path); // a full copy of the target must not pass for the sheet's file
        skipInspections(sheetCount, progress);
        return progress.wasCanceled() ? Step::Cancelled : Step::Failed;
    }
    book.openSheets();
    const Trim trim = keepOnlySheet(sheetName, progress);
    if (trim == Trim::Cancelled)
        return Step::Cancelled;
    if (trim == Trim::Refused) {
        // A file that still holds other sheets is not that sheet's file.
        fail(sheetName, QCoreApplication::translate("splitExcelFromSheets", "其他工作表无法删除（工作簿结构可能受保护）"));
        closeAndRemoveOutput(path);
        return Step::Failed;
    }
    if (!book.saveWorkbook()) {
        fail(sheetName, QCoreApplication::translate("splitExcelFromSheets", "保存失败"));
        QFile::remove(path);
        return Step::Failed;
    }
    if (sheetOfFile.contains(path)) {
        replacedFiles.append(QCoreApplication::translate("splitExcelFromSheets", "“%1”（被“%2”的文件替换）").arg(sheetOfFile.value(path), sheetName));
        writtenFiles.removeAll(path);
    }
    sheetOfFile.insert(path, sheetName);
    writtenFiles.append(path);
    return Step::Done;
}

// Puts a fresh byte copy of the target at the output path; false (reported) when it cannot.
bool SheetFilesRun::placeCopyOfTarget(const QString& sheetName, const QString& path)
{
    if (isSameExistingFile(path, targetPath)) {
        fail(sheetName, QCoreApplication::translate("splitExcelFromSheets", "导出文件就是目标文件本身，目标文件不会被覆盖"));
        return false;
    }
    const QFileInfo existing(path);
    if ((existing.exists() || existing.isSymLink()) && !QFile::remove(path)) {
        fail(sheetName, QCoreApplication::translate("splitExcelFromSheets", "无法替换导出文件夹里的同名文件%1").arg(path));
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

// Deletes every other sheet of the open output file. ExcelOpKiv::deleteSheet would save after
// every deletion and look each sheet up by name; here sheets go by list position, the list is
// rebuilt once and the file saved once.
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

void SheetFilesRun::fail(const QString& sheetName, const QString& reason)
{
    failures.append(QCoreApplication::translate("splitExcelFromSheets", "“%1”：%2").arg(sheetName, reason));
}
