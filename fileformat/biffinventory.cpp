#include "fileformat/biffinventory.h"

#include "fileformat/compoundfile.h"
#include "fileformat/littleendian.h"

#include <QFile>
#include <QSet>
#include <QVector>

namespace BiffInventory {

namespace {

using LittleEndian::u16;

enum Record : quint16 {
    kBof = 0x0809,
    kEof = 0x000A,
    kFilePass = 0x002F,
    kWindow2 = 0x023E,
    kScl = 0x00A0,
    kPane = 0x0041,
    kNote = 0x001C,
    kDv = 0x01BE,
    kCf = 0x01B1,
    kCf12 = 0x087A,
    kHlink = 0x01B8,
    kName = 0x0018,
    kProtect = 0x0012,
    kObj = 0x005D,
    kSxView = 0x00B0,
    kSupBook = 0x01AE,
    kDConn = 0x0876,
    kPls = 0x004D,
};
enum SubstreamType : quint16 { kGlobals = 0x0005, kWorksheet = 0x0010, kChart = 0x0020, kMacroSheet = 0x0040 };

constexpr quint16 kBiff8 = 0x0600;
constexpr int kDeepestNesting = 4; // a worksheet holding a chart is two deep

// The file a SUPBOOK links to; empty for this workbook's own, the add-in functions', and one
// whose path is a single space or null (a link since removed, or same-sheet references).
QString linkedFile(const uchar* body, quint16 length)
{
    // Those two are markers in place of a path's length.
    constexpr int kThisWorkbook = 0x0401, kAddInFunctions = 0x3A01;
    const int characters = length >= 4 ? u16(body + 2) : 0;
    if (length < 5 || characters == kThisWorkbook || characters == kAddInFunctions)
        return QString();
    const bool wide = body[4] & 0x01;
    QString path;
    for (int c = 0; c < characters && 5 + (c + 1) * (wide ? 2 : 1) <= length; ++c)
        path.append(QChar(wide ? u16(body + 5 + 2 * c) : body[5 + c]));
    return path == QLatin1String(" ") || path == QString(QChar(0)) ? QString() : path;
}

class RecordWalk
{
public:
    explicit RecordWalk(QMap<QString, int>& counts) : counts(counts) {}
    bool run(const QByteArray& stream);

private:
    struct Substream
    {
        quint16 type = 0;
        bool topLevel = false;
        bool frozen = false; // WINDOW2 asks for frozen panes ...
        bool split = false;  // ... and PANE says where
        bool zoomed = false;
    };

    void open(quint16 type);
    void close();
    bool record(quint16 id, const uchar* body, quint16 length);
    void object(const uchar* body, quint16 length);

