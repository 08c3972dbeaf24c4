#pragma once
// What a workbook package holds beyond its cells, counted from the file itself: a save through
// the office is compared with the file it would replace, so that nothing the user had is lost
// without the user being told.

#include <QMap>
#include <QString>
#include <QStringList>

namespace FeatureInventory {

struct Inventory
{
    bool read = false;         // false for files other than .xlsx, .xlsm, .ods and .xls
    QMap<QString, int> counts; // feature key (see keys()) -> how many
};

// The feature keys, in the order a user is told of them.
QStringList keys();

// The inventory of an .xlsx, .xlsm, .ods or .xls file.
Inventory of(const QString& path);

// The keys of the features the result holds fewer of than the source; empty when nothing is
// lost or either file was not read. The sheet a workbook opens on is kept by its position.
QStringList lost(const Inventory& source, const Inventory& result);

// Whether losing the feature is worth stopping a save for. The printer driver's own settings
// (tray, duplex: what Excel keeps beside the page setup, which the office keeps) are not: nearly
// every workbook Excel wrote holds them, and the user is told after the save instead.
bool stopsASave(const QString& key);

} // namespace FeatureInventory
