#include "fileformat/compoundfile.h"

#include "fileformat/littleendian.h"
#include "fileformat/whynot.h"

#include <cstring>
#include <limits>

namespace {

constexpr quint32 kEndOfChain = 0xFFFFFFFE;
constexpr quint32 kFree = 0xFFFFFFFF;
constexpr quint64 kSmallSectorSize = 64;
constexpr quint64 kEntrySize = 128;

} // namespace

using LittleEndian::u16;
using LittleEndian::u32;
using LittleEndian::u64;

bool CompoundFile::open(const uchar* bytes, quint64 size, QString* why)
{
    file = bytes;
    fileSize = size;
    fat.clear();
    directory.clear();
    static const uchar signature[8] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};
    if (size < 512 || std::memcmp(file, signature, 8) != 0)
        return failed(why, QStringLiteral("no compound file header"));
    const int shift = u16(file + 0x1E);
    if (u16(file + 0x1C) != 0xFFFE || (shift != 9 && shift != 12))
        return failed(why, QStringLiteral("a compound file header with odd values"));
    sectorSize = quint64(1) << shift;
    if (size < sectorSize)
        return failed(why, QStringLiteral("shorter than its header"));
    sectorCount = (size - sectorSize + sectorSize - 1) / sectorSize;
    const quint64 perSector = sectorSize / 4;

    // The sectors of the allocation table: 109 in the header, the rest in a chain of its own.
    const quint32 fatCount = u32(file + 0x2C);
    if (fatCount == 0 || fatCount > sectorCount)
        return failed(why, QStringLiteral("an allocation table of odd size"));
    QVector<quint32> fatSectors;
    for (quint32 i = 0; i < qMin<quint32>(fatCount, 109); ++i)
        fatSectors.append(u32(file + 0x4C + 4 * i));
    quint32 index = u32(file + 0x44);
    for (quint32 step = 0; quint32(fatSectors.size()) < fatCount; ++step) {
        if (!holds(index, true) || step > sectorCount)
            return failed(why, QStringLiteral("the allocation table's index leaves the file"));
        const uchar* entries = sector(index);
        for (quint64 i = 0; i + 1 < perSector && quint32(fatSectors.size()) < fatCount; ++i)
            fatSectors.append(u32(entries + 4 * i));
        index = u32(entries + 4 * (perSector - 1));
    }
    fat.reserve(int(fatCount * perSector));
    for (quint32 s : fatSectors) {
        if (!holds(s, true))
            return failed(why, QStringLiteral("an allocation table sector lies outside the file"));
        for (quint64 i = 0; i < perSector; ++i)
            fat.append(u32(sector(s) + 4 * i));
    }

    QVector<quint32> directorySectors;
    if (!chain(u32(file + 0x30), directorySectors) || directorySectors.isEmpty())
        return failed(why, QStringLiteral("the directory leaves the file"));
    smallTableStart = u32(file + 0x3C);
    QVector<quint32> smallTable;
    if (smallTableStart != kEndOfChain && !chain(smallTableStart, smallTable))
        return failed(why, QStringLiteral("the small-stream table leaves the file"));
    smallCutoff = u32(file + 0x38);

    for (quint32 s : directorySectors) {
        for (quint64 e = 0; e < sectorSize / kEntrySize; ++e) {
            const uchar* slot = sector(s) + e * kEntrySize;
            Entry entry;
            entry.type = slot[0x42];
            if (entry.type != 0) {
                // The name's length counts its terminating null, in bytes.
                const int characters = qMin<int>(u16(slot + 0x40), 64) / 2 - 1;
                for (int c = 0; c < characters; ++c)
                    entry.name.append(QChar(u16(slot + 2 * c)));
                entry.left = u32(slot + 0x44);
                entry.right = u32(slot + 0x48);
                entry.child = u32(slot + 0x4C);
                entry.start = u32(slot + 0x74);
                // Version 3 files leave the upper half of the size undefined.
                entry.size = shift == 9 ? u32(slot + 0x78) : u64(slot + 0x78);
            }
            directory.append(entry);
        }
    }
    return true;
}

