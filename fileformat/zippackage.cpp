#include "fileformat/zippackage.h"

#include "fileformat/zipdirectory.h"
#include "fileformat/zlibcalls.h"

bool ZipPackage::open(const QString& path)
{
    list.clear();
    byName.clear();
    file.setFileName(path);
    if (!file.open(QIODevice::ReadOnly)) {
        why = file.errorString();
        return false;
    }
    size = file.size();
    bytes = size > 0 ? file.map(0, size) : nullptr;
    if (!bytes || size < 22) {
        why = QStringLiteral("not a zip file");
        return false;
    }
    if (!Zlib::get().usable()) {
        why = QStringLiteral("zlib is not available");
        return false;
    }
    const ZipDirectory::End end = ZipDirectory::findEnd(bytes, quint64(size));
    if (end.at < 0) {
        why = QStringLiteral("no zip directory");
        return false;
    }
    if (end.disk != 0 || end.directoryDisk != 0 || end.entriesOnDisk != end.entries || end.entries == 0xffff
        || end.offset == 0xffffffffu || end.offset + end.size > quint64(end.at)) {
        why = QStringLiteral("a zip of several disks or zip64");
        return false;
    }
    quint64 at = end.offset;
    for (quint64 i = 0; i < end.entries; ++i) {
        ZipDirectory::Header header;
        if (!ZipDirectory::readHeader(bytes, at, quint64(end.at), header)
            || header.nameAt + header.nameLength > quint64(end.at)) {
            why = QStringLiteral("a broken zip directory");
            return false;
        }
        Entry entry;
        static_cast<ZipDirectory::Header&>(entry) = header;
        entry.name = QByteArray(reinterpret_cast<const char*>(bytes + header.nameAt), header.nameLength);
        at = header.next;
        if ((entry.flags & 1) || (entry.method != 0 && entry.method != 8) || entry.size == 0xffffffffu
            || entry.packedSize == 0xffffffffu || header.localOffset == 0xffffffffu) {
            why = QStringLiteral("an encrypted, zip64 or unusually packed entry: ") + QString::fromUtf8(entry.name);
            return false;
        }
        if (!ZipDirectory::isLocalHeader(bytes, header.localOffset, quint64(size))) {
            why = QStringLiteral("a missing entry: ") + QString::fromUtf8(entry.name);
            return false;
        }
        entry.dataOffset = ZipDirectory::localDataStart(bytes, header.localOffset);
        if (entry.dataOffset + entry.packedSize > quint64(size) || byName.contains(entry.name)) {
            why = QStringLiteral("a broken or doubled entry: ") + QString::fromUtf8(entry.name);
            return false;
        }
        byName.insert(entry.name, list.size());
        list.append(entry);
    }
    return true;
}

const ZipPackage::Entry* ZipPackage::find(const QByteArray& name) const
{
    const auto it = byName.constFind(name);
    return it == byName.cend() ? nullptr : &list.at(*it);
}

QByteArray ZipPackage::packed(const Entry& entry) const
{
    return QByteArray(reinterpret_cast<const char*>(bytes + entry.dataOffset), int(entry.packedSize));
}

bool ZipPackage::unpackInPieces(const Entry& entry, const std::function<bool(const char*, int)>& take) const
{
    if (entry.method == 0) {
        const QByteArray whole = packed(entry);
        take(whole.constData(), whole.size());
        return true;
    }
    const Zlib& z = Zlib::get();
    z_stream stream;
    if (!z.startRawInflate(stream)) {
        why = QStringLiteral("cannot unpack");
        return false;
    }
    stream.next_in = const_cast<Bytef*>(bytes + entry.dataOffset);
    stream.avail_in = uInt(entry.packedSize);
    QByteArray piece(1 << 16, Qt::Uninitialized);
    quint64 produced = 0;
    int result = Z_OK;
    bool stopped = false;
    while (result == Z_OK && !stopped) {
        stream.next_out = reinterpret_cast<Bytef*>(piece.data());
        stream.avail_out = uInt(piece.size());
        result = z.step(&stream, Z_NO_FLUSH);
        const int size = piece.size() - int(stream.avail_out);
        produced += quint64(size);
        stopped = result >= 0 && !take(piece.constData(), size);
        if (result == Z_BUF_ERROR && stream.avail_in == 0)
            break;
    }
    z.endInflate(&stream);
    if (stopped)
        return true;
    if (result != Z_STREAM_END || produced != entry.size) {
        why = QStringLiteral("cannot unpack ") + QString::fromUtf8(entry.name);
        return false;
    }
    return true;
}

QByteArray ZipPackage::unpackedAround(const Entry& entry, const QByteArray& from, const QByteArray& to) const
{
    QByteArray kept;   // what lies outside the skipped middle
    QByteArray window; // the skipped middle's last bytes, where `to` may begin
    bool skipping = false;
    bool skipped = false;
    const bool whole = unpackInPieces(entry, [&](const char* data, int size) {
        const QByteArray out = QByteArray::fromRawData(data, size);
        if (!skipping) {
            kept.append(out);
            const int start = skipped ? -1 : kept.indexOf(from, qMax(0, kept.size() - size - from.size()));
            if (start >= 0) {
                window = kept.mid(start + from.size());
                kept.truncate(start + from.size());
                skipping = true;
            }
        } else {
            window.append(out);
        }
        if (skipping) {
            const int end = window.indexOf(to);
            if (end >= 0) {
                kept.append(window.mid(end));
                window.clear();
                skipping = false;
                skipped = true;
            } else if (window.size() > to.size()) {
                window = window.right(to.size());
            }
        }
        return true;
    });
    if (!whole)
        return QByteArray();
    return skipping ? kept + window : kept;
}

QByteArray ZipPackage::unpacked(const QByteArray& name) const
{
    const Entry* entry = find(name);
    if (!entry) {
        why = QStringLiteral("no entry ") + QString::fromUtf8(name);
        return QByteArray();
    }
    return unpacked(*entry);
}

QByteArray ZipPackage::unpacked(const Entry& entry, const QByteArray& stopAfter) const
{
    if (entry.method == 0)
        return packed(entry);
    const Zlib& z = Zlib::get();
    z_stream stream;
    if (!z.startRawInflate(stream)) {
        why = QStringLiteral("cannot unpack");
        return QByteArray();
    }
    QByteArray out;
    out.resize(int(qMin<quint64>(entry.size, stopAfter.isEmpty() ? entry.size : 1u << 16)) + 1);
    stream.next_in = const_cast<Bytef*>(bytes + entry.dataOffset);
    stream.avail_in = uInt(entry.packedSize);
    int produced = 0;
    int result = Z_OK;
    while (result == Z_OK) {
        if (produced == out.size())
            out.resize(out.size() * 2);
        stream.next_out = reinterpret_cast<Bytef*>(out.data() + produced);
        stream.avail_out = uInt(out.size() - produced);
        result = z.step(&stream, Z_NO_FLUSH);
        const int before = produced;
        produced = out.size() - int(stream.avail_out);
        // Looks back far enough that a match split between two steps is still found.
        if (!stopAfter.isEmpty()
            && QByteArray::fromRawData(out.constData(), produced).indexOf(stopAfter, qMax(0, before - stopAfter.size()))
                   >= 0)
            break;
    }
    z.endInflate(&stream);
    const bool complete = result == Z_STREAM_END && quint32(produced) == entry.size;
    if (!complete && (stopAfter.isEmpty() || result < 0)) {
        why = QStringLiteral("cannot unpack ") + QString::fromUtf8(entry.name);
        return QByteArray();
    }
    out.resize(produced);
    return out;
}
