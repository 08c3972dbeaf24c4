#include "tools/splitcolumn/sortedhalving.h"

#include "excelop/excelopkiv.h"

#include <algorithm>
#include <numeric>

SortedHalving::SortedHalving(ExcelOpKiv& book, const QVector<ValueRows>& groups, int sheetGroups,
                             const QVector<int>& starts, int firstDataRow)
    : book(book), groups(groups), sheetGroups(sheetGroups), firstDataRow(firstDataRow), finished(groups.size(), false)
{
    order.resize(groups.size());
    std::iota(order.begin(), order.end(), 0);
    std::sort(order.begin(), order.end(), [&starts](int a, int b) { return starts.at(a) < starts.at(b); });
    // The names as copies made one value after another would get them.
    QStringList taken = book.getSheetNames();
    for (int g = 0; g < sheetGroups; ++g) {
        names.append(uniqueSheetName(groups.at(g).value, taken));
        taken.append(names.last());
    }
}

bool SortedHalving::run(const QString& workName, const QString& sourceName, const FinishSheet& finish,
                        const std::function<bool()>& carryOn)
{
    keepGoing = carryOn;
    workSheets = QStringList{workName};
    workBase = workName;
    const bool cutAll = cut(workName, 0, order.size() - 1, finish);
    removeUnfinished();
    // Copies go before the sheet they copy: sorted in the groups' order, the sheets are in place.
    if (std::is_sorted(order.cbegin(), order.cend()))
        return cutAll || wasCancelled;
    for (int g = 0; g < sheetGroups; ++g)
        if (finished.at(g))
            book.moveSheetBefore(names.at(g), sourceName);
    return cutAll || wasCancelled;
}

int SortedHalving::rowsOf(int low, int high) const
{
    int rows = 0;
    for (int k = low; k <= high; ++k)
        rows += groups.at(order.at(k)).rows.size();
    return rows;
}

// The sheet holds the groups order[low..high], their rows from the first data row on.
bool SortedHalving::cut(const QString& sheet, int low, int high, const FinishSheet& finish)
{
    if (low == high)
        return finishLeaf(sheet, order.at(low), finish);
    if (keepGoing && !keepGoing()) {
        wasCancelled = true;
        return true;
    }
    const int middle = low + (high - low) / 2;
    const int firstRows = rowsOf(low, middle);
    const int secondRows = rowsOf(middle + 1, high);
    const QString copy = book.copySheet(sheet, workBase);
    SheetEntry* copied = copy.isEmpty() ? nullptr : book.findSheet(copy);
    if (!copied)
        return false;
    workSheets.append(copy);
    if (!copied->deleteRowBlocks({{firstDataRow + firstRows, firstDataRow + firstRows + secondRows - 1}}))
        return false;
    SheetEntry* kept = book.findSheet(sheet);
    if (!kept || !kept->deleteRowBlocks({{firstDataRow, firstDataRow + firstRows - 1}}))
        return false;
    return cut(copy, low, middle, finish) && !wasCancelled && cut(sheet, middle + 1, high, finish);
}

bool SortedHalving::finishLeaf(const QString& sheet, int group, const FinishSheet& finish)
{
    if (group >= sheetGroups)
        return true; // the empty rows: the sheet goes with the rest
    const QString given = book.renameSheet(sheet, names.at(group));
    SheetEntry* entry = given.isEmpty() ? nullptr : book.findSheet(given);
    if (!entry || given != names.at(group)) {
        leftOut.append(groups.at(group).value);
        return true;
    }
    workSheets.removeAll(sheet);
    if (!finish(*entry, group)) {
        // Cancelled before the sheet was done: it goes with the rest.
        wasCancelled = true;
        workSheets.append(given);
        return true;
    }
    finished[group] = true;
    return true;
}

void SortedHalving::removeUnfinished()
{
    for (const QString& sheet : workSheets)
        book.removeSheet(sheet);
    workSheets.clear();
}
