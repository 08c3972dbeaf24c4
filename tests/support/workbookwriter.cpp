#include "workbookwriter.h"

#include "automation/axobject.h"
#include "excelop/sheetentry.h"

#include <QFileInfo>
#include <memory>

namespace {

int widestRow(const QList<QVariantList>& rows)
{
    int widest = 1;
    for (const QVariantList& row : rows)
        widest = std::max(widest, int(row.size()));
    return widest;
}

bool fillSheet(AxObject* sheet, const SheetValues& content)
{
    if (!sheet->setProperty("Name", content.name))
        return false;
    if (content.rows.isEmpty())
        return true;
    const int width = widestRow(content.rows);
    QVariantList values;
    values.reserve(content.rows.size());
    for (QVariantList row : content.rows) {
        while (row.size() < width)
            row.append(QString());
        values.append(QVariant(row));
    }
    const QString address = QStringLiteral("A1:%1%2").arg(columnLetters(width)).arg(content.rows.size());
    std::unique_ptr<AxObject> range(sheet->querySubObject("Range(QString)", address));
    return range && range->setProperty("Value", values);
}

} // namespace

bool writeWorkbookValues(const QString& path, const QList<SheetValues>& sheets)
{
    AxObject application(QStringLiteral("Excel.Application"));
    std::unique_ptr<AxObject> workbooks(application.querySubObject("WorkBooks"));
    std::unique_ptr<AxObject> workbook(workbooks ? workbooks->querySubObject("Add") : nullptr);
    if (!workbook)
        return false;
    bool written = true;
    for (int i = 0; i < sheets.size() && written; ++i) {
        std::unique_ptr<AxObject> worksheets(workbook->querySubObject("Worksheets"));
        while (worksheets && worksheets->property("Count").toInt() <= i)
            delete worksheets->querySubObject("Add");
        std::unique_ptr<AxObject> sheet(workbook->querySubObject("Worksheets(int)", i + 1));
        written = sheet && fillSheet(sheet.get(), sheets.at(i));
    }
    if (written) {
        AxObject* book = workbook.get();
        written = accepted(book, [book, &path] {
            book->dynamicCall("SaveAs(const QString&)", QFileInfo(path).absoluteFilePath());
        });
    }
    workbook->dynamicCall("Close()");
    return written;
}
