#include "automation/sheetlookups.h"

#include <com/sun/star/container/XNamed.hpp>
#include <com/sun/star/sheet/XCellRangeAddressable.hpp>
#include <com/sun/star/sheet/XSheetCellCursor.hpp>
#include <com/sun/star/sheet/XUsedAreaCursor.hpp>

namespace OfficeNodes {

uno::Reference<container::XIndexAccess> sheetIndex(const uno::Reference<sheet::XSpreadsheetDocument>& document)
{
    return uno::Reference<container::XIndexAccess>(document->getSheets(), uno::UNO_QUERY_THROW);
}

int sheetPosition(const uno::Reference<sheet::XSpreadsheet>& sheet)
{
    return uno::Reference<sheet::XCellRangeAddressable>(sheet, uno::UNO_QUERY_THROW)->getRangeAddress().Sheet;
}

QString sheetName(const uno::Reference<sheet::XSpreadsheet>& sheet)
{
    return fromOUString(uno::Reference<container::XNamed>(sheet, uno::UNO_QUERY_THROW)->getName());
}

QPair<int, int> usedAreaEnd(const uno::Reference<sheet::XSpreadsheet>& sheet)
{
    uno::Reference<sheet::XSheetCellCursor> cursor = sheet->createCursor();
    uno::Reference<sheet::XUsedAreaCursor>(cursor, uno::UNO_QUERY_THROW)->gotoEndOfUsedArea(false);
    const table::CellRangeAddress end =
        uno::Reference<sheet::XCellRangeAddressable>(cursor, uno::UNO_QUERY_THROW)->getRangeAddress();
    return {end.EndColumn, end.EndRow};
}

} // namespace OfficeNodes
