#include "tools/workbookimport.h"

#include "common/busycursor.h"
#include "common/dialogs.h"
#include "excelop/excelopkiv.h"

#include <QCoreApplication>

namespace {

bool officeOpensXlsx(const std::unique_ptr<ExcelOpKiv>& link)
{
    if (link)
        return link->isXlsxSupported();
    // The first import starts the office: that is the wait.
    BusyCursor busy;
    return ExcelOpKiv().isXlsxSupported();
}

} // namespace

QString askForWorkbook(QWidget* parent, const char* toolName, const std::unique_ptr<ExcelOpKiv>& link)
{
    const bool xlsx = officeOpensXlsx(link);
    const QString caption = xlsx ? QCoreApplication::translate("WorkbookImport", "请选择Excel文件")
                                 : QCoreApplication::translate("WorkbookImport", "请选择Excel2003文件");
    QString filter = xlsx ? QCoreApplication::translate("WorkbookImport", "Excel Files (*.xls *.xlsx)")
                          : QCoreApplication::translate("WorkbookImport", "Excel Files (*.xls)");
    // The office opens its own format as well; and a file named oddly is still worth a try.
    if (xlsx)
        filter +=
            QStringLiteral(";;") + QCoreApplication::translate("WorkbookImport", "电子表格文件 (*.xls *.xlsx *.ods)");
    filter += QStringLiteral(";;") + QCoreApplication::translate("WorkbookImport", "所有文件 (*)");
    return KivFileDialog::getOpenFileName(parent, caption, filter, QString::fromLatin1(toolName));
}

bool openInNewLink(const QString& path, std::unique_ptr<ExcelOpKiv>& link)
{
    {
        BusyCursor busy;
        replaceLink(link);
        link->openWorkBook(path);
        if (link->hasWorkbook())
            return link->openSheets();
    }
    link->openSheets(); // says why, with the normal cursor back
    return false;
}

QStringList importedSheetNames(QWidget* window, const QString& path, std::unique_ptr<ExcelOpKiv>& link)
{
    const bool opened = openInNewLink(path, link);
    if (opened && link->isReadOnly())
        KivMessageBox::inform(readOnlyAtImportText(path), NoticeKind::Warning, window);
    return opened ? link->getSheetNames() : QStringList();
}

QString readOnlyAtImportText(const QString& path)
{
    return QCoreApplication::translate(
               "WorkbookImport", "%1只能以只读方式打开（所在文件夹不能写入，或文件正被其他程序占用），"
                                 "处理结果将无法保存。请先关闭占用它的程序，或把它复制到可以写入的文件夹后重新导入。")
        .arg(path);
}
