#include "fileformat/containercheck.h"

#include "fileformat/compoundfile.h"
#include "fileformat/zipdirectory.h"
#include "fileformat/whynot.h"
#include "fileformat/zlibcalls.h"

#include <QByteArray>

#include <cstring>

namespace ContainerCheck {

namespace {

// The checksum and size of an entry's data once unpacked; false when it does not unpack.
bool unpackedCrc(const uchar* data, quint64 size, int method, quint32& crc, quint64& unpacked)
{
    const Zlib& z = Zlib::get();
    crc = quint32(z.checksum(0, nullptr, 0));
    unpacked = 0;
    if (method == 0) {
        for (quint64 done = 0; done < size;) {
            const uInt chunk = uInt(qMin<quint64>(size - done, 1u << 30));
            crc = quint32(z.checksum(crc, data + done, chunk));
            done += chunk;
        }
        unpacked = size;
        return true;
    }
    z_stream stream;
    if (!z.startRawInflate(stream))
        return false;
    QByteArray out(1 << 16, Qt::Uninitialized);
    quint64 offered = 0;
    int result = Z_OK;
    while (result == Z_OK) {
        if (stream.avail_in == 0 && offered < size) {
            const uInt chunk = uInt(qMin<quint64>(size - offered, 1u << 30));
            stream.next_in = const_cast<Bytef*>(data + offered);
            stream.avail_in = chunk;
            offered += chunk;
        }
        stream.next_out = reinterpret_cast<Bytef*>(out.data());
        stream.avail_out = uInt(out.size());
        result = z.step(&stream, Z_NO_FLUSH);
        const uInt produced = uInt(out.size()) - stream.avail_out;
        crc = quint32(z.checksum(crc, reinterpret_cast<const Bytef*>(out.constData()), produced));
        unpacked += produced;
        if (result == Z_BUF_ERROR && stream.avail_in == 0 && offered == size)
            break; // the data ended before the stream did
        if (result == Z_BUF_ERROR)
            result = Z_OK;
    }
    z.endInflate(&stream);
    return result == Z_STREAM_END;
}

} // namespace

bool isWholeZip(const uchar* file, quint64 size, QString* why)
{
    if (size < ZipDirectory::kDirectoryEndSize)
        return failed(why, QStringLiteral("too short for a zip"));
    ZipDirectory::End end = ZipDirectory::findEnd(file, size);
    if (end.at < 0)
        return failed(why, QStringLiteral("no end of the central directory"));
    if (end.overflowed() && !ZipDirectory::readZip64End(file, end, why))
        return false;
    const quint64 directoryOffset = end.offset;
    const quint64 directoryEnd = end.directoryEnd;
    if (directoryOffset > directoryEnd || directoryEnd - directoryOffset != end.size)
        return failed(why, QStringLiteral("the central directory is not where the end record says"));
    const bool checksums = Zlib::get().usable();
    quint64 at = directoryOffset;
    for (quint64 n = 0; n < end.entries; ++n) {
        ZipDirectory::Header header;
        if (!ZipDirectory::readHeader(file, at, directoryEnd, header))
            return failed(why, QStringLiteral("entry %1 of the central directory is damaged").arg(n));
        if (header.next > directoryEnd)
            return failed(why, QStringLiteral("entry %1 runs past the central directory").arg(n));
        if (!ZipDirectory::readZip64Extra(file, header))
            return failed(why, QStringLiteral("a zip64 field is short"));
        const quint64 local = header.localOffset;
        if (!ZipDirectory::isLocalHeader(file, local, directoryOffset))
            return failed(why, QStringLiteral("entry %1 has no local header").arg(n));
        const quint64 nameLength = header.nameLength;
        if (ZipDirectory::localNameLength(file, local) != nameLength
            || std::memcmp(file + local + ZipDirectory::kLocalHeaderSize, file + header.nameAt,
                           size_t(qMin(nameLength, directoryOffset - local - ZipDirectory::kLocalHeaderSize)))
                   != 0)
            return failed(why, QStringLiteral("entry %1 is not the one its local header names").arg(n));
        const quint64 data = ZipDirectory::localDataStart(file, local);
        if (data > directoryOffset || directoryOffset - data < header.packedSize)
            return failed(why, QStringLiteral("entry %1 runs past the data area").arg(n));
        if (header.method != 0 && header.method != 8)
            return failed(why, QStringLiteral("entry %1 is packed in an unknown way").arg(n));
        if (header.method == 0 && header.packedSize != header.size)
            return failed(why, QStringLiteral("stored entry %1 has two sizes").arg(n));
        if (checksums) {
            quint32 actualCrc = 0;
            quint64 actualSize = 0;
            if (!unpackedCrc(file + data, header.packedSize, header.method, actualCrc, actualSize)
                || actualCrc != header.crc || actualSize != header.size)
                return failed(why, QStringLiteral("entry %1 does not unpack to its size and checksum").arg(n));
        }
        at = header.next;
    }
    if (at != directoryEnd)
        return failed(why, QStringLiteral("the central directory holds more than its entries"));
    return true;
}

bool isWholeCompound(const uchar* file, quint64 size, QString* why)
{
    CompoundFile compound;
    if (!compound.open(file, size, why))
        return false;
    for (const CompoundFile::Entry& entry : compound.entries()) {
        if (entry.type != CompoundFile::Stream && entry.type != CompoundFile::Root)
            continue;
        if (compound.isSmall(entry) || entry.size == 0)
            continue; // small streams lie inside the root's, checked with it
        if (!compound.hasWholeChain(entry))
            return failed(why, QStringLiteral("a stream of the compound file is cut short"));
    }
    return true;
}

} // namespace ContainerCheck
