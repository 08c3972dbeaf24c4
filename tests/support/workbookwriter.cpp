#include "workbookwriter.h"

#include "zipwriter.h"

#include "excelop/cellref.h"

#include <QFileInfo>
#include <QVariantList>
#include <algorithm>
#include <memory>

namespace {

int widestRow(const QList<QStringList>& rows)
{
    int widest = 0;
    for (const QStringList& row : rows)
        widest = std::max(widest, int(row.size()));
    return widest;
}

bool fillSheet(AxObject* sheet, const SheetContent& content)
{
    if (!sheet->setProperty("Name", content.name))
        return false;
    if (content.rows.isEmpty())
        return true;
    const int width = std::max(1, widestRow(content.rows));
    QVariantList values;
    values.reserve(content.rows.size());
    for (const QStringList& texts : content.rows) {
        QVariantList row(texts.cbegin(), texts.cend());
        while (row.size() < width)
            row.append(QString());
        values.append(QVariant(row));
    }
    const QString address = QStringLiteral("A1:%1%2").arg(columnLetters(width)).arg(content.rows.size());
    std::unique_ptr<AxObject> range(sheet->querySubObject("Range(QString)", address));
    return range && range->setProperty("Value", values);
}

// ---------------------------------------------------------------------------------------------
// The package.

const QByteArray kDeclaration = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n";
const QByteArray kMain = "http://schemas.openxmlformats.org/spreadsheetml/2006/main";
const QByteArray kRelations = "http://schemas.openxmlformats.org/officeDocument/2006/relationships";
const QByteArray kPackageRelations = "http://schemas.openxmlformats.org/package/2006/relationships";
const QByteArray kTypes = "application/vnd.openxmlformats-officedocument.";

const QByteArray kPlainStyles =
    "<styleSheet xmlns=\"" + kMain
    + "\">"
      "<fonts count=\"1\"><font><sz val=\"11\"/><name val=\"Calibri\"/><family val=\"2\"/></font></fonts>"
      "<fills count=\"2\"><fill><patternFill patternType=\"none\"/></fill><fill><patternFill "
      "patternType=\"gray125\"/></fill></fills>"
      "<borders count=\"1\"><border><left/><right/><top/><bottom/><diagonal/></border></borders>"
      "<cellStyleXfs count=\"1\"><xf numFmtId=\"0\" fontId=\"0\" fillId=\"0\" borderId=\"0\"/></cellStyleXfs>"
      "<cellXfs count=\"1\"><xf numFmtId=\"0\" fontId=\"0\" fillId=\"0\" borderId=\"0\" xfId=\"0\"/></cellXfs>"
      "<cellStyles count=\"1\"><cellStyle name=\"Normal\" xfId=\"0\" builtinId=\"0\"/></cellStyles></styleSheet>";

QByteArray escaped(const QString& text)
{
    return text.toHtmlEscaped().toUtf8();
}

// The same texts the office takes for numbers when they are set as values: digits with an optional
// sign, point and exponent. Checked by hand: a workbook of a million cells asks this of each.
bool readsAsNumber(const QString& text)
{
    int at = 0;
    const int size = text.size();
    if (at < size && (text.at(at) == QLatin1Char('+') || text.at(at) == QLatin1Char('-')))
        ++at;
    int digits = 0;
    while (at < size && text.at(at).isDigit() && text.at(at).unicode() < 128) {
        ++at;
        ++digits;
    }
    if (at < size && text.at(at) == QLatin1Char('.')) {
        ++at;
        while (at < size && text.at(at).isDigit() && text.at(at).unicode() < 128) {
            ++at;
            ++digits;
        }
    }
    if (digits == 0)
        return false;
    if (at < size && (text.at(at) == QLatin1Char('e') || text.at(at) == QLatin1Char('E'))) {
        ++at;
        if (at < size && (text.at(at) == QLatin1Char('+') || text.at(at) == QLatin1Char('-')))
            ++at;
        const int exponentStart = at;
        while (at < size && text.at(at).isDigit() && text.at(at).unicode() < 128)
            ++at;
        if (at == exponentStart)
            return false;
    }
    return at == size;
}

class SharedStrings
{
public:
    int indexOf(const QString& text)
    {
        ++uses;
        auto found = index.constFind(text);
        if (found == index.constEnd()) {
            found = index.insert(text, texts.size());
            texts.append(text);
        }
        return *found;
    }

