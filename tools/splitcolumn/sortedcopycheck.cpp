#include "tools/splitcolumn/sortedcopycheck.h"

#include "excelop/sheetentry.h"
#include "tools/shared/formulareferences.h"

#include <QVariant>
#include <QVector>

#include <algorithm>
#include <memory>

namespace {

constexpr int kLastRow = 1048576; // a whole column's last row, as far as covering the data rows goes

// The rows a reference end covers once a missing row is taken as the whole column.
QPair<int, int> rowSpan(const Reference& reference)
{
    if (!reference.first.hasRow)
        return {1, kLastRow};
    return {qMin(reference.first.row, reference.last.row), qMax(reference.first.row, reference.last.row)};
}

bool holdsAllOrNone(QPair<int, int> span, const SortedRows& rows)
{
    return span.second < rows.firstRow || span.first > rows.lastRow
           || (span.first <= rows.firstRow && span.second >= rows.lastRow);
}

bool rowsAbsolute(const Reference& reference)
{
    return !reference.first.hasRow || (reference.first.rowAbsolute && reference.last.rowAbsolute);
}

bool referenceKeepsItsCells(const Reference& reference, int row, const QString& sheetName, const SortedRows& rows)
{
    if (reference.first.sheet != reference.last.sheet)
        return false; // across sheets
    const bool inDataRows = row >= rows.firstRow && row <= rows.lastRow;
    if (!reference.first.sheet.isEmpty()) {
        // Another sheet: neither way changes it, unless the formula itself moves in the sort.
        if (reference.first.sheet.compare(sheetName, Qt::CaseInsensitive) == 0 || !reference.first.sheetAbsolute
            || !reference.last.sheetAbsolute)
            return false;
        return !inDataRows || rowsAbsolute(reference);
    }
    if (!inDataRows)
        return holdsAllOrNone(rowSpan(reference), rows);
    if (reference.first.hasRow && !reference.first.rowAbsolute && !reference.last.rowAbsolute)
        return reference.first.row == row && reference.last.row == row; // its own row only
    return rowsAbsolute(reference) && holdsAllOrNone(rowSpan(reference), rows);
}

bool singleCell(const Reference& reference)
{
    return reference.first.hasRow && reference.first.hasColumn && reference.last.hasRow && reference.last.hasColumn
           && reference.first.row == reference.last.row && reference.first.column == reference.last.column;
}

// When the sort updates the references to the cells it moves: a single cell of the sheet is
// followed wherever it goes, as deleting rows follows it; a range is not, so it must hold all
// data rows or none.
bool referenceFollowsItsCells(const Reference& reference, int row, const QString& sheetName, const SortedRows& rows)
{
    if (reference.first.sheet.isEmpty() && reference.last.sheet.isEmpty() && singleCell(reference))
        return true;
    return referenceKeepsItsCells(reference, row, sheetName, rows);
}

} // namespace

namespace {

template <typename Check>
bool everyReference(const QString& formula, const QSet<QString>& constantNames, Check&& check)
{
    QVector<Reference> references;
    if (!readReferences(formula, references, constantNames))
        return false;
    return std::all_of(references.cbegin(), references.cend(), check);
}

} // namespace

bool formulaFollowsReferencesWhenSorted(const QString& formula, int row, const QString& sheetName,
                                        const SortedRows& rows, const QSet<QString>& constantNames)
{
    return everyReference(formula, constantNames, [&](const Reference& reference) {
        return referenceFollowsItsCells(reference, row, sheetName, rows);
    });
}

bool formulaKeepsReferencesWhenSorted(const QString& formula, int row, const QString& sheetName, const SortedRows& rows,
                                      const QSet<QString>& constantNames)
{
    return everyReference(formula, constantNames, [&](const Reference& reference) {
        return referenceKeepsItsCells(reference, row, sheetName, rows);
    });
}

QSet<QString> constantNamesFor(const QHash<QString, QString>& definedNames, const QString& sheetName)
{
    QSet<QString> hiddenBySheet;
    const QString ownPrefix = sheetName.toCaseFolded() + QLatin1Char('!');
    for (auto it = definedNames.cbegin(); it != definedNames.cend(); ++it)
        if (it.key().toCaseFolded().startsWith(ownPrefix))
            hiddenBySheet.insert(it.key().toCaseFolded().mid(ownPrefix.size()));
    QSet<QString> constants;
    for (auto it = definedNames.cbegin(); it != definedNames.cend(); ++it) {
        const QString name = it.key().toCaseFolded();
        QVector<Reference> references;
        if (!name.contains(QLatin1Char('!')) && !hiddenBySheet.contains(name) && readReferences(it.value(), references)
            && references.isEmpty())
            constants.insert(name);
    }
    return constants;
}

bool sortingSplitsLikeDeleting(SheetEntry& entry, const SortedRows& rows, const QSet<QString>& constantNames,
                               const QList<QStringList>* usedAreaFormulas)
{
    if (!entry.sheet || rows.firstRow < 1 || rows.lastRow < rows.firstRow || rows.lastColumn < 1)
        return false;
    if (entry.isProtected(true))
        return false;
    // Notes go with their cells in a sort; drawings stay. Page breaks go back with the rows'
    // looks; conditional formats are for ConditionKeeper to judge.
    if (entry.countOf("Shapes") != 0)
        return false;
    // Merged cells above or below the data rows stay where deleting would leave them; the sort
    // itself refuses merged cells reaching into the rows it sorts.
    if (entry.rowsHoldMergedCells(rows.firstRow, rows.lastRow))
        return false;

    if (!entry.holdsFormulas())
        return true;
    const QList<QStringList> formulas = usedAreaFormulas ? *usedAreaFormulas : entry.usedAreaFormulas();
    if (formulas.isEmpty())
        return false; // the office did not say
    const QString sheetName = entry.getSheetName();
    for (int r = 0; r < formulas.size(); ++r)
        for (const QString& text : formulas.at(r))
            if ((text.startsWith(QLatin1Char('=')) || text.startsWith(QLatin1Char('{')))
                && !formulaFollowsReferencesWhenSorted(text, r + 1, sheetName, rows, constantNames))
                return false;
    return true;
}
