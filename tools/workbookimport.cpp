#include "tools/workbookimport.h"

#include "common/dialogs.h"
#include "excelop/excelopkiv.h"

#include <QCoreApplication>

void replaceLink(std::unique_ptr<ExcelOpKiv>& link)
{
    link.reset();
    link = std::make_unique<ExcelOpKiv>();
}

QString replaceLinkAndAskForWorkbook(QWidget* parent, const char* translationContext,
                                     std::unique_ptr<ExcelOpKiv>& link)
{
    replaceLink(link);
    const bool xlsx = link->isXlsxSupported();
    const QString caption = xlsx ? QCoreApplication::translate(translationContext, "请选择Excel文件")
                                 : QCoreApplication::translate(translationContext, "请选择Excel2003文件");
    const QString filter = xlsx ? QCoreApplication::translate(translationContext, "Excel Files (*.xls *.xlsx)")
                                : QCoreApplication::translate(translationContext, "Excel Files (*.xls)");
    return KivFileDialog::getOpenFileName(parent, caption, filter);
}
