#include "automation/safesave.h"
#include "automation/compoundfile.h"
#include "automation/zlibcalls.h"

#include <QDir>
#include <QFile>

#include <algorithm>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cstring>
#include <dlfcn.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zlib.h>

namespace SafeSave {

namespace {

quint16 u16(const uchar* p)
{
    return quint16(p[0] | (p[1] << 8));
}
quint32 u32(const uchar* p)
{
    return quint32(p[0]) | (quint32(p[1]) << 8) | (quint32(p[2]) << 16) | (quint32(p[3]) << 24);
}
quint64 u64(const uchar* p)
{
    return quint64(u32(p)) | (quint64(u32(p + 4)) << 32);
}

bool failed(QString* why, const QString& text)
{
    if (why)
        *why = text;
    return false;
}

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
    std::memset(&stream, 0, sizeof stream);
    if (z.startInflate(&stream, -MAX_WBITS, ZLIB_VERSION, int(sizeof(z_stream))) != Z_OK)
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

bool isCompleteZip(const uchar* file, quint64 size, QString* why)
{
    if (size < 22)
        return failed(why, QStringLiteral("too short for a zip"));
    // The end record: the last one, with nothing after its comment.
    qint64 end = -1;
    const quint64 lowest = size > 22 + 65535 ? size - 22 - 65535 : 0;
    for (quint64 at = size - 22 + 1; at-- > lowest;) {
        if (u32(file + at) == 0x06054b50 && at + 22 + u16(file + at + 20) == size) {
            end = qint64(at);
            break;
        }
    }
    if (end < 0)
        return failed(why, QStringLiteral("no end of the central directory"));
    quint64 entries = u16(file + end + 10);
    quint64 directorySize = u32(file + end + 12);
    quint64 directoryOffset = u32(file + end + 16);
    quint64 directoryEnd = quint64(end);
    if (entries == 0xFFFF || directorySize == 0xFFFFFFFF || directoryOffset == 0xFFFFFFFF) {
        if (end < 20 || u32(file + end - 20) != 0x07064b50)
            return failed(why, QStringLiteral("no zip64 locator"));
        const quint64 end64 = u64(file + end - 20 + 8);
        if (end64 + 56 > quint64(end) - 20 || u32(file + end64) != 0x06064b50)
            return failed(why, QStringLiteral("no zip64 end record"));
        entries = u64(file + end64 + 32);
        directorySize = u64(file + end64 + 40);
        directoryOffset = u64(file + end64 + 48);
        directoryEnd = end64;
    }
    if (directoryOffset > directoryEnd || directoryEnd - directoryOffset != directorySize)
        return failed(why, QStringLiteral("the central directory is not where the end record says"));
    const bool checksums = Zlib::get().usable();
    quint64 at = directoryOffset;
    for (quint64 n = 0; n < entries; ++n) {
        if (at + 46 > directoryEnd || u32(file + at) != 0x02014b50)
            return failed(why, QStringLiteral("entry %1 of the central directory is damaged").arg(n));
        const int method = u16(file + at + 10);
        const quint32 crc = u32(file + at + 16);
        quint64 packed = u32(file + at + 20);
        quint64 unpacked = u32(file + at + 24);
        const quint64 nameLength = u16(file + at + 28);
        const quint64 extraLength = u16(file + at + 30);
        const quint64 commentLength = u16(file + at + 32);
        quint64 local = u32(file + at + 42);
        const quint64 next = at + 46 + nameLength + extraLength + commentLength;
        if (next > directoryEnd)
            return failed(why, QStringLiteral("entry %1 runs past the central directory").arg(n));
        // Sizes and offset that did not fit 32 bits are in the zip64 extra field, in this order.
        for (quint64 extra = at + 46 + nameLength; extra + 4 <= at + 46 + nameLength + extraLength;) {
            const quint16 id = u16(file + extra);
            const quint16 length = u16(file + extra + 2);
            if (id == 0x0001) {
                quint64 field = extra + 4;
                const quint64 fieldEnd = field + length;
                for (quint64* value : {&unpacked, &packed, &local}) {
                    if (*value != 0xFFFFFFFF)
                        continue;
                    if (field + 8 > fieldEnd)
                        return failed(why, QStringLiteral("a zip64 field is short"));
                    *value = u64(file + field);
                    field += 8;
                }
            }
            extra += 4 + length;
        }
        if (local + 30 > directoryOffset || u32(file + local) != 0x04034b50)
            return failed(why, QStringLiteral("entry %1 has no local header").arg(n));
        const quint64 localName = u16(file + local + 26);
        const quint64 localExtra = u16(file + local + 28);
        if (localName != nameLength
            || std::memcmp(file + local + 30, file + at + 46, size_t(qMin(nameLength, directoryOffset - local - 30)))
                   != 0)
            return failed(why, QStringLiteral("entry %1 is not the one its local header names").arg(n));
        const quint64 data = local + 30 + localName + localExtra;
        if (data > directoryOffset || directoryOffset - data < packed)
            return failed(why, QStringLiteral("entry %1 runs past the data area").arg(n));
        if (method != 0 && method != 8)
            return failed(why, QStringLiteral("entry %1 is packed in an unknown way").arg(n));
        if (method == 0 && packed != unpacked)
            return failed(why, QStringLiteral("stored entry %1 has two sizes").arg(n));
        if (checksums) {
            quint32 actualCrc = 0;
            quint64 actualSize = 0;
            if (!unpackedCrc(file + data, packed, method, actualCrc, actualSize) || actualCrc != crc
                || actualSize != unpacked)
                return failed(why, QStringLiteral("entry %1 does not unpack to its size and checksum").arg(n));
        }
        at = next;
    }
    if (at != directoryEnd)
        return failed(why, QStringLiteral("the central directory holds more than its entries"));
    return true;
}

bool isCompleteCompound(const uchar* file, quint64 size, QString* why)
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

} // namespace

bool isWorkbookFilter(const QString& filterName)
{
    static const char* const kWorkbookFilters[] = {"MS Excel",     "Calc MS Excel",   "Calc Office Open XML",
                                                   "calc8",        "calc_StarOffice", "StarOffice XML (Calc)",
                                                   "calc_MS_Excel"};
    for (const char* prefix : kWorkbookFilters)
        if (filterName.startsWith(QLatin1String(prefix)))
            return true;
    return false;
}

bool containerOfExtension(const QString& suffix, Container& container)
{
    const QString lower = suffix.toLower();
    if (lower == QLatin1String("xlsx") || lower == QLatin1String("xlsm") || lower == QLatin1String("ods"))
        container = Container::Zip;
    else if (lower == QLatin1String("xls"))
        container = Container::Compound;
    else if (lower == QLatin1String("csv"))
        container = Container::Text;
    else if (lower == QLatin1String("pdf"))
        container = Container::Pdf;
    else
        return false;
    return true;
}

bool containerOfFilter(const QString& filterName, Container& container)
{
    if (filterName == QLatin1String("Calc MS Excel 2007 XML") || filterName == QLatin1String("calc8")
        || filterName == QLatin1String("Calc Office Open XML")
        || filterName == QLatin1String("Calc MS Excel 2007 VBA XML")) {
        container = Container::Zip;
        return true;
    }
    if (filterName == QLatin1String("MS Excel 97")) {
        container = Container::Compound;
        return true;
    }
    if (filterName == QLatin1String("Text - txt - csv (StarCalc)")) {
        container = Container::Text;
        return true;
    }
    if (filterName == QLatin1String("calc_pdf_Export")) {
        container = Container::Pdf;
        return true;
    }
    return false;
}

bool isComplete(const QString& path, Container container, QString* why)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return failed(why, QStringLiteral("cannot read it back"));
    if (container == Container::Text)
        return true; // a sheet without cells gives an empty text
    const qint64 size = file.size();
    if (container == Container::Pdf) {
        const QByteArray head = file.read(8);
        file.seek(std::max<qint64>(0, size - 1024));
        const QByteArray tail = file.read(1024);
        return head.startsWith("%PDF-") && tail.contains("%%EOF") ? true
                                                                  : failed(why, QStringLiteral("not a whole PDF"));
    }
    if (size <= 0)
        return failed(why, QStringLiteral("empty"));
    const uchar* bytes = file.map(0, size);
    if (!bytes)
        return failed(why, QStringLiteral("cannot read it back"));
    const bool complete = container == Container::Zip ? isCompleteZip(bytes, quint64(size), why)
                                                      : isCompleteCompound(bytes, quint64(size), why);
    file.unmap(const_cast<uchar*>(bytes));
    return complete;
}

