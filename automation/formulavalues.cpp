#include "automation/formulavalues.h"

#include "automation/officevalues.h"
#include "automation/sheetcalculation.h"

#include <com/sun/star/sheet/CellFlags.hpp>
#include <com/sun/star/sheet/FormulaResult.hpp>
#include <com/sun/star/sheet/XCellRangeAddressable.hpp>
#include <com/sun/star/sheet/XCellRangeData.hpp>
#include <com/sun/star/sheet/XCellRangesQuery.hpp>
#include <com/sun/star/sheet/XSheetCellRanges.hpp>
#include <com/sun/star/table/XCell.hpp>
#include <com/sun/star/text/XTextRange.hpp>

#include <QList>
#include <QPair>
#include <QStringList>

#include <vector>

namespace uno = ::com::sun::star::uno;
namespace sheet = ::com::sun::star::sheet;
namespace table = ::com::sun::star::table;
namespace lang = ::com::sun::star::lang;
namespace text = ::com::sun::star::text;
using rtl::OUString;

namespace FormulaValues {

namespace {

// The cells the ranges cover, relative to the range's own top left corner.
QList<QPair<int, int>> cellsOf(const uno::Reference<sheet::XSheetCellRanges>& ranges,
                               const table::CellRangeAddress& within)
{
    QList<QPair<int, int>> cells;
    for (const table::CellRangeAddress& address : ranges->getRangeAddresses())
        for (sal_Int32 row = address.StartRow; row <= address.EndRow; ++row)
            for (sal_Int32 column = address.StartColumn; column <= address.EndColumn; ++column)
                cells.append({int(row - within.StartRow), int(column - within.StartColumn)});
    return cells;
}

struct Snapshot
{
    uno::Reference<table::XCellRange> range;
    uno::Sequence<uno::Sequence<uno::Any>> values;
    QList<QPair<int, int>> formulas;
    QList<QPair<int, int>> errors;
    QList<OUString> errorTexts; // what each of the errors shows
    int cellCount = 0;
};

Snapshot snapshotOf(const uno::Reference<table::XCellRange>& range)
{
    Snapshot snapshot;
    snapshot.range = range;
    const uno::Reference<sheet::XCellRangesQuery> query(range, uno::UNO_QUERY_THROW);
    const table::CellRangeAddress whole =
        uno::Reference<sheet::XCellRangeAddressable>(range, uno::UNO_QUERY_THROW)->getRangeAddress();
    snapshot.formulas = cellsOf(query->queryContentCells(sheet::CellFlags::FORMULA), whole);
    if (snapshot.formulas.isEmpty())
        return snapshot;
    snapshot.values = uno::Reference<sheet::XCellRangeData>(range, uno::UNO_QUERY_THROW)->getDataArray();
    snapshot.errors = cellsOf(query->queryFormulaCells(sheet::FormulaResult::ERROR), whole);
    for (const QPair<int, int>& cell : snapshot.errors)
        snapshot.errorTexts.append(
            uno::Reference<text::XTextRange>(range->getCellByPosition(cell.second, cell.first), uno::UNO_QUERY_THROW)
                ->getString());
    snapshot.cellCount = (whole.EndRow - whole.StartRow + 1) * (whole.EndColumn - whole.StartColumn + 1);
    return snapshot;
}

// An error Excel knows (#N/A, #REF!, ...) becomes a formula of that error alone, as Excel writes
// it; the office's own errors (Err:502) have no such form and keep their formula.
bool keepError(const uno::Reference<table::XCell>& cell, const OUString& shown)
{
    static const QStringList excelErrors{QStringLiteral("#NULL!"), QStringLiteral("#DIV/0!"), QStringLiteral("#VALUE!"),
                                         QStringLiteral("#REF!"),  QStringLiteral("#NAME?"),  QStringLiteral("#NUM!"),
                                         QStringLiteral("#N/A")};
    if (!excelErrors.contains(fromOUString(shown)))
        return false;
    try {
        cell->setFormula("=" + shown);
        return true;
    } catch (const uno::RuntimeException&) {
        throw;
    } catch (const uno::Exception&) {
        return false; // a cell of an array formula keeps its formula
    }
}

// Writes the snapshot's results over its formulas; the cells given an error formula go to
// errorCells, to be calculated.
int writeBack(const Snapshot& snapshot, std::vector<uno::Reference<table::XCellRange>>& errorCells)
{
    if (snapshot.formulas.isEmpty())
        return 0;
    // A block of formulas alone goes in one call; a text constant written back would lose the
    // fonts of its parts, so mixed blocks go cell by cell.
    if (snapshot.errors.isEmpty() && snapshot.formulas.size() == snapshot.cellCount) {
        try {
            uno::Reference<sheet::XCellRangeData>(snapshot.range, uno::UNO_QUERY_THROW)->setDataArray(snapshot.values);
            return snapshot.cellCount;
        } catch (const uno::RuntimeException&) {
            throw;
        } catch (const uno::Exception&) {
            // part of an array formula: cell by cell below, the array's cells stay
        }
    }
    int changed = 0;
    for (const QPair<int, int>& cell : snapshot.formulas) {
        const int error = snapshot.errors.indexOf(cell);
        if (error >= 0) {
            const uno::Reference<table::XCell> errorCell = snapshot.range->getCellByPosition(cell.second, cell.first);
            if (keepError(errorCell, snapshot.errorTexts.at(error))) {
                errorCells.emplace_back(errorCell, uno::UNO_QUERY_THROW);
                ++changed;
            }
            continue;
        }
        uno::Sequence<uno::Any> row(1);
        row.getArray()[0] = snapshot.values[cell.first][cell.second];
        uno::Sequence<uno::Sequence<uno::Any>> single(1);
        single.getArray()[0] = row;
        try {
            uno::Reference<sheet::XCellRangeData>(
                snapshot.range->getCellRangeByPosition(cell.second, cell.first, cell.second, cell.first),
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

} // namespace

int keepValues(const uno::Reference<lang::XComponent>& document, const QList<uno::Reference<table::XCellRange>>& ranges)
{
    QList<Snapshot> snapshots;
    for (const uno::Reference<table::XCellRange>& range : ranges)
        snapshots.append(snapshotOf(range));
    int changed = 0;
    std::vector<uno::Reference<table::XCellRange>> errorCells;
    for (const Snapshot& snapshot : snapshots)
        changed += writeBack(snapshot, errorCells);
    // A formula written while results are kept has none until it is calculated.
    SheetCalculation::calculateCells(document, errorCells);
    return changed;
}

} // namespace FormulaValues
