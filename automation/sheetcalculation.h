#pragma once
// Formula results as the user saw them. The office marks formulas changed when a sheet is copied
// or deleted or a column inserted, and with automatic calculation on it calculates them again with
// its own functions, which disagree with Excel's in places (WORKDAY with holidays, EDATE, TEXT
// with some format codes, IRR, table references). A workbook can therefore have automatic
// calculation off while a tool works on them: a formula the office marked changed keeps the result
// the file was saved with, and a store writes that result. Only what the tool asks is calculated.
// Only the office server includes this header.

#include <com/sun/star/lang/XComponent.hpp>
#include <com/sun/star/sheet/XSpreadsheet.hpp>
#include <com/sun/star/table/XCellRange.hpp>

#include <QStringList>

#include <vector>

namespace SheetCalculation {

// With keep, the document's automatic calculation goes off (what the file held no result for is
// calculated first) and rows keep their heights as they are; without, both come back on. A store
// does not record it.
void keepSavedResults(const ::com::sun::star::uno::Reference<::com::sun::star::lang::XComponent>& document, bool keep);
bool keepsSavedResults(const ::com::sun::star::uno::Reference<::com::sun::star::lang::XComponent>& document);

// Calculates the sheet's formulas the office marked changed (and what they take from elsewhere),
// as Excel's Worksheet.Calculate does; the rest of the workbook keeps its results.
void calculate(const ::com::sun::star::uno::Reference<::com::sun::star::lang::XComponent>& document,
               const ::com::sun::star::uno::Reference<::com::sun::star::sheet::XSpreadsheet>& sheet);

// Calculates the sheet's formulas that take from other rows of the sheet (ranges, names, cells of
// other rows, ROW() and the like): after rows were taken out, those give other results in Excel
// too. Formulas over their own row keep their results.
void calculateReachingOtherRows(const ::com::sun::star::uno::Reference<::com::sun::star::lang::XComponent>& document,
                                const ::com::sun::star::uno::Reference<::com::sun::star::sheet::XSpreadsheet>& sheet);

// Calculates the cells (those marked changed, and what they take from).
void calculateCells(const ::com::sun::star::uno::Reference<::com::sun::star::lang::XComponent>& document,
                    const std::vector<::com::sun::star::uno::Reference<::com::sun::star::table::XCellRange>>& cells);

// Calculates the formulas that take from the range, directly or through other formulas, as Excel
// does for the dependents of cells a user wrote.
void calculateDependents(const ::com::sun::star::uno::Reference<::com::sun::star::lang::XComponent>& document,
                         const ::com::sun::star::uno::Reference<::com::sun::star::table::XCellRange>& range);

// While results are kept: calculates the formulas the office compiled again when lines or sheets
// moved, which have no result until they are calculated: those that reach tables by name
// (Table1[Column]), those that lost a reference (#REF!) and those over the names that moved.
// Called before a store.
void calculateRecompiledFormulas(const ::com::sun::star::uno::Reference<::com::sun::star::lang::XComponent>& document,
                                 const QStringList& movedNames);

} // namespace SheetCalculation