// A chain of sectors inside the file, no loops; with wholeSectors, each one complete.
bool CompoundFile::chain(quint32 first, QVector<quint32>& sectors, bool wholeSectors) const
{
    sectors.clear();
    for (quint32 s = first; s != kEndOfChain; s = fat.value(int(s), kFree)) {
        if (!holds(s, wholeSectors) || int(s) >= fat.size() || quint64(sectors.size()) >= sectorCount)
            return false;
        sectors.append(s);
    }
    return true;
}

bool CompoundFile::holds(quint32 index, bool wholeSector) const
{
    return index < sectorCount && (!wholeSector || (quint64(index) + 2) * sectorSize <= fileSize);
}

const uchar* CompoundFile::bytesAt(quint32 index, quint64 offset, quint64 length) const
{
    const quint64 from = (quint64(index) + 1) * sectorSize + offset;
    return from + length <= fileSize ? file + from : nullptr;
}

QVector<int> CompoundFile::children(int storage) const
{
    QVector<int> found;
    if (storage < 0 || storage >= directory.size())
        return found;
    // The entries of a storage form a tree through left and right; a damaged one may loop.
    QVector<bool> seen(directory.size(), false);
    QVector<quint32> pending{directory.at(storage).child};
    while (!pending.isEmpty()) {
        const quint32 at = pending.takeLast();
        if (at >= quint32(directory.size()) || seen.at(int(at)) || directory.at(int(at)).type == 0)
            continue;
        seen[int(at)] = true;
        found.append(int(at));
        pending << directory.at(int(at)).left << directory.at(int(at)).right;
    }
    return found;
}

int CompoundFile::child(int storage, const QString& name) const
{
    for (int at : children(storage))
        if (directory.at(at).name.compare(name, Qt::CaseInsensitive) == 0)
            return at;
    return -1;
}

bool CompoundFile::isSmall(const Entry& entry) const
{
    return entry.type == Stream && entry.size < smallCutoff;
}

bool CompoundFile::hasWholeChain(const Entry& entry) const
{
    QVector<quint32> sectors;
    return chain(entry.start, sectors) && quint64(sectors.size()) == (entry.size + sectorSize - 1) / sectorSize;
}

bool CompoundFile::read(const Entry& entry, QByteArray& content) const
{
    content.clear();
    if (entry.size > quint64(std::numeric_limits<int>::max()) || entry.size > fileSize)
        return false;
    if (entry.size == 0)
        return true;
    QByteArray bytes(int(entry.size), Qt::Uninitialized);
    // Some writers end the file with the last byte of the last stream, inside its sector.
    const bool wholeSectors = false;
    if (!isSmall(entry)) {
        QVector<quint32> sectors;
        if (!chain(entry.start, sectors, wholeSectors) || quint64(sectors.size()) * sectorSize < entry.size)
            return false;
        for (quint64 done = 0, i = 0; done < entry.size; done += sectorSize, ++i) {
            const quint64 length = qMin(sectorSize, entry.size - done);
            const uchar* from = bytesAt(sectors.at(int(i)), 0, length);
            if (!from)
                return false;
            std::memcpy(bytes.data() + done, from, size_t(length));
        }
        content = bytes;
        return true;
    }
    // Small streams lie in 64-byte pieces of the root's stream, chained by the small-stream table.
    if (directory.isEmpty() || directory.first().type != Root)
        return false;
    QVector<quint32> container;
    QVector<quint32> table;
    if (!chain(directory.first().start, container, wholeSectors) || !chain(smallTableStart, table))
        return false;
    const quint64 containerSize = qMin(directory.first().size, quint64(container.size()) * sectorSize);
    const quint64 perSector = sectorSize / 4;
    quint32 piece = entry.start;
    for (quint64 done = 0; done < entry.size;) {
        const quint64 offset = quint64(piece) * kSmallSectorSize;
        const quint64 length = qMin(kSmallSectorSize, entry.size - done);
        const uchar* from = offset + length <= containerSize
                                ? bytesAt(container.at(int(offset / sectorSize)), offset % sectorSize, length)
                                : nullptr;
        if (!from)
            return false;
        std::memcpy(bytes.data() + done, from, size_t(length));
        done += length;
        if (done < entry.size) {
            if (piece / perSector >= quint64(table.size()))
                return false;
            piece = u32(sector(table.at(int(piece / perSector))) + 4 * (piece % perSector));
        }
    }
    content = bytes;
    return true;
}
