#pragma once
// Formulas replaced by the values they show, as Excel's Range.Value = Range.Value does. Only the
// office server includes this header.

#include <com/sun/star/lang/XComponent.hpp>
#include <com/sun/star/table/XCellRange.hpp>

#include <QList>

namespace FormulaValues {

// Every formula cell of the ranges whose result is a number or a text gets that result as its
// content, its format kept; one whose result is an error Excel knows becomes that error alone
// (=#N/A), and one showing an error of the office's own keeps its formula. All results are read before any is written:
// a written value makes the office calculate what depends on it again, which for some of Excel's formulas gives another
// result than the one the user saw. The number of cells changed.
int keepValues(const ::com::sun::star::uno::Reference<::com::sun::star::lang::XComponent>& document,
               const QList<::com::sun::star::uno::Reference<::com::sun::star::table::XCellRange>>& ranges);

} // namespace FormulaValues
