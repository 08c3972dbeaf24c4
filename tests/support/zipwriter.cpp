#include "zipwriter.h"

#include "fileformat/zipdirectory.h"
#include "fileformat/zlibcalls.h"

namespace {

void put16(QByteArray& out, quint16 value)
{
    out.append(char(value & 0xff));
    out.append(char(value >> 8));
}

void put32(QByteArray& out, quint32 value)
{
    put16(out, quint16(value & 0xffff));
    put16(out, quint16(value >> 16));
}

using ZipDirectory::kDirectoryEnd;
using ZipDirectory::kDirectoryHeader;
using ZipDirectory::kLocalHeader;

} // namespace

ZipWriter::ZipWriter(const QString& path) : file(path)
{
    ok = file.open(QIODevice::WriteOnly | QIODevice::Truncate);
}

void ZipWriter::copy(const ZipPackage& package, const ZipPackage::Entry& entry)
{
    writeEntry(entry, package.packed(entry));
}

namespace {

quint32 checksumOf(const QByteArray& data)
{
    const Zlib& z = Zlib::get();
    return quint32(
        z.checksum(z.checksum(0, nullptr, 0), reinterpret_cast<const Bytef*>(data.constData()), uInt(data.size())));
}

} // namespace

void ZipWriter::add(const ZipPackage::Entry& replaced, const QByteArray& data)
{
    ZipPackage::Entry entry = replaced;
    entry.method = 0;
    entry.flags &= 0x0800; // only "the name is UTF-8" stays
    entry.size = entry.packedSize = quint32(data.size());
    entry.crc = checksumOf(data);
    writeEntry(entry, data);
}

void ZipWriter::addDeflated(const QByteArray& name, const QByteArray& data)
{
    // qCompress: 4 bytes of length, a 2-byte zlib header, raw deflate, 4 bytes of Adler-32.
    const QByteArray wrapped = qCompress(data, 6);
    const QByteArray deflated = wrapped.mid(6, wrapped.size() - 10);
    ZipPackage::Entry entry;
    entry.name = name;
    entry.method = 8;
    entry.date = 0x21;
    entry.size = quint32(data.size());
    entry.packedSize = quint32(deflated.size());
    entry.crc = checksumOf(data);
    writeEntry(entry, deflated);
}

void ZipWriter::writeEntry(ZipPackage::Entry entry, const QByteArray& packed)
{
    if (!ok)
        return;
    const qint64 offset = file.pos();
    if (offset + 30 + entry.name.size() + packed.size() >= 0xffffffffLL) {
        ok = false;
        return;
    }
    // Sizes and checksum go into the header: no data descriptor follows.
    entry.flags &= ~quint16(0x0008);
    QByteArray header;
    put32(header, kLocalHeader);
    put16(header, 20);
    put16(header, entry.flags);
    put16(header, entry.method);
    put16(header, entry.time);
    put16(header, entry.date);
    put32(header, entry.crc);
    put32(header, quint32(entry.packedSize));
    put32(header, quint32(entry.size));
    put16(header, quint16(entry.name.size()));
    put16(header, 0);
    header.append(entry.name);
    ok = file.write(header) == header.size() && file.write(packed) == packed.size();

    put32(directory, kDirectoryHeader);
    put16(directory, 20);
    put16(directory, 20);
    put16(directory, entry.flags);
    put16(directory, entry.method);
    put16(directory, entry.time);
    put16(directory, entry.date);
    put32(directory, entry.crc);
    put32(directory, quint32(entry.packedSize));
    put32(directory, quint32(entry.size));
    put16(directory, quint16(entry.name.size()));
    put16(directory, 0); // extra
    put16(directory, 0); // comment
    put16(directory, 0); // disk
    put16(directory, 0); // internal attributes
    put32(directory, 0); // external attributes
    put32(directory, quint32(offset));
    directory.append(entry.name);
    ++count;
}

bool ZipWriter::finish()
{
    if (!ok || count >= 0xffff) {
        file.close();
        return false;
    }
    const qint64 offset = file.pos();
    QByteArray end;
    put32(end, kDirectoryEnd);
    put16(end, 0);
    put16(end, 0);
    put16(end, quint16(count));
    put16(end, quint16(count));
    put32(end, quint32(directory.size()));
    put32(end, quint32(offset));
    put16(end, 0);
    ok = file.write(directory) == directory.size() && file.write(end) == end.size() && file.flush();
    file.close();
    return ok && file.error() == QFile::NoError;
}
