#include "tools/splitcolumn/splitvaluekeeper.h"

#include "common/formulatext.h"
#include "excelop/cellref.h"
#include "excelop/excelopkiv.h"
#include "excelop/sheetentry.h"

#include <QMap>

#include <algorithm>

namespace {

bool isFormula(const QString& text)
{
    return text.startsWith(QLatin1Char('=')) || text.startsWith(QLatin1String("{="));
}

// Formulas with references to a table's columns (Table1[Amount], Table1[#All]).
QVector<QPoint> tableFormulasOf(const QList<QStringList>& formulas)
{
    QVector<QPoint> cells;
    for (int r = 0; r < formulas.size(); ++r)
        for (int c = 0; c < formulas.at(r).size(); ++c)
            if (isFormula(formulas.at(r).at(c)) && reachesTableByName(formulas.at(r).at(c)))
                cells.append(QPoint(c + 1, r + 1));
    return cells;
}

QString rangeAddress(int column, int firstRow, int lastRow)
{
    const QString letters = columnLetters(column);
    return letters + QString::number(firstRow) + QLatin1Char(':') + letters + QString::number(lastRow);
}

// Values that go back into a cell as they were shown: numbers, truth values and texts that would
// not be read as numbers. A date would need the workbook's date origin; an error stays one.
bool writesBackAsShown(const QVariant& value)
{
    switch (value.type()) {
    case QVariant::Double:
    case QVariant::Int:
    case QVariant::LongLong:
    case QVariant::Bool:
        return true;
    case QVariant::String: {
        const QString text = value.toString();
        bool number = false;
        text.trimmed().toDouble(&number);
        return !text.isEmpty() && !number && !text.startsWith(QLatin1Char('#'))
               && !text.startsWith(QLatin1String("Err:"));
    }
    default:
        return false;
    }
}

// A formula showing nothing becomes an empty cell, as Excel's Range.Value = Range.Value makes it.
bool showsNothing(const QVariant& value)
{
    return !value.isValid() || (value.type() == QVariant::String && value.toString().isEmpty());
}

// What a formula shows when the office cannot calculate it.
bool isError(const QVariant& value)
{
    if (value.type() != QVariant::String)
        return false;
    const QString text = value.toString();
    return text.startsWith(QLatin1Char('#')) || text.startsWith(QLatin1String("Err:"));
}

} // namespace

SplitValueKeeper::SplitValueKeeper(SheetEntry& source, const QList<QStringList>& formulas, int firstRow, int lastRow,
                                   int removedColumn)
    : firstRow(firstRow), lastRow(lastRow)
{
    if (formulas.isEmpty())
        return;
    lost = std::make_unique<LostReferences>(formulas, source.getSheetName(), firstRow, lastRow, removedColumn);
    tableFormulas = tableFormulasOf(formulas);
    holdsFormulas = true;
    sourceValues = source.usedAreaValues();
}

bool SplitValueKeeper::neededFor(const QVector<int>& keptRows) const
{
    return !tableFormulas.isEmpty() || (lost && !lost->cellsIn(keptRows).isEmpty());
}

bool SplitValueKeeper::keepsRow(int row, const QVector<int>& keptRows) const
{
    return row < firstRow || row > lastRow || std::binary_search(keptRows.cbegin(), keptRows.cend(), row);
}

int SplitValueKeeper::keepValuesIn(ExcelOpKiv& book, SheetEntry& copy, const QVector<int>& keptRows) const
{
    const int restored = restoreWhatTheCopyBroke(copy, keptRows).size();
    if (!lost || !copy.sheet)
        return restored;
    // The source's values, not the copy's: the office leaves a copy's formulas over names without
    // a result (0) until they are calculated, and would calculate them with its own functions.
    SourceCells shown;
    QVector<QPoint> others;
    for (const QPoint& cell : lost->cellsIn(keptRows)) {
        const QVariant value = sourceValues.value(cell.y() - 1).value(cell.x() - 1);
        if (writesBackAsShown(value) || showsNothing(value))
            shown[cell.x()].append({cell.y(), cell});
        else
            others.append(cell);
    }
    return restored + writeSourceValues(copy, shown).size() + keepCopyValues(book, copy, others, keptRows);
}

// What does not go back as shown (an error, which stays one; a date; a text read as a number) is
// kept as the copy shows it once calculated: the copy may hold no result for it.
int SplitValueKeeper::keepCopyValues(ExcelOpKiv& book, SheetEntry& copy, const QVector<QPoint>& cells,
                                     const QVector<int>& keptRows) const
{
    if (cells.isEmpty())
        return 0;
    copy.calculateCells(cells);
    // Each value written makes the office calculate again: few blocks, in one call.
    const QString sheetName = copy.getSheetName();
    const QVector<QRect> blocks = lost->blocksOf(cells, keptRows);
    QList<QPair<QString, QString>> places;
    for (const QRect& block : blocks)
        places.append({sheetName, rangeAddress(block.left(), block.top(), block.bottom())});
    int kept = book.keepValues(places);
    // Inside a block of several rows lie rows about to go: their cells are not counted.
    for (const QRect& block : blocks) {
        if (block.height() < 3)
            continue;
        const QList<QStringList> rows =
            copy.blockFormulas(block.left(), block.top() + 1, block.left(), block.bottom() - 1);
        for (int i = 0; i < rows.size(); ++i)
            if (!keepsRow(block.top() + 1 + i, keptRows) && !isFormula(rows.at(i).value(0)))
                --kept;
    }
    return kept;
}

