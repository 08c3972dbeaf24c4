#pragma once
// Only the office server's own files include this header.

#include <com/sun/star/sheet/XSpreadsheetDocument.hpp>

#include <QList>
#include <QPair>
#include <QStringList>

namespace OfficeNodes {

// Every name of the workbook with what it refers to ("=0.13", "=$Sheet1.$A$1:$A$3"), as Excel
// lists them: the workbook's own first, then each sheet's as "Sheet1!name".
using NamedRange = QPair<QString, QString>;
QList<NamedRange> namedRanges(
    const ::com::sun::star::uno::Reference<::com::sun::star::sheet::XSpreadsheetDocument>& document);

// The same with the position of the sheet each name's cells are on, after what it refers to.
QList<NamedRange> namedPlaces(
    const ::com::sun::star::uno::Reference<::com::sun::star::sheet::XSpreadsheetDocument>& document);

// The names (without their sheet) whose places differ, or that are gone: an inserted column, or a
// sheet inserted or deleted before their cells, moves what they refer to.
QStringList namesChanged(const QList<NamedRange>& before, const QList<NamedRange>& now);

} // namespace OfficeNodes
