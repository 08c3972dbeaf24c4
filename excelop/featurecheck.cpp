#include "excelop/featurecheck.h"

#include "fileformat/featureinventory.h"

namespace {

// The files' features counted together; not read when any file was not.
FeatureInventory::Inventory inventoryOf(const QStringList& paths)
{
    FeatureInventory::Inventory together;
    for (const QString& path : paths) {
        const FeatureInventory::Inventory file = FeatureInventory::of(path);
        if (!file.read)
            return FeatureInventory::Inventory();
        together.read = true;
        for (auto count = file.counts.cbegin(); count != file.counts.cend(); ++count)
            together.counts[count.key()] += count.value();
    }
    return together;
}

} // namespace

QStringList featuresMissingFromFiles(const QString& sourcePath, const QStringList& writtenPaths)
{
    return FeatureInventory::lost(FeatureInventory::of(sourcePath), inventoryOf(writtenPaths));
}

QStringList featuresMissingFromCombined(const QStringList& sourcePaths, const QString& resultPath)
{
    return FeatureInventory::lost(inventoryOf(sourcePaths), FeatureInventory::of(resultPath));
}
