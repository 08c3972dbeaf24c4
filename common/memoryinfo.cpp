#include "common/memoryinfo.h"

#include <QFile>

qint64 availableMemoryBytes()
{
    QFile info(QStringLiteral("/proc/meminfo"));
    if (!info.open(QIODevice::ReadOnly))
        return -1;
    while (!info.atEnd()) {
        const QByteArray line = info.readLine().simplified();
        if (line.startsWith("MemAvailable:")) {
            bool number = false;
            const qint64 kib = line.split(' ').value(1).toLongLong(&number);
            return number ? kib * 1024 : -1;
        }
    }
    return -1;
}
