#include "automation/rowlooks.h"

#include <com/sun/star/awt/Size.hpp>
#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/container/XIndexAccess.hpp>
#include <com/sun/star/sheet/XCellRangesQuery.hpp>
#include <com/sun/star/sheet/XSheetCellRanges.hpp>
#include <com/sun/star/sheet/XSheetPageBreak.hpp>
#include <com/sun/star/table/CellRangeAddress.hpp>
#include <com/sun/star/table/XColumnRowRange.hpp>
#include <com/sun/star/table/XTableRows.hpp>

#include <algorithm>
#include <cstdlib>
#include <vector>

namespace OfficeNodes {

namespace {

struct RowLook
{
    int height = 0;
    bool shown = true;
    bool fitsText = true;
    bool pageBreak = false; // a manual page break above the row
    bool operator==(const RowLook& other) const
    {
        return height == other.height && shown == other.shown && fitsText == other.fitsText
               && pageBreak == other.pageBreak;
    }
};

uno::Reference<table::XCellRange> rowBlock(const uno::Reference<sheet::XSpreadsheet>& sheet, int top, int bottom)
{
    return uno::Reference<table::XCellRange>(sheet, uno::UNO_QUERY_THROW)->getCellRangeByPosition(0, top, 0, bottom);
}

// The properties of rows: every call goes to the office's process and back, so one row is taken
// from the sheet's list of rows (one call) rather than through a range of its own (four).
class SheetRows
{
public:
    explicit SheetRows(uno::Reference<sheet::XSpreadsheet> sheet) : sheet(std::move(sheet)) {}

    uno::Reference<beans::XPropertySet> of(int top, int bottom)
    {
        if (top != bottom)
            return uno::Reference<beans::XPropertySet>(
                uno::Reference<table::XColumnRowRange>(rowBlock(sheet, top, bottom), uno::UNO_QUERY_THROW)->getRows(),
                uno::UNO_QUERY_THROW);
        if (!all.is())
            all.set(uno::Reference<table::XColumnRowRange>(sheet, uno::UNO_QUERY_THROW)->getRows(),
                    uno::UNO_QUERY_THROW);
        return uno::Reference<beans::XPropertySet>(all->getByIndex(top), uno::UNO_QUERY_THROW);
    }

