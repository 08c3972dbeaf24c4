#include "automation/formulavalues.h"

#include <com/sun/star/sheet/CellFlags.hpp>
#include <com/sun/star/sheet/FormulaResult.hpp>
#include <com/sun/star/sheet/XCellRangeAddressable.hpp>
#include <com/sun/star/sheet/XCellRangeData.hpp>
#include <com/sun/star/sheet/XCellRangesQuery.hpp>
#include <com/sun/star/sheet/XSheetCellRanges.hpp>

#include <QList>
#include <QPair>

namespace uno = ::com::sun::star::uno;
namespace sheet = ::com::sun::star::sheet;
namespace table = ::com::sun::star::table;

namespace FormulaValues {

namespace {

// The cells the ranges cover, relative to the range's own top left corner.
QList<QPair<int, int>> cellsOf(const uno::Reference<sheet::XSheetCellRanges>& ranges, const table::CellRangeAddress& within)
{
    QList<QPair<int, int>> cells;
    for (const table::CellRangeAddress& address : ranges->getRangeAddresses())
        for (sal_Int32 row = address.StartRow; row <= address.EndRow; ++row)
            for (sal_Int32 column = address.StartColumn; column <= address.EndColumn; ++column)
                cells.append({int(row - within.StartRow), int(column - within.StartColumn)});
    return cells;
}

} // namespace

int keepValues(const uno::Reference<table::XCellRange>& range)
{
    const uno::Reference<sheet::XCellRangesQuery> query(range, uno::UNO_QUERY_THROW);
    const table::CellRangeAddress whole = uno::Reference<sheet::XCellRangeAddressable>(range, uno::UNO_QUERY_THROW)->getRangeAddress();
    const QList<QPair<int, int>> formulas = cellsOf(query->queryContentCells(sheet::CellFlags::FORMULA), whole);
    if (formulas.isEmpty())
        return 0;
    const uno::Reference<sheet::XCellRangeData> data(range, uno::UNO_QUERY_THROW);
    const uno::Sequence<uno::Sequence<uno::Any>> values = data->getDataArray();
    const QList<QPair<int, int>> errors = cellsOf(query->queryFormulaCells(sheet::FormulaResult::ERROR), whole);
    const int cellCount = (whole.EndRow - whole.StartRow + 1) * (whole.EndColumn - whole.StartColumn + 1);
    // A block of formulas alone goes in one call; a text constant written back would lose the
    // fonts of its parts, so mixed blocks go cell by cell.
    if (errors.isEmpty() && formulas.size() == cellCount) {
        try {
            data->setDataArray(values);
            return cellCount;
        } catch (const uno::RuntimeException&) {
            throw;
        } catch (const uno::Exception&) {
            // part of an array formula: cell by cell below, the array's cells stay
        }
    }
    int changed = 0;
    for (const QPair<int, int>& cell : formulas) {
        if (errors.contains(cell))
            continue;
        uno::Sequence<uno::Any> row(1);
        row.getArray()[0] = values[cell.first][cell.second];
        uno::Sequence<uno::Sequence<uno::Any>> single(1);
        single.getArray()[0] = row;
        try {
            uno::Reference<sheet::XCellRangeData>(range->getCellRangeByPosition(cell.second, cell.first, cell.second, cell.first),
                                                  uno::UNO_QUERY_THROW)
                ->setDataArray(single);
            ++changed;
        } catch (const uno::RuntimeException&) {
            throw;
        } catch (const uno::Exception&) {
            // a cell of an array formula keeps its formula
        }
    }
    return changed;
}

} // namespace FormulaValues