bool prependUtf8Bom(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadWrite))
        return false;
    const QByteArray text = file.readAll();
    const QByteArray bom("\xEF\xBB\xBF");
    if (text.startsWith(bom))
        return true;
    return file.seek(0) && file.write(bom + text) == bom.size() + text.size() && file.flush();
}

QString reserveTemporaryBeside(const QString& target)
{
    const QFileInfo info(target);
    for (int attempt = 0; attempt < 20; ++attempt) {
        const QString path = info.absoluteDir().filePath(
            QStringLiteral(".~kivexcel-%1.%2.tmp")
                .arg(QString::number(QRandomGenerator::global()->generate(), 36), info.suffix()));
        const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd >= 0) {
            ::close(fd);
            return path;
        }
        if (errno != EEXIST)
            break;
    }
    return QString();
}

bool replaceWith(const QString& temporary, const QString& target, QString* why)
{
    const QByteArray from = QFile::encodeName(temporary);
    const QByteArray to = QFile::encodeName(target);
    const auto giveUp = [&](const QString& text) {
        ::unlink(from.constData());
        return failed(why, text);
    };
    const int fd = ::open(from.constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return giveUp(QStringLiteral("the written file is gone"));
    struct stat original
    {};
    if (::stat(to.constData(), &original) == 0) {
        // The workbook keeps its permissions (and owner, where allowed).
        if (::fchmod(fd, original.st_mode & 07777) != 0) {
            ::close(fd);
            return giveUp(QStringLiteral("cannot give the written file the workbook's permissions"));
        }
        if (::fchown(fd, original.st_uid, original.st_gid) != 0) {
            // Not ours to give away: the file stays the saving user's, as any save makes it.
        }
    } else {
        ::fchmod(
            fd, 0666 & ~[] {
                const mode_t mask = ::umask(0);
                ::umask(mask);
                return mask;
            }());
    }
    if (::fsync(fd) != 0) {
        ::close(fd);
        return giveUp(QStringLiteral("the written file did not reach the disk"));
    }
    ::close(fd);
    if (::rename(from.constData(), to.constData()) != 0)
        return giveUp(QStringLiteral("cannot put the written file in the workbook's place"));
    // The rename itself reaches the disk with the folder.
    const int folder =
        ::open(QFile::encodeName(QFileInfo(target).absolutePath()).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder >= 0) {
        ::fsync(folder);
        ::close(folder);
    }
    return true;
}

QStringList officeTemporaries(const QString& folder)
{
    QStringList paths;
    const QFileInfoList files = QDir(folder).entryInfoList({QStringLiteral("lu*.tmp")}, QDir::Files | QDir::Hidden);
    for (const QFileInfo& file : files)
        paths.append(file.absoluteFilePath());
    return paths;
}

} // namespace SafeSave
