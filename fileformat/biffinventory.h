#pragma once
// What an .xls workbook (BIFF8 records in a compound file) holds beyond its cells, counted under
// the keys of FeatureInventory, so that a save over an .xls is checked as one over an .xlsx is.

#include <QByteArray>
#include <QMap>
#include <QString>

namespace BiffInventory {

// Adds the features of the .xls file to counts. False when it is no BIFF8 workbook (an Excel 95
// one, an encrypted one, no compound file at all) or is damaged: the counts then mean nothing.
bool count(const QString& path, QMap<QString, int>& counts);

// The same for the records of a workbook stream already taken out of its file.
bool countRecords(const QByteArray& stream, QMap<QString, int>& counts);

} // namespace BiffInventory
