#pragma once
// The formulas of a sheet's conditional formats. Deleting the row a format's formulas are anchored
// to turns their own-row references into #REF! in the office, and a sort renumbers them; the
// column split writes the source's formulas back. Only the office server's files include this.

#include "automation/officeconnection.h"

#include <com/sun/star/sheet/XSpreadsheet.hpp>

#include <QVariantList>

namespace OfficeNodes {

using namespace officeuno;

// One entry per format, in the office's order: [anchor row, anchor column (both 1-based: the
// top left of its cells, which its formulas are relative to), its cell blocks as [top row, bottom
// row, left column, right column], its rules as [formula 1, formula 2] or an invalid value for rules without formulas
// (colour scales, data bars, icon sets, dates)].
QVariantList readConditionFormats(const uno::Reference<sheet::XSpreadsheet>& sheet);

// Gives the rules of the format at that position (0-based) those formulas, as read above; rules
// given an invalid value, and formulas already the same, are left alone.
void writeConditionFormulas(const uno::Reference<sheet::XSpreadsheet>& sheet, int format, const QVariantList& formulas);

} // namespace OfficeNodes
