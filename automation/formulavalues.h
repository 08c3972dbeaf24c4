#pragma once
// Formulas replaced by the values they show, as Excel's Range.Value = Range.Value does. Only the
// office server includes this header.

#include <com/sun/star/table/XCellRange.hpp>

namespace FormulaValues {

// Every formula cell of the range whose result is a number or a text gets that result as its
// content, its format kept; a formula whose result is an error stays, since an error has no
// value to keep. The number of cells changed.
int keepValues(const ::com::sun::star::uno::Reference<::com::sun::star::table::XCellRange>& range);

} // namespace FormulaValues