    QMap<QString, int>& counts;
    QVector<Substream> substreams;
    QSet<QString> linkedFiles; // Excel may link one file twice; a rewrite keeps it once
};

bool RecordWalk::run(const QByteArray& stream)
{
    const uchar* data = reinterpret_cast<const uchar*>(stream.constData());
    const quint64 size = quint64(stream.size());
    bool started = false;
    bool globalsEnded = false;
    for (quint64 at = 0; at + 4 <= size;) {
        const quint16 id = u16(data + at);
        const quint16 length = u16(data + at + 2);
        const uchar* body = data + at + 4;
        if (at + 4 + length > size)
            break; // fine only after the last substream, where anything may follow
        at += 4 + quint64(length);
        if (id == kBof) {
            if (length < 4 || substreams.size() >= kDeepestNesting)
                return false;
            // Excel 95's records differ: only a workbook that starts as BIFF8's does is read.
            if (!started && (u16(body) != kBiff8 || u16(body + 2) != kGlobals))
                return false;
            started = true;
            open(u16(body + 2));
        } else if (!started) {
            return false;
        } else if (substreams.isEmpty()) {
            continue; // padding between substreams
        } else if (id == kEof) {
            close();
            globalsEnded = globalsEnded || substreams.isEmpty();
        } else if (!record(id, body, length)) {
            return false;
        }
    }
    counts["external-links"] += linkedFiles.size();
    return globalsEnded && substreams.isEmpty();
}

void RecordWalk::open(quint16 type)
{
    Substream opened;
    opened.type = type;
    opened.topLevel = substreams.isEmpty();
    substreams.append(opened);
    if (type == kChart)
        ++counts["charts"];
    if (type == kChart && opened.topLevel)
        ++counts["chart-sheets"];
    if (type == kMacroSheet && opened.topLevel)
        ++counts["macros"]; // Excel 4 macros
}

void RecordWalk::close()
{
    const Substream ended = substreams.takeLast();
    if (ended.frozen && ended.split)
        ++counts["frozen-panes"];
    if (ended.zoomed)
        ++counts["zoom"];
}

// False for a record after which the rest cannot be read (the workbook is encrypted).
bool RecordWalk::record(quint16 id, const uchar* body, quint16 length)
{
    Substream& in = substreams.last();
    const bool globals = in.type == kGlobals;
    const bool sheet = in.type == kWorksheet || in.type == kMacroSheet;
    const bool sheetView = sheet && in.topLevel;
    switch (id) {
    case kFilePass:
        return false;
    case kName: {
        // Names a user sees: not built-in ones (print area, filter range) nor hidden ones.
        constexpr quint16 kHidden = 0x0001, kBuiltIn = 0x0020;
        if (globals && length >= 2 && !(u16(body) & (kHidden | kBuiltIn)))
            ++counts["defined-names"];
        break;
    }
    case kSupBook:
        if (globals && !linkedFile(body, length).isEmpty())
            linkedFiles.insert(linkedFile(body, length));
        break;
    case kDConn:
        if (globals)
            ++counts["data-connections"];
        break;
    case kProtect:
        if (length >= 2 && u16(body) == 1 && (globals || sheetView))
            ++counts[globals ? "workbook-protection" : "sheet-protection"];
        break;
    case kWindow2:
        if (sheetView && length >= 2) {
            in.frozen = u16(body) & 0x0008;
            if (!(u16(body) & 0x0002))
                ++counts["hidden-grid"];
        }
        break;
    case kScl:
        if (sheetView && length >= 4 && u16(body + 2) != 0 && u16(body) != u16(body + 2))
            in.zoomed = true;
        break;
    case kPane:
        if (sheetView && length >= 4 && (u16(body) != 0 || u16(body + 2) != 0))
            in.split = true;
        break;
    case kPls:
        if (!globals && in.topLevel)
            ++counts["printer-settings"];
        break;
    case kObj:
        if (sheet)
            object(body, length);
        break;
    case kNote:
    case kDv:
    case kCf:
    case kCf12:
    case kHlink:
    case kSxView:
        if (sheet) {
            static const QMap<quint16, QString> keys = {{kNote, QStringLiteral("notes")},
                                                        {kDv, QStringLiteral("validations")},
                                                        {kCf, QStringLiteral("conditional-formats")},
                                                        {kCf12, QStringLiteral("conditional-formats")},
                                                        {kHlink, QStringLiteral("hyperlinks")},
                                                        {kSxView, QStringLiteral("pivot-tables")}};
            ++counts[keys.value(id)];
        }
        break;
    default:
        break;
    }
    return true;
}

void RecordWalk::object(const uchar* body, quint16 length)
{
    // The first sub-record is the common part: ft 0x15, then the object's type and flags.
    if (length < 10 || u16(body) != 0x0015)
        return;
    const quint16 type = u16(body + 4);
    const quint16 flags = u16(body + 8);
    constexpr quint16 kGroup = 0x00, kChartObject = 0x05, kPicture = 0x08, kNoteObject = 0x19;
    constexpr quint16 kDropDownOfFilterOrValidation = 0x0100;
    // Charts and notes are counted by their own records, a group by its members.
    if (type == kPicture)
        ++counts["pictures"];
    else if (type != kGroup && type != kChartObject && type != kNoteObject && !(flags & kDropDownOfFilterOrValidation))
        ++counts["shapes"];
}

} // namespace

bool countRecords(const QByteArray& stream, QMap<QString, int>& counts)
{
    return RecordWalk(counts).run(stream);
}

bool count(const QString& path, QMap<QString, int>& counts)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() <= 0)
        return false;
    const uchar* bytes = file.map(0, file.size());
    if (!bytes)
        return false;
    CompoundFile compound;
    QByteArray stream;
    // Excel 95 and older keep their records in "Book", in a form not read here.
    const int workbook =
        compound.open(bytes, quint64(file.size())) ? compound.child(0, QStringLiteral("Workbook")) : -1;
    const bool read = workbook >= 0 && compound.read(compound.entries().at(workbook), stream);
    if (read) {
        for (int at : compound.children(0)) {
            const CompoundFile::Entry& entry = compound.entries().at(at);
            if (entry.name.compare(QLatin1String("_VBA_PROJECT_CUR"), Qt::CaseInsensitive) == 0)
                ++counts["macros"];
            else if (entry.type == CompoundFile::Storage && entry.name.startsWith(QLatin1String("MBD")))
                ++counts["embedded-objects"]; // an OLE object's own storage
        }
    }
    file.unmap(const_cast<uchar*>(bytes));
    return read && countRecords(stream, counts);
}

} // namespace BiffInventory
