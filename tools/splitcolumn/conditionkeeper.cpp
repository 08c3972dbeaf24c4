#include "tools/splitcolumn/conditionkeeper.h"

#include "excelop/sheetentry.h"
#include "tools/shared/formulareferences.h"

#include <algorithm>

namespace {

// A reference whose text stays right in a new sheet: to another sheet, to whole columns, to rows
// above the data rows, or to the format's own row.
bool readsTheSame(const Reference& reference, int anchorRow, const QString& sheetName, int firstDataRow)
{
    if (reference.first.sheet != reference.last.sheet)
        return false;
    if (!reference.first.sheet.isEmpty())
        return reference.first.sheet.compare(sheetName, Qt::CaseInsensitive) != 0 && reference.first.sheetAbsolute
               && reference.last.sheetAbsolute;
    if (!reference.first.hasRow || !reference.last.hasRow)
        return !reference.first.hasRow && !reference.last.hasRow;
    if (!reference.first.rowAbsolute && !reference.last.rowAbsolute)
        return reference.first.row == anchorRow && reference.last.row == anchorRow;
    return reference.first.rowAbsolute && reference.last.rowAbsolute
           && qMax(reference.first.row, reference.last.row) < firstDataRow;
}

// -1: the formulas refer to no cells; 1: they read the same in every new sheet; 0: neither.
int howRulesRead(const QVariantList& rules, int anchorRow, const QString& sheetName, const SortedRows& rows,
                 const QSet<QString>& constantNames)
{
    bool referring = false;
    for (const QVariant& rule : rules) {
        for (const QVariant& formula : rule.toList()) {
            QVector<Reference> references;
            // The formats' formulas come without the "=" of a cell's.
            if (!readReferences(QLatin1Char('=') + formula.toString(), references, constantNames))
                return 0;
            for (const Reference& reference : references) {
                referring = true;
                if (!readsTheSame(reference, anchorRow, sheetName, rows.firstRow))
                    return 0;
            }
        }
    }
    return referring ? 1 : -1;
}

struct Block
{
    int top, bottom, left, right;
};

// Whether, in every column, the blocks together hold all data rows or none: a format the office
// or the user cut into pieces counts as a whole.
bool coversAllOrNone(const QVariantList& blocks, const SortedRows& rows)
{
    QVector<Block> read;
    QVector<int> edges;
    for (const QVariant& item : blocks) {
        const QVariantList b = item.toList();
        read.append(Block{b.value(0).toInt(), b.value(1).toInt(), b.value(2).toInt(), b.value(3).toInt()});
        edges << read.last().left << read.last().right + 1;
    }
    std::sort(edges.begin(), edges.end());
    // One column of each stretch between edges stands for the stretch.
    for (int column : edges) {
        QVector<QPair<int, int>> spans;
        for (const Block& block : read)
            if (block.left <= column && column <= block.right)
                spans.append({qMax(block.top, rows.firstRow), qMin(block.bottom, rows.lastRow)});
        std::sort(spans.begin(), spans.end());
        int covered = rows.firstRow - 1; // the data rows covered so far from the first on
        bool any = false;
        for (const QPair<int, int>& span : spans) {
            if (span.first > span.second)
                continue;
            any = true;
            if (span.first <= covered + 1)
                covered = qMax(covered, span.second);
        }
        if (any && covered < rows.lastRow)
            return false;
    }
    return true;
}

} // namespace

ConditionKeeper::ConditionKeeper(SheetEntry& source, const SortedRows& rows, const QSet<QString>& constantNames)
{
    QVariantList read;
    readable = source.conditionFormats(read);
    const QString sheetName = source.getSheetName();
    for (const QVariant& item : read) {
        const QVariantList parts = item.toList();
        Format format{parts.value(0).toInt(), parts.value(1).toInt(), parts.value(3).toList(), false};
        const int reading = howRulesRead(format.rules, format.anchorRow, sheetName, rows, constantNames);
        // Anchored above the first data row, or on it, the anchor stays where it was.
        format.restorable = reading == 1 && format.anchorRow <= rows.firstRow;
        allSortable =
            allSortable && coversAllOrNone(parts.value(2).toList(), rows) && (reading == -1 || format.restorable);
        formats.append(format);
    }
}

int ConditionKeeper::restoreIn(SheetEntry& split) const
{
    bool anyRestorable = false;
    for (const Format& format : formats)
        anyRestorable = anyRestorable || format.restorable;
    QVariantList read;
    if (!anyRestorable || !split.conditionFormats(read))
        return 0;
    // Formats whose cells all went are gone from the new sheet: the others keep their order.
    int restored = 0;
    int next = 0;
    for (const Format& format : formats) {
        for (int k = next; k < read.size(); ++k) {
            const QVariantList parts = read.at(k).toList();
            if (parts.value(0).toInt() != format.anchorRow || parts.value(1).toInt() != format.anchorColumn
                || parts.value(3).toList().size() != format.rules.size())
                continue;
            next = k + 1;
            if (format.restorable && parts.value(3).toList() != format.rules
                && split.setConditionFormulas(k, format.rules))
                ++restored;
            break;
        }
    }
    return restored;
}
