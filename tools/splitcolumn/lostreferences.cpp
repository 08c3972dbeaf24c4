#include "tools/splitcolumn/lostreferences.h"

#include "tools/shared/formulareferences.h"

#include <QMap>

#include <algorithm>

namespace {

// The office turns a reference naming the copied sheet into one naming the copy.
bool pointsAtOwnSheet(const Reference& reference, const QString& sheetName)
{
    return reference.first.sheet == reference.last.sheet
           && (reference.first.sheet.isEmpty() || reference.first.sheet.compare(sheetName, Qt::CaseInsensitive) == 0);
}

} // namespace

LostReferences::LostReferences(const QList<QStringList>& formulas, const QString& sheetName, int firstRow, int lastRow,
                               int removedColumn)
    : firstRow(firstRow), lastRow(lastRow)
{
    for (int r = 0; r < formulas.size(); ++r) {
        const QStringList& cells = formulas.at(r);
        for (int c = 0; c < cells.size(); ++c) {
            const QString& text = cells.at(c);
            if (!text.startsWith(QLatin1Char('=')) && !text.startsWith(QLatin1String("{=")))
                continue;
            formulaRows[c + 1].append(r + 1);
            Formula formula{QPoint(c + 1, r + 1), false, {}};
            for (const Reference& reference : readableReferences(text)) {
                if (!pointsAtOwnSheet(reference, sheetName))
                    continue;
                if (removedColumn > 0 && reference.first.hasColumn && reference.first.column == removedColumn
                    && reference.last.column == removedColumn)
                    formula.losesColumn = true;
                const int top = qMin(reference.first.row, reference.last.row);
                const int bottom = qMax(reference.first.row, reference.last.row);
                if (reference.first.hasRow && top >= firstRow && bottom <= lastRow)
                    formula.dataRowSpans.append({top, bottom});
            }
            if (!formula.losesColumn && formula.dataRowSpans.isEmpty())
                continue;
            const int row = r + 1;
            if (row < firstRow)
                above.append(formula);
            else if (row > lastRow)
                below.append(formula);
            else
                inDataRows[row].append(formula);
        }
    }
}

bool LostReferences::loses(const Formula& formula, const QVector<int>& keptRows) const
{
    if (formula.losesColumn)
        return true;
    for (const QPair<int, int>& span : formula.dataRowSpans) {
        const auto kept = std::lower_bound(keptRows.cbegin(), keptRows.cend(), span.first);
        if (kept == keptRows.cend() || *kept > span.second)
            return true;
    }
    return false;
}

QVector<QPoint> LostReferences::cellsIn(const QVector<int>& keptRows) const
{
    QVector<QPoint> cells;
    const auto collect = [&](const QVector<Formula>& formulas) {
        for (const Formula& formula : formulas)
            if (loses(formula, keptRows))
                cells.append(formula.cell);
    };
    collect(above);
    for (int row : keptRows)
        collect(inDataRows.value(row));
    collect(below);
    return cells;
}

// Rows strictly between upper and lower all deleted data rows holding a formula in the column.
bool LostReferences::onlyDeletedFormulasBetween(int column, int upper, int lower, const QVector<int>& keptRows) const
{
    if (lower - upper <= 1)
        return true;
    if (upper + 1 < firstRow || lower - 1 > lastRow)
        return false;
    const auto kept = std::upper_bound(keptRows.cbegin(), keptRows.cend(), upper);
    if (kept != keptRows.cend() && *kept < lower)
        return false;
    const QVector<int> rows = formulaRows.value(column);
    const auto from = std::upper_bound(rows.cbegin(), rows.cend(), upper);
    const auto to = std::lower_bound(rows.cbegin(), rows.cend(), lower);
    return to - from == lower - upper - 1;
}

QVector<QRect> LostReferences::blocksOf(const QVector<QPoint>& cells, const QVector<int>& keptRows) const
{
    QMap<int, QVector<int>> rowsByColumn;
    for (const QPoint& cell : cells)
        rowsByColumn[cell.x()].append(cell.y());
    QVector<QRect> blocks;
    for (auto column = rowsByColumn.cbegin(); column != rowsByColumn.cend(); ++column) {
        QVector<int> rows = column.value();
        std::sort(rows.begin(), rows.end());
        int top = rows.first();
        for (int k = 1; k <= rows.size(); ++k) {
            if (k < rows.size() && onlyDeletedFormulasBetween(column.key(), rows.at(k - 1), rows.at(k), keptRows))
                continue;
            blocks.append(QRect(column.key(), top, 1, rows.at(k - 1) - top + 1));
            if (k < rows.size())
                top = rows.at(k);
        }
    }
    return blocks;
}
