#pragma once
// Pivot tables that show another sheet's cells. A file holding their sheet alone loses the source,
// and the office then writes the table empty; Excel's copy would carry its cache along. Such a
// table can give way to the cells it shows. Only the office server includes this header.

#include "automation/officeconnection.h"

#include <com/sun/star/sheet/XSpreadsheet.hpp>
#include <com/sun/star/sheet/XSpreadsheetDocument.hpp>

#include <QVariantList>

namespace OfficeNodes {

using namespace officeuno;

// The top left cell, [column, row] from 1, of each of the sheet's pivot tables whose source lies
// on another sheet.
QVariantList pivotTablesFromOtherSheets(const uno::Reference<sheet::XSpreadsheet>& sheet);

// Replaces those pivot tables by what they show, values and formats; how many there were.
int keepPivotTablesAsValues(const uno::Reference<sheet::XSpreadsheetDocument>& document,
                            const uno::Reference<sheet::XSpreadsheet>& sheet);

} // namespace OfficeNodes
