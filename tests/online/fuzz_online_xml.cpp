// libFuzzer entry: any bytes as an advertisement list and as an update document. Neither reader
// may crash, hang or read out of bounds, whatever the maker's site (or someone in between) sends.

#include "online/kivadinfo.h"
#include "online/updatedocument.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray xml(reinterpret_cast<const char*>(data), int(size));
    const QList<KivAdInfo> entries = KivAdInfo::listFromXml(xml);
    for (const KivAdInfo& entry : entries)
        (void)entry.isWebLink();
    UpdateDocument document;
    readUpdateDocument(xml, document);
    return 0;
}
