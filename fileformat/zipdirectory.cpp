#include "fileformat/zipdirectory.h"

#include "fileformat/littleendian.h"
#include "fileformat/whynot.h"

namespace ZipDirectory {

using LittleEndian::u16;
using LittleEndian::u32;
using LittleEndian::u64;

namespace {

constexpr quint32 kZip64Locator = 0x07064b50;
constexpr quint32 kZip64End = 0x06064b50;
constexpr quint64 kLongestComment = 65535;

} // namespace

End findEnd(const uchar* file, quint64 size)
{
    End end;
    if (size < kDirectoryEndSize)
        return end;
    const quint64 lowest = size > kDirectoryEndSize + kLongestComment ? size - kDirectoryEndSize - kLongestComment : 0;
    for (quint64 at = size - kDirectoryEndSize + 1; at-- > lowest;) {
        if (u32(file + at) == kDirectoryEnd && at + kDirectoryEndSize + u16(file + at + 20) == size) {
            end.at = qint64(at);
            break;
        }
    }
    if (end.at < 0)
        return end;
    const uchar* record = file + end.at;
    end.disk = u16(record + 4);
    end.directoryDisk = u16(record + 6);
    end.entriesOnDisk = u16(record + 8);
    end.entries = u16(record + 10);
    end.size = u32(record + 12);
    end.offset = u32(record + 16);
    end.directoryEnd = quint64(end.at);
    return end;
}

bool readZip64End(const uchar* file, End& end, QString* why)
{
    if (end.at < 20 || u32(file + end.at - 20) != kZip64Locator)
        return failed(why, QStringLiteral("no zip64 locator"));
    const quint64 end64 = u64(file + end.at - 20 + 8);
    if (end64 + 56 > quint64(end.at) - 20 || u32(file + end64) != kZip64End)
        return failed(why, QStringLiteral("no zip64 end record"));
    end.entries = u64(file + end64 + 32);
    end.size = u64(file + end64 + 40);
    end.offset = u64(file + end64 + 48);
    end.directoryEnd = end64;
    return true;
}

bool readHeader(const uchar* file, quint64 at, quint64 limit, Header& header)
{
    if (at + kDirectoryHeaderSize > limit || u32(file + at) != kDirectoryHeader)
        return false;
    const uchar* fields = file + at;
    header.flags = u16(fields + 8);
    header.method = u16(fields + 10);
    header.time = u16(fields + 12);
    header.date = u16(fields + 14);
    header.crc = u32(fields + 16);
    header.packedSize = u32(fields + 20);
    header.size = u32(fields + 24);
    header.nameLength = u16(fields + 28);
    header.extraLength = u16(fields + 30);
    header.localOffset = u32(fields + 42);
    header.nameAt = at + kDirectoryHeaderSize;
    header.next = header.nameAt + header.nameLength + header.extraLength + u16(fields + 32);
    return true;
}

bool readZip64Extra(const uchar* file, Header& header)
{
    // The values that did not fit stand in this order, each in 8 bytes.
    const quint64 extraEnd = header.nameAt + header.nameLength + header.extraLength;
    for (quint64 extra = header.nameAt + header.nameLength; extra + 4 <= extraEnd;) {
        const quint16 id = u16(file + extra);
        const quint16 length = u16(file + extra + 2);
        if (id == 0x0001) {
            quint64 field = extra + 4;
            const quint64 fieldEnd = field + length;
            for (quint64* value : {&header.size, &header.packedSize, &header.localOffset}) {
                if (*value != 0xFFFFFFFF)
                    continue;
                if (field + 8 > fieldEnd)
                    return false;
                *value = u64(file + field);
                field += 8;
            }
        }
        extra += 4 + length;
    }
    return true;
}

bool isLocalHeader(const uchar* file, quint64 at, quint64 limit)
{
    return at + kLocalHeaderSize <= limit && u32(file + at) == kLocalHeader;
}

quint16 localNameLength(const uchar* file, quint64 at)
{
    return u16(file + at + 26);
}

quint64 localDataStart(const uchar* file, quint64 at)
{
    return at + kLocalHeaderSize + u16(file + at + 26) + u16(file + at + 28);
}

} // namespace ZipDirectory
