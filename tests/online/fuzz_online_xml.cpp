// libFuzzer entry: any bytes through the download check, as an advertisement list and as an
// update document. None of them may crash, hang or read out of bounds, whatever the maker's site
// (or someone in between) sends.

#include "online/kivadinfo.h"
#include "online/updatedocument.h"
#include "online/xmlguard.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray xml(reinterpret_cast<const char*>(data), int(size));
    (void)isSiteDocument(xml);
    const QList<KivAdInfo> entries = KivAdInfo::listFromXml(xml);
    for (const KivAdInfo& entry : entries)
        (void)entry.isWebLink();
    UpdateDocument document;
    readUpdateDocument(xml, document);
    return 0;
}