int SplitValueKeeper::keepValuesAfterCut(SheetEntry& split, const QVector<int>& keptRows) const
{
    if (!lost || !split.sheet)
        return 0;
    const int goneRows = lastRow - firstRow + 1 - keptRows.size();
    SourceCells cells;
    for (const QPoint& cell : lost->cellsIn(keptRows)) {
        int row = cell.y();
        if (row > lastRow) {
            row -= goneRows;
        } else if (row >= firstRow) {
            const auto kept = std::lower_bound(keptRows.cbegin(), keptRows.cend(), row);
            if (kept == keptRows.cend() || *kept != row)
                continue;
            row = firstRow + int(kept - keptRows.cbegin());
        }
        cells[cell.x()].append({row, cell});
    }
    for (QVector<QPair<int, QPoint>>& rows : cells)
        std::sort(rows.begin(), rows.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    return writeSourceValues(split, cells).size();
}

// The office's copy of a sheet miscalculates formulas with references to a table's columns: they
// show #REF!, Err:504 or a wrong count. Those showing another value than in the source get the
// source's, in the rows going too. Only they are calculated: the copy's other formulas keep the
// results Excel saved.
QVector<QPoint> SplitValueKeeper::restoreWhatTheCopyBroke(SheetEntry& copy, const QVector<int>& keptRows) const
{
    if (tableFormulas.isEmpty() || !copy.sheet)
        return {};
    copy.calculateCells(tableFormulas);
    const QList<QVariantList> shown = copy.usedAreaValues();
    SourceCells broken;
    for (const QPoint& cell : tableFormulas) {
        const QVariant before = sourceValues.value(cell.y() - 1).value(cell.x() - 1);
        if (shown.value(cell.y() - 1).value(cell.x() - 1) != before && writesBackAsShown(before))
            broken[cell.x()].append({cell.y(), cell});
    }
    QVector<QPoint> restored;
    for (const QPoint& cell : writeSourceValues(copy, broken))
        if (keepsRow(cell.y(), keptRows))
            restored.append(cell);
    return restored;
}

int SplitValueKeeper::restoreErrorsAfterSplit(SheetEntry& split, const QVector<int>& keptRows, int removedColumn) const
{
    if (!holdsFormulas || !split.sheet)
        return 0;
    const QList<QVariantList> shown = split.usedAreaValues();
    SourceCells broken;
    for (int r = 0; r < shown.size(); ++r) {
        const int row = r + 1;
        const int sourceRow = row < firstRow                     ? row
                              : row - firstRow < keptRows.size() ? keptRows.at(row - firstRow)
                                                                 : lastRow + 1 + row - firstRow - keptRows.size();
        for (int c = 0; c < shown.at(r).size(); ++c) {
            const int column = c + 1;
            const int sourceColumn = removedColumn > 0 && column >= removedColumn ? column + 1 : column;
            const QVariant before = sourceValues.value(sourceRow - 1).value(sourceColumn - 1);
            if (isError(shown.at(r).at(c)) && writesBackAsShown(before))
                broken[column].append({row, QPoint(sourceColumn, sourceRow)});
        }
    }
    return writeSourceValues(split, broken).size();
}

QVector<QPoint> SplitValueKeeper::writeSourceValues(SheetEntry& sheet, const SourceCells& cells) const
{
    QVariantList runs;
    QVector<QVector<QPoint>> cellsOfRun;
    for (auto column = cells.cbegin(); column != cells.cend(); ++column) {
        const QVector<QPair<int, QPoint>>& rows = column.value();
        // A run of rows as one block; all runs in one call.
        for (int k = 0; k < rows.size();) {
            int last = k;
            while (last + 1 < rows.size() && rows.at(last + 1).first == rows.at(last).first + 1)
                ++last;
            QVariantList values;
            QVector<QPoint> runCells;
            for (int i = k; i <= last; ++i) {
                const QPoint source = rows.at(i).second;
                values.append(sourceValues.value(source.y() - 1).value(source.x() - 1));
                runCells.append(QPoint(column.key(), rows.at(i).first));
            }
            runs.append(QVariant(QVariantList{column.key(), rows.at(k).first, values}));
            cellsOfRun.append(runCells);
            k = last + 1;
        }
    }
    const QVector<bool> done = sheet.writeColumnRuns(runs);
    QVector<QPoint> written;
    for (int k = 0; k < done.size(); ++k)
        if (done.at(k))
            written += cellsOfRun.at(k);
    return written;
}