    QByteArray part() const
    {
        QByteArray xml = kDeclaration + "<sst xmlns=\"" + kMain + "\" count=\"" + QByteArray::number(uses)
                         + "\" uniqueCount=\"" + QByteArray::number(texts.size()) + "\">";
        for (const QString& text : texts)
            xml += "<si><t>" + escaped(text) + "</t></si>";
        return xml + "</sst>";
    }

private:
    QHash<QString, int> index;
    QStringList texts;
    int uses = 0;
};

QByteArray cellXml(const QByteArray& ref, const QString& text, int style, const QString& formula,
                   SharedStrings& strings)
{
    const QByteArray styleAttribute = style ? " s=\"" + QByteArray::number(style) + "\"" : QByteArray();
    if (!formula.isEmpty()) {
        const bool number = readsAsNumber(text);
        // An error saved as Excel saves one: #VALUE!, #N/A.
        const QByteArray type = text.isEmpty() || number            ? ""
                                : text.startsWith(QLatin1Char('#')) ? " t=\"e\""
                                                                    : " t=\"str\"";
        return "<c r=\"" + ref + "\"" + styleAttribute + type + "><f>" + escaped(formula) + "</f>"
               + (text.isEmpty() ? QByteArray() : "<v>" + escaped(text) + "</v>") + "</c>";
    }
    if (text.isEmpty())
        return style ? "<c r=\"" + ref + "\"" + styleAttribute + "/>" : QByteArray();
    if (readsAsNumber(text))
        return "<c r=\"" + ref + "\"" + styleAttribute + "><v>" + text.toLatin1() + "</v></c>";
    return "<c r=\"" + ref + "\"" + styleAttribute + " t=\"s\"><v>" + QByteArray::number(strings.indexOf(text))
           + "</v></c>";
}

QByteArray sheetPart(const SheetContent& sheet, const SheetLook& look, SharedStrings& strings)
{
    const int width = widestRow(sheet.rows);
    QList<QByteArray> letters;
    for (int c = 1; c <= width; ++c)
        letters.append(columnLetters(c).toLatin1());
    QByteArray xml = kDeclaration + "<worksheet xmlns=\"" + kMain + "\" xmlns:r=\"" + kRelations + "\">";
    xml.reserve(sheet.rows.size() * width * 40 + 1024);
    if (width > 0)
        xml += "<dimension ref=\"A1:" + letters.last() + QByteArray::number(sheet.rows.size()) + "\"/>";
    xml += look.head + "<sheetData>";
    for (int r = 1; r <= sheet.rows.size(); ++r) {
        const QStringList& texts = sheet.rows.at(r - 1);
        const QByteArray row = QByteArray::number(r);
        QByteArray cells;
        for (int c = 1; c <= texts.size(); ++c)
            cells += cellXml(letters.at(c - 1) + row, texts.at(c - 1), look.style ? look.style(r, c) : 0,
                             look.formula ? look.formula(r, c) : QString(), strings);
        const QByteArray attributes = look.rowAttributes.value(r);
        if (cells.isEmpty() && attributes.isEmpty())
            continue;
        xml += "<row r=\"" + row + "\"" + (attributes.isEmpty() ? QByteArray() : " " + attributes) + ">" + cells
               + "</row>";
    }
    return xml + "</sheetData>" + look.tail + "</worksheet>";
}

} // namespace

bool writeWorkbook(const QString& path, const QList<SheetContent>& sheets)
{
    AxObject application(QStringLiteral("Excel.Application"));
    std::unique_ptr<AxObject> workbooks(application.querySubObject("WorkBooks"));
    std::unique_ptr<AxObject> workbook(workbooks ? workbooks->querySubObject("Add") : nullptr);
    if (!workbook)
        return false;
    bool written = true;
    for (int i = 0; i < sheets.size() && written; ++i) {
        std::unique_ptr<AxObject> worksheets(workbook->querySubObject("Worksheets"));
        while (worksheets && worksheets->property("Count").toInt() <= i)
            delete worksheets->querySubObject("Add");
        std::unique_ptr<AxObject> sheet(workbook->querySubObject("Worksheets(int)", i + 1));
        written = sheet && fillSheet(sheet.get(), sheets.at(i));
    }
    if (written) {
        AxObject* book = workbook.get();
        written = accepted(
            book, [book, &path] { book->dynamicCall("SaveAs(const QString&)", QFileInfo(path).absoluteFilePath()); });
    }
    workbook->dynamicCall("Close()");
    return written;
}

