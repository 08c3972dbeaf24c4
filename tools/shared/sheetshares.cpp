#include "tools/shared/sheetshares.h"

#include "common/memoryinfo.h"
#include "common/pathutils.h"

#include <QSet>
#include <QThread>

QStringList shareOf(const QStringList& sheets, int share, int shares)
{
    if (shares <= 1)
        return sheets;
    const int base = sheets.size() / shares;
    const int larger = sheets.size() % shares;
    const int first = share * base + qMin(share, larger);
    return sheets.mid(first, base + (share < larger ? 1 : 0));
}

bool fileNamesApart(const QStringList& sheets)
{
    QSet<QString> names;
    for (const QString& sheet : sheets)
        names.insert(sanitizeFileName(sheet).toCaseFolded());
    return names.size() == sheets.size();
}

int officesAffordable(int wanted, int sheetCount, qint64 workbookBytes)
{
    // Below this many sheets a second office's start costs more than it saves.
    constexpr int kFewestSheetsPerOffice = 4;
    // An office with a workbook loaded and a store under way: its base and about thirty times the
    // file (measured on styled Chinese workbooks), with room to spare.
    constexpr qint64 kOfficeBase = 400LL << 20;
    constexpr qint64 kPerFileByte = 40;
    const qint64 available = availableMemoryBytes();
    int offices = qMax(1, qMin(wanted, sheetCount / kFewestSheetsPerOffice));
    if (offices > 1 && available >= 0)
        offices = int(qBound<qint64>(1, available / (kOfficeBase + kPerFileByte * workbookBytes), offices));
    return offices;
}

int officesByDefault(qint64 workbookBytes)
{
    // About 9 s of work for one office (30 styled sheets of 2,000 rows are 3.3 MiB and 30 s);
    // a second office starts and loads it in 3 s.
    constexpr qint64 kSmallestShared = 1LL << 20;
    return workbookBytes >= kSmallestShared ? qBound(1, QThread::idealThreadCount(), 2) : 1;
}

QVariantMap SheetShare::toMap() const
{
    return {{QStringLiteral("sheets"), sheets},
            {QStringLiteral("written"), written},
            {QStringLiteral("notWritten"), notWritten},
            {QStringLiteral("replaced"), replaced},
            {QStringLiteral("cellsKept"), cellsKept},
            {QStringLiteral("pivotsKept"), pivotsKept},
            {QStringLiteral("placeholders"), placeholders},
            {QStringLiteral("cancelled"), cancelled},
            {QStringLiteral("officeLost"), officeLost},
            {QStringLiteral("failure"), failure}};
}

SheetShare SheetShare::fromMap(const QVariantMap& map)
{
    SheetShare share;
    share.sheets = map.value(QStringLiteral("sheets")).toStringList();
    share.written = map.value(QStringLiteral("written")).toStringList();
    share.notWritten = map.value(QStringLiteral("notWritten")).toStringList();
    share.replaced = map.value(QStringLiteral("replaced")).toStringList();
    share.cellsKept = map.value(QStringLiteral("cellsKept")).toInt();
    share.pivotsKept = map.value(QStringLiteral("pivotsKept")).toInt();
    share.placeholders = map.value(QStringLiteral("placeholders")).toBool();
    share.cancelled = map.value(QStringLiteral("cancelled")).toBool();
    share.officeLost = map.value(QStringLiteral("officeLost")).toString();
    share.failure = map.value(QStringLiteral("failure")).toString();
    return share;
}

void SheetShare::add(const SheetShare& other)
{
    sheets += other.sheets;
    reported = reported && other.reported;
    written += other.written;
    notWritten += other.notWritten;
    replaced += other.replaced;
    cellsKept += other.cellsKept;
    pivotsKept += other.pivotsKept;
    placeholders = placeholders || other.placeholders;
    cancelled = cancelled || other.cancelled;
    if (officeLost.isEmpty())
        officeLost = other.officeLost;
    if (failure.isEmpty())
        failure = other.failure;
}
