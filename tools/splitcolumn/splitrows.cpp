#include "tools/splitcolumn/splitrows.h"

#include "excelop/sheetentry.h"

#include <algorithm>
#include <memory>

namespace {

// Of the rows (ascending) those without content in any column. Rows below the used area hold
// none; when the office cannot say, no row counts as empty.
QVector<int> entirelyEmptyRows(SheetEntry& sheet, const QVector<int>& rows)
{
    const int lastUsedRow = sheet.usedRowCount();
    const int lastUsedColumn = sheet.usedColumnCount();
    if (rows.isEmpty() || lastUsedRow < 1 || lastUsedColumn < 1)
        return {};
    const int firstRead = rows.first();
    const int lastRead = qMin(rows.last(), lastUsedRow);
    QList<QStringList> contents;
    if (firstRead <= lastRead) {
        contents = sheet.blockFormulas(1, firstRead, lastUsedColumn, lastRead);
        if (contents.size() != lastRead - firstRead + 1)
            return {};
    }
    QVector<int> empty;
    for (int row : rows) {
        const bool blank = row > lastRead
                           || std::all_of(contents.at(row - firstRead).cbegin(), contents.at(row - firstRead).cend(),
                                          [](const QString& cell) { return cell.isEmpty(); });
        if (blank)
            empty.append(row);
    }
    return empty;
}

} // namespace

SplitRows splitRowsOf(SheetEntry& source, int titleRow, int endRow, int referColumn)
{
    const int firstRow = titleRow + 1;
    const QStringList texts = source.readColumnTexts(referColumn, firstRow, endRow);
    // Only a row without a reference value can be empty throughout.
    QVector<int> withoutValue;
    for (int k = 0; k < texts.size(); ++k)
        if (texts.at(k).isEmpty())
            withoutValue.append(firstRow + k);
    SplitRows rows;
    rows.emptyRows = entirelyEmptyRows(source, withoutValue);
    rows.groups = groupRowsByValue(texts, firstRow, rows.emptyRows);
    return rows;
}