bool writeXlsx(const QString& path, const QList<SheetContent>& sheets, const XlsxLook& look)
{
    SharedStrings strings;
    QList<QByteArray> sheetParts;
    QByteArray sheetList;
    QByteArray sheetTypes;
    QByteArray sheetRelations;
    for (int i = 0; i < sheets.size(); ++i) {
        const SheetLook sheetLook = look.sheets.value(i);
        sheetParts.append(sheetPart(sheets.at(i), sheetLook, strings));
        const QByteArray number = QByteArray::number(i + 1);
        sheetList += "<sheet name=\"" + escaped(sheets.at(i).name) + "\" sheetId=\"" + number + "\""
                     + (sheetLook.hidden ? " state=\"hidden\"" : "") + " r:id=\"rId" + number + "\"/>";
        sheetTypes += "<Override PartName=\"/xl/worksheets/sheet" + number + ".xml\" ContentType=\"" + kTypes
                      + "spreadsheetml.worksheet+xml\"/>";
        sheetRelations += "<Relationship Id=\"rId" + number + "\" Type=\"" + kRelations
                          + "/worksheet\" Target=\"worksheets/sheet" + number + ".xml\"/>";
    }
    const QByteArray stylesId = "rId" + QByteArray::number(sheets.size() + 1);
    const QByteArray stringsId = "rId" + QByteArray::number(sheets.size() + 2);
    if (!look.connections.isEmpty()) {
        sheetTypes +=
            "<Override PartName=\"/xl/connections.xml\" ContentType=\"" + kTypes + "spreadsheetml.connections+xml\"/>";
        sheetRelations += "<Relationship Id=\"rId" + QByteArray::number(sheets.size() + 3) + "\" Type=\"" + kRelations
                          + "/connections\" Target=\"connections.xml\"/>";
    }

    ZipWriter zip(path);
    zip.addDeflated(
        "[Content_Types].xml",
        kDeclaration
            + "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
              "<Default Extension=\"rels\" ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/>"
              "<Default Extension=\"xml\" ContentType=\"application/xml\"/>"
              "<Override PartName=\"/xl/workbook.xml\" ContentType=\""
            + kTypes + "spreadsheetml.sheet.main+xml\"/>" + sheetTypes
            + "<Override PartName=\"/xl/styles.xml\" ContentType=\"" + kTypes
            + "spreadsheetml.styles+xml\"/>"
              "<Override PartName=\"/xl/sharedStrings.xml\" ContentType=\""
            + kTypes + "spreadsheetml.sharedStrings+xml\"/>"
            + (look.writtenByExcel
                   ? "<Override PartName=\"/docProps/app.xml\" ContentType=\"" + kTypes + "extended-properties+xml\"/>"
                   : QByteArray())
            + "</Types>");
    zip.addDeflated("_rels/.rels",
                    kDeclaration + "<Relationships xmlns=\"" + kPackageRelations
                        + "\">"
                          "<Relationship Id=\"rId1\" Type=\""
                        + kRelations + "/officeDocument\" Target=\"xl/workbook.xml\"/>"
                        + (look.writtenByExcel ? "<Relationship Id=\"rId2\" Type=\"" + kRelations
                                                     + "/extended-properties\" Target=\"docProps/app.xml\"/>"
                                               : QByteArray())
                        + "</Relationships>");
    if (look.writtenByExcel)
        zip.addDeflated(
            "docProps/app.xml",
            kDeclaration
                + "<Properties xmlns=\"http://schemas.openxmlformats.org/officeDocument/2006/extended-properties\">"
                  "<Application>Microsoft Excel</Application><AppVersion>16.0300</AppVersion></Properties>");
    zip.addDeflated("xl/workbook.xml", kDeclaration + "<workbook xmlns=\"" + kMain + "\" xmlns:r=\"" + kRelations
                                           + "\">" + look.head + "<sheets>" + sheetList + "</sheets>" + look.tail
                                           + "</workbook>");
    zip.addDeflated("xl/_rels/workbook.xml.rels",
                    kDeclaration + "<Relationships xmlns=\"" + kPackageRelations + "\">" + sheetRelations
                        + "<Relationship Id=\"" + stylesId + "\" Type=\"" + kRelations
                        + "/styles\" Target=\"styles.xml\"/>" + "<Relationship Id=\"" + stringsId + "\" Type=\""
                        + kRelations + "/sharedStrings\" Target=\"sharedStrings.xml\"/></Relationships>");
    zip.addDeflated("xl/styles.xml", kDeclaration + (look.styles.isEmpty() ? kPlainStyles : look.styles));
    zip.addDeflated("xl/sharedStrings.xml", strings.part());
    if (!look.connections.isEmpty())
        zip.addDeflated("xl/connections.xml", kDeclaration + look.connections);
    for (int i = 0; i < sheetParts.size(); ++i)
        zip.addDeflated("xl/worksheets/sheet" + QByteArray::number(i + 1) + ".xml", sheetParts.at(i));
    return zip.finish();
}

bool convertWorkbook(const QString& from, const QString& to)
{
    const OfficeWorkbook opened(from);
    AxObject* book = opened.book();
    const QString target = QFileInfo(to).absoluteFilePath();
    return book && accepted(book, [book, &target] { book->dynamicCall("SaveAs(const QString&)", target); });
}

OfficeWorkbook::OfficeWorkbook(const QString& path) : application(QStringLiteral("Excel.Application"))
{
    std::unique_ptr<AxObject> workbooks(application.querySubObject("WorkBooks"));
    if (!workbooks)
        return;
    workbooks->dynamicCall("Open(const QString&)", QFileInfo(path).absoluteFilePath());
    workbook.reset(application.querySubObject("ActiveWorkBook"));
}

OfficeWorkbook::~OfficeWorkbook()
{
    if (workbook)
        workbook->dynamicCall("Close()");
}
