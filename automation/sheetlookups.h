#pragma once
// A workbook's sheets looked up: by position, by name, and how far a sheet's used area reaches.

#include "automation/officeconnection.h"
#include "automation/officevalues.h"

#include <com/sun/star/container/XIndexAccess.hpp>
#include <com/sun/star/sheet/XSpreadsheet.hpp>
#include <com/sun/star/sheet/XSpreadsheetDocument.hpp>

#include <QPair>
#include <QString>

namespace OfficeNodes {

using namespace officeuno;

uno::Reference<container::XIndexAccess> sheetIndex(const uno::Reference<sheet::XSpreadsheetDocument>& document);
int sheetPosition(const uno::Reference<sheet::XSpreadsheet>& sheet);
QString sheetName(const uno::Reference<sheet::XSpreadsheet>& sheet);

// The used area of a sheet from A1, as (last column, last row), 0-based.
QPair<int, int> usedAreaEnd(const uno::Reference<sheet::XSpreadsheet>& sheet);

} // namespace OfficeNodes
