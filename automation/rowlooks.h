#pragma once
// How rows look: their heights, whether they are shown, whether their height follows their text,
// whether a manual page break comes above them.
// A sort moves cells but leaves these with the row numbers; a copy whose rows were sorted gets
// its rows' looks put back from the list read before. Only the office server's files include this.

#include "automation/officeconnection.h"

#include <com/sun/star/sheet/XSpreadsheet.hpp>

#include <QVariantList>

namespace OfficeNodes {

using namespace officeuno;

// Rows firstRow..lastRow (0-based) in order, each as [height in 1/100 mm, shown, height follows
// the text, manual page break above]. Rows of one height are read as runs: the calls grow with the number of runs, not
// of rows. Without mayHoldBreaks no row has a page break above it: the office lays out every
// page of the sheet to list its breaks.
QVariantList readRowLooks(const uno::Reference<sheet::XSpreadsheet>& sheet, int firstRow, int lastRow,
                          bool mayHoldBreaks = true);

// Gives rows from firstRow (0-based) the looks, in runs of rows that look alike, changing only
// the rows that look otherwise now: as `now` says, or as read when it is empty.
void writeRowLooks(const uno::Reference<sheet::XSpreadsheet>& sheet, int firstRow, const QVariantList& looks,
                   QVariantList now = {}, bool mayHoldBreaks = true);

// Whether some of the looks puts a page break above its row.
bool holdsPageBreak(const QVariantList& looks);

} // namespace OfficeNodes