    const uno::Reference<sheet::XSpreadsheet> sheet;

private:
    uno::Reference<container::XIndexAccess> all;
};

// One row's height and whether it follows its text.
RowLook lookOfRow(SheetRows& rows, int row)
{
    const uno::Reference<beans::XPropertySet> line = rows.of(row, row);
    RowLook look;
    line->getPropertyValue("Height") >>= look.height;
    line->getPropertyValue("OptimalHeight") >>= look.fitsText;
    return look;
}

// Heights of rows top..bottom into looks (from index offset), their being shown already there:
// a block whose size is its first shown row's height times its shown rows is one run; any other
// block is read as its two halves. Hidden rows count nothing in a block's size: each is read alone.
void readHeights(SheetRows& rows, int top, int bottom, int offset, std::vector<RowLook>& looks)
{
    int shownRows = 0;
    int firstShown = -1;
    for (int row = top; row <= bottom; ++row) {
        if (!looks[row - offset].shown)
            continue;
        ++shownRows;
        if (firstShown < 0)
            firstShown = row;
    }
    const auto readHidden = [&] {
        for (int row = top; row <= bottom; ++row)
            if (!looks[row - offset].shown) {
                looks[row - offset] = lookOfRow(rows, row);
                looks[row - offset].shown = false;
            }
    };
    if (shownRows == 0) {
        readHidden();
        return;
    }
    const RowLook first = lookOfRow(rows, firstShown);
    awt::Size size;
    uno::Reference<beans::XPropertySet>(rowBlock(rows.sheet, top, bottom), uno::UNO_QUERY_THROW)
        ->getPropertyValue("Size") >>= size;
    // Heights are kept in finer units than reported: allow the rounding.
    if (std::abs(qint64(first.height) * shownRows - size.Height) <= shownRows / 2 + 1 || shownRows == 1) {
        for (int row = top; row <= bottom; ++row)
            if (looks[row - offset].shown)
                looks[row - offset] = first;
        readHidden();
        return;
    }
    const int middle = top + (bottom - top) / 2;
    readHeights(rows, top, middle, offset, looks);
    readHeights(rows, middle + 1, bottom, offset, looks);
}

// Marks the rows firstRow.. that have a manual page break above them. The office marks its list of
// breaks as an old interface, yet offers no other call that reads it in one go.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
void readPageBreaks(const uno::Reference<sheet::XSpreadsheet>& sheet, int firstRow, std::vector<RowLook>& looks)
{
    const uno::Sequence<sheet::TablePageBreakData> breaks =
        uno::Reference<sheet::XSheetPageBreak>(sheet, uno::UNO_QUERY_THROW)->getRowPageBreaks();
    for (const sheet::TablePageBreakData& pageBreak : breaks) {
        const qint64 at = qint64(pageBreak.Position) - firstRow;
        if (pageBreak.ManualBreak && at >= 0 && at < qint64(looks.size()))
            looks[at].pageBreak = true;
    }
}
#pragma GCC diagnostic pop

RowLook lookFrom(const QVariant& value)
{
    const QVariantList look = value.toList();
    return RowLook{look.value(0).toInt(), look.value(1).toBool(), look.value(2).toBool(), look.value(3).toBool()};
}

} // namespace

QVariantList readRowLooks(const uno::Reference<sheet::XSpreadsheet>& sheet, int firstRow, int lastRow,
                          bool mayHoldBreaks)
{
    if (lastRow < firstRow)
        return {};
    std::vector<RowLook> looks(lastRow - firstRow + 1);
    for (RowLook& look : looks)
        look.shown = false;
    const uno::Sequence<table::CellRangeAddress> shown =
        uno::Reference<sheet::XCellRangesQuery>(rowBlock(sheet, firstRow, lastRow), uno::UNO_QUERY_THROW)
            ->queryVisibleCells()
            ->getRangeAddresses();
    for (const table::CellRangeAddress& block : shown)
        for (int row = block.StartRow; row <= block.EndRow; ++row)
            looks[row - firstRow].shown = true;
    SheetRows rows(sheet);
    readHeights(rows, firstRow, lastRow, firstRow, looks);
    if (mayHoldBreaks)
        readPageBreaks(sheet, firstRow, looks);
    QVariantList result;
    result.reserve(int(looks.size()));
    for (const RowLook& look : looks)
        result.append(QVariant(QVariantList{look.height, look.shown, look.fitsText, look.pageBreak}));
    return result;
}

bool holdsPageBreak(const QVariantList& looks)
{
    return std::any_of(looks.cbegin(), looks.cend(), [](const QVariant& look) { return lookFrom(look).pageBreak; });
}

void writeRowLooks(const uno::Reference<sheet::XSpreadsheet>& sheet, int firstRow, const QVariantList& looks,
                   QVariantList now, bool mayHoldBreaks)
{
    if (now.size() != looks.size())
        now = readRowLooks(sheet, firstRow, firstRow + looks.size() - 1, mayHoldBreaks);
    SheetRows sheetRows(sheet);
    const auto wanted = [&looks](int i) { return lookFrom(looks.at(i)); };
    const auto current = [&now](int i) { return lookFrom(now.value(i)); };
    // Runs of rows that look alike now and are to look alike: only what differs is set, as each
    // setting makes the office lay out the rows or their pages again.
    for (int i = 0; i < looks.size();) {
        const RowLook look = wanted(i);
        const RowLook was = current(i);
        int last = i;
        while (last + 1 < looks.size() && wanted(last + 1) == look && current(last + 1) == was)
            ++last;
        if (!(look == was)) {
            const uno::Reference<beans::XPropertySet> rows = sheetRows.of(firstRow + i, firstRow + last);
            const bool heightDiffers = look.fitsText != was.fitsText || look.height != was.height;
            // A row whose height follows its text gets it from its text again; a hidden row keeps
            // its height, so showing it needs no measuring.
            if (look.fitsText && heightDiffers)
                rows->setPropertyValue("OptimalHeight", uno::Any(true));
            else if (!look.fitsText && heightDiffers)
                rows->setPropertyValue("Height", uno::Any(sal_Int32(look.height)));
            if (look.shown != was.shown)
                rows->setPropertyValue("IsVisible", uno::Any(look.shown));
            if (look.pageBreak != was.pageBreak)
                rows->setPropertyValue("IsStartOfNewPage", uno::Any(look.pageBreak));
        }
        i = last + 1;
    }
}

} // namespace OfficeNodes
