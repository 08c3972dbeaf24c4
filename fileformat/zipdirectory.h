#pragma once
// The records of a zip file held in memory: the end record, the central directory's headers and
// the local headers, each field where the format puts it. What a reader accepts (zip64, several
// disks, damage) is its own choice; only the fixed-size fields read here are checked against the bounds.

#include <QString>

namespace ZipDirectory {

constexpr quint32 kLocalHeader = 0x04034b50;
constexpr quint32 kDirectoryHeader = 0x02014b50;
constexpr quint32 kDirectoryEnd = 0x06054b50;
constexpr quint64 kLocalHeaderSize = 30;
constexpr quint64 kDirectoryHeaderSize = 46;
constexpr quint64 kDirectoryEndSize = 22;

struct End
{
    qint64 at = -1; // where the end record starts; -1 when there is none
    quint16 disk = 0;
    quint16 directoryDisk = 0;
    quint64 entriesOnDisk = 0;
    quint64 entries = 0;
    quint64 size = 0;         // of the central directory
    quint64 offset = 0;       // where the central directory starts
    quint64 directoryEnd = 0; // where it must end: the end record, or zip64's

    // Whether a count or an offset did not fit and stands in the zip64 end record.
    bool overflowed() const { return entries == 0xFFFF || size == 0xFFFFFFFF || offset == 0xFFFFFFFF; }
};

// The end record: the last one, with nothing after its comment.
End findEnd(const uchar* file, quint64 size);

// Takes the counts, size and offset from the zip64 end record the locator before end points to.
// False, with why in *why, when either is missing.
bool readZip64End(const uchar* file, End& end, QString* why);

struct Header
{
    quint16 flags = 0;
    quint16 method = 0; // 0 stored, 8 deflated
    quint16 time = 0;
    quint16 date = 0;
    quint32 crc = 0;
    quint64 packedSize = 0;
    quint64 size = 0;
    quint64 localOffset = 0;
    quint64 nameAt = 0; // where the name starts
    quint16 nameLength = 0;
    quint16 extraLength = 0;
    quint64 next = 0; // where the next header starts
};

// Reads the central header at `at`; false when none starts there or its fixed-size fields run past limit.
bool readHeader(const uchar* file, quint64 at, quint64 limit, Header& header);

// Takes the sizes and the offset that did not fit 32 bits from the header's zip64 extra field;
// false when that field is short.
bool readZip64Extra(const uchar* file, Header& header);

// Whether a local header starts at `at`, its fixed-size fields before limit.
bool isLocalHeader(const uchar* file, quint64 at, quint64 limit);
// The length of the name in the local header at `at`, and where its entry's data starts.
quint16 localNameLength(const uchar* file, quint64 at);
quint64 localDataStart(const uchar* file, quint64 at);

} // namespace ZipDirectory
