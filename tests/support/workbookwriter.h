#pragma once
// New workbooks written through the automation layer, for the tests and the benchmarks.

#include <QList>
#include <QString>
#include <QVariantList>

struct SheetValues
{
    QString name;
    QList<QVariantList> rows; // row 1 first; each cell a text or a number
};

// Writes a new workbook with these sheets, in this order, in the format of the path's extension
// (.xlsx, .xls, .ods). True when every sheet was filled and the file saved.
bool writeWorkbookValues(const QString& path, const QList<SheetValues>& sheets);
