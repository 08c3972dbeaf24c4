#include "testsupport.h"

#include "app/dialogs.h"
#include "automation/axobject.h"
#include "excelop/excelopkiv.h"
#include "online/desktopservices.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <memory>

namespace {

int widestRow(const QList<QStringList>& rows)
{
    int widest = 1;
    for (const QStringList& row : rows)
        widest = std::max(widest, int(row.size()));
    return widest;
}

QVariantList rowsAsValues(const QList<QStringList>& rows, int width)
{
    QVariantList values;
    for (const QStringList& row : rows) {
        QVariantList cells;
        for (int c = 0; c < width; ++c)
            cells.append(row.value(c));
        values.append(QVariant(cells));
    }
    return values;
}

bool fillSheet(AxObject* sheet, const SheetContent& content)
{
    if (!sheet->setProperty("Name", content.name))
        return false;
    if (content.rows.isEmpty())
        return true;
    const int width = widestRow(content.rows);
    const QString address =
        QStringLiteral("A1:%1%2").arg(columnLetters(width)).arg(content.rows.size());
    std::unique_ptr<AxObject> range(sheet->querySubObject("Range(QString)", address));
    return range && range->setProperty("Value", rowsAsValues(content.rows, width));
}

QList<QStringList> valuesAsTexts(const QVariant& value)
{
    QList<QStringList> rows;
    if (value.type() != QVariant::List) {
        rows.append(QStringList{cellValueToText(value)});
        return rows;
    }
    for (const QVariant& row : value.toList()) {
        QStringList texts;
        for (const QVariant& cell : row.toList())
            texts.append(cellValueToText(cell));
        rows.append(texts);
    }
    return rows;
}

} // namespace

void initTestEnvironment()
{
    setDialogsHeadlessForTests();
    KivDesktopServices::setRecording(true);
}

std::unique_ptr<ExcelOpKiv> openedWorkbook(const QString& path)
{
    auto link = std::make_unique<ExcelOpKiv>();
    link->openWorkBook(path);
    link->openSheets();
    return link;
}

QString fixturePath(const QString& name)
{
    return QDir(QStringLiteral(KIVEXCEL_FIXTURES_DIR)).absoluteFilePath(name);
}

QString copyFixture(const QString& name, const QString& folder)
{
    const QString copy = QDir(folder).absoluteFilePath(name);
    QFile::remove(copy);
    QFile::copy(fixturePath(name), copy);
    QFile(copy).setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);
    return copy;
}

bool writeWorkbook(const QString& path, const QList<SheetContent>& sheets)
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
    bool saved = false;
    if (written) {
        QObject::connect(workbook.get(), &AxObject::exception, [&written] { written = false; });
        workbook->dynamicCall("SaveAs(const QString&)", QFileInfo(path).absoluteFilePath());
        saved = written;
    }
    workbook->dynamicCall("Close()");
    return saved;
}

QList<SheetContent> readWorkbook(const QString& path)
{
    QList<SheetContent> sheets;
    AxObject application(QStringLiteral("Excel.Application"));
    std::unique_ptr<AxObject> workbooks(application.querySubObject("WorkBooks"));
    if (!workbooks)
        return sheets;
    workbooks->dynamicCall("Open(const QString&)", QFileInfo(path).absoluteFilePath());
    std::unique_ptr<AxObject> workbook(application.querySubObject("ActiveWorkBook"));
    if (!workbook)
        return sheets;
    std::unique_ptr<AxObject> worksheets(workbook->querySubObject("Worksheets"));
    const int count = worksheets ? worksheets->property("Count").toInt() : 0;
    for (int p = 1; p <= count; ++p) {
        std::unique_ptr<AxObject> sheet(workbook->querySubObject("Worksheets(int)", p));
        std::unique_ptr<AxObject> used(sheet ? sheet->querySubObject("UsedRange") : nullptr);
        if (!used)
            continue;
        sheets.append({sheet->property("Name").toString(), valuesAsTexts(used->property("Value"))});
    }
    workbook->dynamicCall("Close()");
    return sheets;
}

SheetContent sheetNamed(const QList<SheetContent>& sheets, const QString& name)
{
    for (const SheetContent& sheet : sheets) {
        if (sheet.name == name)
            return sheet;
    }
    return SheetContent();
}

QStringList sheetNames(const QList<SheetContent>& sheets)
{
    QStringList names;
    for (const SheetContent& sheet : sheets)
        names.append(sheet.name);
    return names;
}
