#include "excelop/openfailure.h"

#include "fileformat/littleendian.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>

namespace {

// Enough to hold the stream directory of any workbook a user would pick, and its first records.
constexpr qint64 kHeadBytes = 16 * 1024 * 1024;

const QByteArray kCompoundFileMagic = QByteArray::fromHex("D0CF11E0A1B11AE1");
const QByteArray kZipMagic = QByteArrayLiteral("PK\x03\x04");

// The reasons, each in the user's words.
const char* const kMissing = QT_TRANSLATE_NOOP("OpenFailure", "文件不存在");
const char* const kNotReadable = QT_TRANSLATE_NOOP("OpenFailure", "没有读取权限");
const char* const kPasswordProtected = QT_TRANSLATE_NOOP("OpenFailure", "文件有密码保护");
const char* const kNotASpreadsheet = QT_TRANSLATE_NOOP("OpenFailure", "不是电子表格文件");
const char* const kDamaged = QT_TRANSLATE_NOOP("OpenFailure", "文件已损坏");

QString reason(const char* text)
{
    return QCoreApplication::translate("OpenFailure", text);
}

QByteArray utf16Name(const char* name)
{
    QByteArray bytes;
    for (const char* c = name; *c; ++c) {
        bytes.append(*c);
        bytes.append('\0');
    }
    return bytes;
}

// An .xls whose workbook stream carries a FILEPASS record among its first records: the office
// cannot open it without the password.
bool xlsHasFilePass(const QByteArray& head)
{
    // BOF of the workbook globals (BIFF8): type 0x0809, length 16, version 0x0600, type 0x0005.
    const QByteArray bof = QByteArray::fromHex("0908100000060500");
    int at = head.indexOf(bof);
    if (at < 0)
        return false;
    for (int records = 0; records < 64 && at + 4 <= head.size(); ++records) {
        const uchar* record = reinterpret_cast<const uchar*>(head.constData()) + at;
        const quint16 type = LittleEndian::u16(record);
        const quint16 length = LittleEndian::u16(record + 2);
        if (type == 0x002F)
            return true;
        if (type == 0x000A) // EOF of the globals
            return false;
        at += 4 + length;
    }
    return false;
}

QString whyCompoundFile(const QByteArray& head)
{
    // An encrypted .xlsx is a compound file holding the encrypted package.
    if (head.contains(utf16Name("EncryptedPackage")) || head.contains(utf16Name("EncryptionInfo")))
        return reason(kPasswordProtected);
    if (head.contains(utf16Name("WordDocument")) || head.contains(utf16Name("PowerPoint Document")))
        return reason(kNotASpreadsheet);
    // A workbook stream the office would not take, or a directory cut off with the file's end.
    return xlsHasFilePass(head) ? reason(kPasswordProtected) : reason(kDamaged);
}

QString whyZip(const QByteArray& head)
{
    // The names of a zip's parts stand uncompressed in their local headers.
    if (head.contains("xl/") || head.contains("application/vnd.oasis.opendocument.spreadsheet"))
        return reason(kDamaged);
    return reason(kNotASpreadsheet);
}

} // namespace

QString whyWorkbookDidNotOpen(const QString& path)
{
    const QFileInfo info(path);
    if (!info.exists())
        return reason(kMissing);
    QFile file(path);
    if (info.isDir() || !file.open(QIODevice::ReadOnly))
        return info.isDir() ? reason(kNotASpreadsheet) : reason(kNotReadable);
    const QByteArray head = file.read(kHeadBytes);
    if (head.isEmpty())
        return reason(kDamaged);
    if (head.startsWith(kCompoundFileMagic))
        return whyCompoundFile(head);
    if (head.startsWith(kZipMagic))
        return whyZip(head);
    return reason(kNotASpreadsheet);
}
