#include "tools/backup.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

QString backupPath(const QFileInfo& workbook, int number)
{
    const QString suffix = workbook.suffix().isEmpty() ? QString() : QStringLiteral(".") + workbook.suffix();
    const QString counter = number > 1 ? QString::number(number) : QString();
    return workbook.dir().filePath(workbook.completeBaseName() + QStringLiteral(".备份") + counter + suffix);
}

} // namespace

QString keepBackupBeside(const QString& workbookPath)
{
    const QFileInfo workbook(workbookPath);
    if (!workbook.isFile())
        return QString();
    int number = 1;
    while (QFileInfo::exists(backupPath(workbook, number)))
        ++number;
    const QString copy = backupPath(workbook, number);
    if (QFile::copy(workbookPath, copy) && QFileInfo(copy).size() == workbook.size())
        return copy;
    QFile::remove(copy);
    return QString();
}

QString backupFailedText(const QString& workbookPath)
{
    return QCoreApplication::translate("Backup", "没能在%1旁边保留原文件的备份（文件夹可能不能写入或磁盘已满），"
                                                 "为了不丢失原文件，处理结果没有保存。")
        .arg(workbookPath);
}
