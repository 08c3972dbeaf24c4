#include "tools/combine/sheetcombineplan.h"

#include "excelop/cellref.h"
#include "excelop/excelopkiv.h"
#include "tools/combine/titlealignment.h"

#include <algorithm>

int SheetCombinePlan::dataRows() const
{
    int rows = 0;
    for (const CombinedPart& part : parts)
        rows += part.rowCount();
    return rows;
}

int SheetCombinePlanner::lastUsedRow(SheetEntry& sheet, int usedColumns)
{
    const int rows = sheet.usedRowCount();
    return rows == 1 && usedColumns == 1 && sheet.getCellValue(1, 1).isEmpty() ? 0 : rows;
}

QString SheetCombinePlanner::resultNameAmong(const QStringList& takenNames)
{
    const QString base = tr("合并");
    QString name = base;
    for (int n = 2; takenNames.contains(name, Qt::CaseInsensitive); ++n)
        name = base + QString::number(n);
    return name;
}

SheetCombinePlan SheetCombinePlanner::planFor(ExcelOpKiv& book, const SheetCombineSettings& settings, QString& problem)
{
    SheetCombinePlan plan;
    plan.titleRows = settings.titleRows;
    QStringList picked;
    QList<QStringList> titles;
    problem = pickedSheets(book, settings, picked);
    if (problem.isEmpty())
        problem = partsRead(book, picked, settings, plan, titles);
    if (problem.isEmpty())
        problem = titlesMatched(titles, settings, plan);
    if (problem.isEmpty())
        problem = sizeChecked(book, settings, plan);
    if (problem.isEmpty() && book.officeState() != OfficeState::Working)
        problem = officeLostText(book.officeState());
    if (!problem.isEmpty())
        return SheetCombinePlan();
    plan.resultName = resultNameAmong(book.getSheetNames());
    return plan;
}

QString SheetCombinePlanner::pickedSheets(ExcelOpKiv& book, const SheetCombineSettings& settings, QStringList& picked)
{
    const QStringList all = book.getSheetNames();
    if (all.isEmpty() && book.officeState() != OfficeState::Working)
        return officeLostText(book.officeState());
    for (const QString& name : settings.sheets)
        if (!book.findSheet(name))
            return tr("文件中没有名为“%1”的Sheet表，请重新选择要合并的Sheet表。文件没有改动。").arg(name);
    // The rows follow the workbook's order of the sheets, whatever order they were named in.
    for (const QString& name : all)
        if (settings.sheets.isEmpty() || settings.sheets.contains(name))
            picked.append(name);
    if (book.isStructureProtected())
        return tr("工作簿的结构受保护，无法添加新的Sheet表，请先撤销工作簿保护。文件没有改动。");
    // The new sheet is a copy of the first, protected as it is: no row could go into it.
    SheetEntry* first = picked.isEmpty() ? nullptr : book.findSheet(picked.first());
    if (first && first->isProtected())
        return tr("“%1”表受工作表保护，合并的行无法写入以它为样板的新表，请先撤销工作表保护。文件没有改动。")
            .arg(settings.labels.value(picked.first(), picked.first()));
    return QString();
}

QString SheetCombinePlanner::partsRead(ExcelOpKiv& book, const QStringList& picked,
                                       const SheetCombineSettings& settings, SheetCombinePlan& plan,
                                       QList<QStringList>& titles)
{
    for (const QString& name : picked) {
        SheetEntry* sheet = book.findSheet(name);
        CombinedPart part;
        part.sheet = name;
        part.label = settings.labels.value(name, name);
        part.columns = sheet ? sheet->usedColumnCount() : 0;
        const int lastRow = sheet ? lastUsedRow(*sheet, part.columns) : 0;
        if (lastRow < 1 || part.columns < 1)
            return book.officeState() != OfficeState::Working
                       ? officeLostText(book.officeState())
                       : tr("“%1”表是空的，没有可以合并的内容，请不要选择它。文件没有改动。").arg(part.label);
        part.firstRow = settings.titleRows + 1;
        part.lastRow = lastRow;
        titles.append(settings.titleRows > 0 ? sheet->readRowTexts(settings.titleRows, 1, part.columns)
                                             : QStringList());
        plan.parts.append(part);
    }
    return QString();
}

QString SheetCombinePlanner::titlesMatched(const QList<QStringList>& titles, const SheetCombineSettings& settings,
                                           SheetCombinePlan& plan)
{
    const TitleAlignment alignment(titles);
    const QVector<QVector<int>> columns = alignment.alignedColumns();
    const TitleDifference difference = alignment.firstDifference();
    if (settings.titleRows > 0 && difference.sheet >= 0 && !settings.alignTitles)
        return tr("“%1”表第%2列（%3列）的标题是“%4”，与第一个表“%5”的“%6”不同，没有合并，文件没有改动。"
                  "要按标题文字对齐各列，请选择“按标题对齐”。")
            .arg(plan.parts.at(difference.sheet).label)
            .arg(difference.column)
            .arg(columnLetters(difference.column), difference.title, plan.parts.first().label, difference.firstTitle);
    const int firstColumns = titles.isEmpty() ? 0 : titles.first().size();
    for (int i = 0; i < plan.parts.size(); ++i) {
        CombinedPart& part = plan.parts[i];
        QVector<int> targets = settings.alignTitles ? columns.value(i) : QVector<int>();
        for (int c = targets.size(); c < part.columns; ++c)
            targets.append(c + 1);
        part.targetColumns = targets;
    }
    if (settings.alignTitles) {
        plan.addedTitles = alignment.combinedTitles().mid(firstColumns);
        plan.firstAddedColumn = firstColumns + 1;
    }
    return QString();
}

QString SheetCombinePlanner::sizeChecked(ExcelOpKiv& book, const SheetCombineSettings& settings,
                                         const SheetCombinePlan& plan)
{
    SheetEntry* first = book.findSheet(plan.parts.first().sheet);
    const int rowLimit = settings.rowLimit > 0 ? settings.rowLimit : first ? first->rowLimit() : 0;
    const qint64 rows = qint64(settings.titleRows) + plan.dataRows();
    if (rowLimit > 0 && rows > rowLimit)
        return tr("合并后共有%1行，超过了这种文件一个Sheet表最多能有的%2行，没有合并，文件没有改动。")
            .arg(rows)
            .arg(rowLimit);
    return QString();
}

QStringList SheetCombinePlanner::planLines(const SheetCombinePlan& plan)
{
    QStringList lines;
    lines.append(tr("新Sheet表“%1”：标题%n行，", nullptr, plan.titleRows).arg(plan.resultName)
                 + tr("数据共%n行。", nullptr, plan.dataRows()));
    for (const CombinedPart& part : plan.parts)
        lines.append(tr("“%1”：%n行", nullptr, part.rowCount()).arg(part.label));
    if (!plan.addedTitles.isEmpty())
        //: Between the items of a list.
        lines.append(tr("按标题对齐后在最后添加的列：%1").arg(plan.addedTitles.join(tr("、"))));
    return lines;
}
