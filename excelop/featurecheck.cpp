#include "excelop/featurecheck.h"

#include "fileformat/featureinventory.h"

QStringList featuresMissingFromFiles(const QString& sourcePath, const QStringList& writtenPaths)
{
    FeatureInventory::Inventory together;
    for (const QString& path : writtenPaths) {
        const FeatureInventory::Inventory file = FeatureInventory::of(path);
        if (!file.read)
            return QStringList();
        together.read = true;
        for (auto count = file.counts.cbegin(); count != file.counts.cend(); ++count)
            together.counts[count.key()] += count.value();
    }
    return FeatureInventory::lost(FeatureInventory::of(sourcePath), together);
}
