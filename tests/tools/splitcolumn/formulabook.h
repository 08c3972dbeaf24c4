#pragma once
// Workbooks like the reports users split, for the column split's tests and benchmark, written as
// Excel writes them: shared texts, styles, rows without heights of their own under an 11 pt
// default (13.8 pt rows), an optional merged report line, and a formula per data row on its own
// row and one on another sheet. Cell values alone cannot carry formulas, styles or merged cells,
// so the file is put together here rather than through the office.

#include <QByteArray>
#include <QFile>
#include <QHash>
#include <QRandomGenerator>
#include <QString>
#include <QStringList>
#include <QtEndian>
#include <QList>
#include <QPair>
#include <QVector>

namespace formulabook {

struct Layout
{
    int dataRows = 100;
    QStringList values;         // the reference column (B) draws from these at random
    bool mergedTitle = true;    // A1:F1 merged above the title row
    bool chineseTexts = true;   // column C names a customer in Chinese, else in ASCII
    bool ownRowFormula = true;  // E = D * 12.5 on its own row, else the number
    bool otherSheetFormula = true; // F = E * (1 + 税率!$B$1), else the number
    bool runningTotal = false;  // G = G of the row above + E: a formula on another row
    // F = E * (1 + 增值税率), a defined name standing for 0.13 (Constant) or for 税率!$B$1 (Cell)
    // instead of the reference to the other sheet.
    enum class RateName { None, Constant, Cell } rateName = RateName::None;
    quint32 seed = 20240607;
};

// Row 1 a report line, row 2 the titles, data rows 3 .. dataRows + 2, a total line after them.
inline int titleRow() { return 2; }
inline int lastDataRow(const Layout& layout) { return layout.dataRows + 2; }
inline QString sheetName() { return QStringLiteral("Data"); }
inline QString lastColumn(const Layout& layout) { return layout.runningTotal ? QStringLiteral("G") : QStringLiteral("F"); }

// ---------------------------------------------------------------------------------------------
// A zip archive of deflated entries, as .xlsx files are.

class ZipWriter
{
public:
    void add(const QString& name, const QByteArray& data)
    {
        const QByteArray packed = qCompress(data, 6);
        // qCompress gives a length, a zlib header, the deflate stream and a checksum: the archive
        // wants the stream alone.
        const QByteArray stream = packed.mid(6, packed.size() - 10);
        const QByteArray fileName = name.toUtf8();
        const quint32 offset = quint32(archive.size());
        const quint32 crc = crc32(data);
        QByteArray local;
        put32(local, 0x04034b50);
        put16(local, 20);
        put16(local, 0x0800); // names in UTF-8
        put16(local, 8);      // deflate
        put16(local, 0);
        put16(local, 0x21);   // 1980-01-01
        put32(local, crc);
        put32(local, quint32(stream.size()));
        put32(local, quint32(data.size()));
        put16(local, quint16(fileName.size()));
        put16(local, 0);
        archive += local + fileName + stream;
        QByteArray central;
        put32(central, 0x02014b50);
        put16(central, 20);
        put16(central, 20);
        put16(central, 0x0800);
        put16(central, 8);
        put16(central, 0);
        put16(central, 0x21);
        put32(central, crc);
        put32(central, quint32(stream.size()));
        put32(central, quint32(data.size()));
        put16(central, quint16(fileName.size()));
        put16(central, 0);
        put16(central, 0);
        put16(central, 0);
        put16(central, 0);
        put32(central, 0);
        put32(central, offset);
        directory += central + fileName;
        ++entries;
    }

    QByteArray finished() const
    {
        QByteArray end;
        put32(end, 0x06054b50);
        put16(end, 0);
        put16(end, 0);
        put16(end, quint16(entries));
        put16(end, quint16(entries));
        put32(end, quint32(directory.size()));
        put32(end, quint32(archive.size()));
        put16(end, 0);
        return archive + directory + end;
    }

private:
    static void put16(QByteArray& out, quint16 value)
    {
        const quint16 little = qToLittleEndian(value);
        out.append(reinterpret_cast<const char*>(&little), 2);
    }
    static void put32(QByteArray& out, quint32 value)
    {
        const quint32 little = qToLittleEndian(value);
        out.append(reinterpret_cast<const char*>(&little), 4);
    }
    static quint32 crc32(const QByteArray& data)
    {
        static const QVector<quint32> table = [] {
            QVector<quint32> entries(256);
            for (quint32 n = 0; n < 256; ++n) {
                quint32 c = n;
                for (int k = 0; k < 8; ++k)
                    c = (c & 1) ? 0xedb88320u ^ (c >> 1) : c >> 1;
                entries[int(n)] = c;
            }
            return entries;
        }();
        quint32 crc = 0xffffffffu;
        for (const char byte : data)
            crc = table[int((crc ^ quint8(byte)) & 0xff)] ^ (crc >> 8);
        return crc ^ 0xffffffffu;
    }

    QByteArray archive;
    QByteArray directory;
    int entries = 0;
};

// ---------------------------------------------------------------------------------------------

inline QString customerName(int k, bool chinese)
{
    static const QStringList cities = {QStringLiteral("上海"), QStringLiteral("北京"), QStringLiteral("广州"),
                                       QStringLiteral("深圳"), QStringLiteral("成都"), QStringLiteral("杭州")};
    static const QStringList trades = {QStringLiteral("贸易"), QStringLiteral("电子科技"), QStringLiteral("食品"),
                                       QStringLiteral("建材"), QStringLiteral("物流")};
    if (!chinese)
        return QStringLiteral("Customer %1 Trading Co. Ltd").arg(k % 997);
    return cities.at(k % cities.size()) + QStringLiteral("市第%1").arg(k % 997) + trades.at(k % trades.size())
           + QStringLiteral("有限公司");
}

// The styles: 0 plain, 1 report line, 2 titles, 3 reference column, 4 amount, 5 amount with tax.
inline QByteArray stylesXml()
{
    return QByteArrayLiteral(
        "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
        "<styleSheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">"
        "<numFmts count=\"1\"><numFmt numFmtId=\"164\" formatCode=\"#,##0.00\"/></numFmts>"
        "<fonts count=\"4\">"
        "<font><sz val=\"11\"/><name val=\"等线\"/><family val=\"2\"/><charset val=\"134\"/></font>"
        "<font><b/><sz val=\"16\"/><name val=\"等线\"/><family val=\"2\"/><charset val=\"134\"/></font>"
        "<font><b/><sz val=\"11\"/><name val=\"等线\"/><family val=\"2\"/><charset val=\"134\"/></font>"
        "<font><sz val=\"11\"/><color rgb=\"FFC00000\"/><name val=\"等线\"/><family val=\"2\"/><charset val=\"134\"/></font>"
        "</fonts>"
        "<fills count=\"5\"><fill><patternFill patternType=\"none\"/></fill><fill><patternFill patternType=\"gray125\"/></fill>"
        "<fill><patternFill patternType=\"solid\"><fgColor rgb=\"FFDDEBF7\"/><bgColor indexed=\"64\"/></patternFill></fill>"
        "<fill><patternFill patternType=\"solid\"><fgColor rgb=\"FFFFF2CC\"/><bgColor indexed=\"64\"/></patternFill></fill>"
        "<fill><patternFill patternType=\"solid\"><fgColor rgb=\"FFE2EFDA\"/><bgColor indexed=\"64\"/></patternFill></fill>"
        "</fills>"
        "<borders count=\"2\"><border><left/><right/><top/><bottom/><diagonal/></border>"
        "<border><left style=\"thin\"><color indexed=\"64\"/></left><right style=\"thin\"><color indexed=\"64\"/></right>"
        "<top style=\"thin\"><color indexed=\"64\"/></top><bottom style=\"thin\"><color indexed=\"64\"/></bottom><diagonal/></border>"
        "</borders>"
        "<cellStyleXfs count=\"1\"><xf numFmtId=\"0\" fontId=\"0\" fillId=\"0\" borderId=\"0\"/></cellStyleXfs>"
        "<cellXfs count=\"6\">"
        "<xf numFmtId=\"0\" fontId=\"0\" fillId=\"0\" borderId=\"0\" xfId=\"0\"/>"
        "<xf numFmtId=\"0\" fontId=\"1\" fillId=\"0\" borderId=\"0\" xfId=\"0\" applyFont=\"1\" applyAlignment=\"1\">"
        "<alignment horizontal=\"center\"/></xf>"
        "<xf numFmtId=\"0\" fontId=\"2\" fillId=\"2\" borderId=\"1\" xfId=\"0\" applyFont=\"1\" applyFill=\"1\" applyBorder=\"1\"/>"
        "<xf numFmtId=\"0\" fontId=\"0\" fillId=\"3\" borderId=\"0\" xfId=\"0\" applyFill=\"1\"/>"
        "<xf numFmtId=\"164\" fontId=\"0\" fillId=\"0\" borderId=\"1\" xfId=\"0\" applyNumberFormat=\"1\" applyBorder=\"1\"/>"
        "<xf numFmtId=\"164\" fontId=\"3\" fillId=\"4\" borderId=\"0\" xfId=\"0\" applyNumberFormat=\"1\" applyFont=\"1\" applyFill=\"1\"/>"
        "</cellXfs>"
        "<cellStyles count=\"1\"><cellStyle name=\"常规\" xfId=\"0\" builtinId=\"0\"/></cellStyles>"
        "</styleSheet>\n");
}

// The workbook's parts, by name inside the archive.
inline QByteArray definedNames(const Layout& layout)
{
    if (layout.rateName == Layout::RateName::None)
        return QByteArray();
    const QString refersTo = layout.rateName == Layout::RateName::Constant ? QStringLiteral("0.13") : QStringLiteral("税率!$B$1");
    return QStringLiteral("<definedNames><definedName name=\"增值税率\">%1</definedName></definedNames>").arg(refersTo).toUtf8();
}

inline QList<QPair<QString, QByteArray>> workbookParts(const Layout& layout)
{
    QRandomGenerator random(layout.seed);
    QStringList shared;
    QHash<QString, int> sharedIndex;
    const auto text = [&](const QString& cell, int style, const QString& value) {
        auto found = sharedIndex.constFind(value);
        if (found == sharedIndex.constEnd()) {
            found = sharedIndex.insert(value, shared.size());
            shared.append(value);
        }
        return QStringLiteral("<c r=\"%1\" s=\"%2\" t=\"s\"><v>%3</v></c>").arg(cell).arg(style).arg(*found);
    };
    const auto number = [](const QString& cell, int style, double value) {
        return QStringLiteral("<c r=\"%1\" s=\"%2\"><v>%3</v></c>").arg(cell).arg(style).arg(QString::number(value, 'g', 15));
    };
    const auto formula = [](const QString& cell, int style, const QString& expression, double value) {
        return QStringLiteral("<c r=\"%1\" s=\"%2\"><f>%3</f><v>%4</v></c>")
            .arg(cell)
            .arg(style)
            .arg(expression.toHtmlEscaped(), QString::number(value, 'g', 15));
    };

    QString rows;
    rows.reserve(layout.dataRows * 400 + 2048);
    const QString report = layout.chineseTexts ? QStringLiteral("2024年销售明细表") : QStringLiteral("Sales 2024");
    rows += QStringLiteral("<row r=\"1\" ht=\"20.25\">") + text(QStringLiteral("A1"), 1, report);
    if (layout.mergedTitle)
        for (QChar column = QLatin1Char('B'); column <= lastColumn(layout).at(0); column = QChar(column.unicode() + 1))
            rows += QStringLiteral("<c r=\"") + column + QStringLiteral("1\" s=\"1\"/>");
    rows += QStringLiteral("</row><row r=\"2\">");
    QStringList titles = layout.chineseTexts ? QStringList{"编号", "地区", "客户名称", "数量", "金额", "含税金额"}
                                             : QStringList{"id", "region", "customer", "quantity", "amount", "with tax"};
    if (layout.runningTotal)
        titles.append(layout.chineseTexts ? QStringLiteral("累计") : QStringLiteral("running"));
    for (int c = 0; c < titles.size(); ++c)
        rows += text(QChar('A' + c) + QStringLiteral("2"), 2, titles.at(c));
    rows += QStringLiteral("</row>");
    double runningTotal = 0;
    for (int k = 0; k < layout.dataRows; ++k) {
        const QString r = QString::number(k + 3);
        const int quantity = int(random.bounded(1u, 500u));
        const double amount = quantity * 12.5;
        rows += QStringLiteral("<row r=\"%1\">").arg(r);
        rows += text(QStringLiteral("A") + r, 0, QStringLiteral("NO%1").arg(k + 1, 6, 10, QLatin1Char('0')));
        rows += text(QStringLiteral("B") + r, 3, layout.values.at(int(random.bounded(quint32(layout.values.size())))));
        rows += text(QStringLiteral("C") + r, 0, customerName(k, layout.chineseTexts));
        rows += number(QStringLiteral("D") + r, 0, quantity);
        rows += layout.ownRowFormula ? formula(QStringLiteral("E") + r, 4, QStringLiteral("D%1*12.5").arg(r), amount)
                                     : number(QStringLiteral("E") + r, 4, amount);
        const QString rate = layout.rateName == Layout::RateName::None ? QStringLiteral("税率!$B$1") : QStringLiteral("增值税率");
        rows += layout.otherSheetFormula
                    ? formula(QStringLiteral("F") + r, 5, QStringLiteral("E%1*(1+%2)").arg(r).arg(rate), amount * 1.13)
                    : number(QStringLiteral("F") + r, 5, amount * 1.13);
        runningTotal += amount;
        if (layout.runningTotal)
            rows += formula(QStringLiteral("G") + r, 4,
                            k == 0 ? QStringLiteral("E%1").arg(r) : QStringLiteral("G%1+E%2").arg(k + 2).arg(r), runningTotal);
        rows += QStringLiteral("</row>");
    }
    const QString total = QString::number(layout.dataRows + 3);
    rows += QStringLiteral("<row r=\"%1\">").arg(total)
            + text(QStringLiteral("A") + total, 0, layout.chineseTexts ? QStringLiteral("合计") : QStringLiteral("total"))
            + QStringLiteral("</row>");

    const QString lastCell = lastColumn(layout) + total;
    QString sheet = QStringLiteral(
                        "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
                        "<worksheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" "
                        "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\">"
                        "<dimension ref=\"A1:%1\"/><sheetViews><sheetView tabSelected=\"1\" workbookViewId=\"0\"/></sheetViews>"
                        "<sheetFormatPr defaultRowHeight=\"13.8\"/>"
                        "<cols><col min=\"3\" max=\"3\" width=\"28\" customWidth=\"1\"/><col min=\"5\" max=\"6\" width=\"12\" customWidth=\"1\"/></cols>"
                        "<sheetData>")
                        .arg(lastCell)
                    + rows + QStringLiteral("</sheetData>");
    if (layout.mergedTitle)
        sheet += QStringLiteral("<mergeCells count=\"1\"><mergeCell ref=\"A1:") + lastColumn(layout)
                 + QStringLiteral("1\"/></mergeCells>");
    sheet += QStringLiteral("<pageMargins left=\"0.7\" right=\"0.7\" top=\"0.75\" bottom=\"0.75\" header=\"0.3\" footer=\"0.3\"/></worksheet>\n");

    const QString rates = QStringLiteral(
        "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
        "<worksheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\"><dimension ref=\"A1:B1\"/>"
        "<sheetFormatPr defaultRowHeight=\"13.8\"/><sheetData><row r=\"1\">%1<c r=\"B1\"><v>0.13</v></c></row></sheetData>"
        "<pageMargins left=\"0.7\" right=\"0.7\" top=\"0.75\" bottom=\"0.75\" header=\"0.3\" footer=\"0.3\"/></worksheet>\n")
                              .arg(text(QStringLiteral("A1"), 0, QStringLiteral("增值税")));

    QString strings = QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
                                     "<sst xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" "
                                     "count=\"%1\" uniqueCount=\"%1\">")
                          .arg(shared.size());
    for (const QString& value : qAsConst(shared))
        strings += QStringLiteral("<si><t>%1</t></si>").arg(value.toHtmlEscaped());
    strings += QStringLiteral("</sst>\n");

    const QByteArray sheetType = "application/vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml";
    const QByteArray relationships = "http://schemas.openxmlformats.org/officeDocument/2006/relationships";
    return {
        {QStringLiteral("[Content_Types].xml"),
         "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
         "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
         "<Default Extension=\"rels\" ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/>"
         "<Default Extension=\"xml\" ContentType=\"application/xml\"/>"
         "<Override PartName=\"/xl/workbook.xml\" ContentType=\"application/vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml\"/>"
         "<Override PartName=\"/xl/worksheets/sheet1.xml\" ContentType=\"" + sheetType + "\"/>"
         "<Override PartName=\"/xl/worksheets/sheet2.xml\" ContentType=\"" + sheetType + "\"/>"
         "<Override PartName=\"/xl/styles.xml\" ContentType=\"application/vnd.openxmlformats-officedocument.spreadsheetml.styles+xml\"/>"
         "<Override PartName=\"/xl/sharedStrings.xml\" ContentType=\"application/vnd.openxmlformats-officedocument.spreadsheetml.sharedStrings+xml\"/>"
         "</Types>\n"},
        {QStringLiteral("_rels/.rels"),
         "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
         "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
         "<Relationship Id=\"rId1\" Type=\"" + relationships + "/officeDocument\" Target=\"xl/workbook.xml\"/>"
         "</Relationships>\n"},
        {QStringLiteral("xl/workbook.xml"),
         "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
         "<workbook xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" xmlns:r=\"" + relationships + "\">"
         "<sheets><sheet name=\"Data\" sheetId=\"1\" r:id=\"rId1\"/>"
         "<sheet name=\"" + QStringLiteral("税率").toUtf8() + "\" sheetId=\"2\" r:id=\"rId2\"/></sheets>"
             + definedNames(layout) + "</workbook>\n"},
        {QStringLiteral("xl/_rels/workbook.xml.rels"),
         "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
         "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
         "<Relationship Id=\"rId1\" Type=\"" + relationships + "/worksheet\" Target=\"worksheets/sheet1.xml\"/>"
         "<Relationship Id=\"rId2\" Type=\"" + relationships + "/worksheet\" Target=\"worksheets/sheet2.xml\"/>"
         "<Relationship Id=\"rId3\" Type=\"" + relationships + "/styles\" Target=\"styles.xml\"/>"
         "<Relationship Id=\"rId4\" Type=\"" + relationships + "/sharedStrings\" Target=\"sharedStrings.xml\"/>"
         "</Relationships>\n"},
        {QStringLiteral("xl/styles.xml"), stylesXml()},
        {QStringLiteral("xl/sharedStrings.xml"), strings.toUtf8()},
        {QStringLiteral("xl/worksheets/sheet1.xml"), sheet.toUtf8()},
        {QStringLiteral("xl/worksheets/sheet2.xml"), rates.toUtf8()},
    };
}

// Writes the workbook as an .xlsx file. True on success.
inline bool writeWorkbook(const QString& path, const Layout& layout)
{
    ZipWriter zip;
    for (const auto& part : workbookParts(layout))
        zip.add(part.first, part.second);
    QFile file(path);
    const QByteArray bytes = zip.finished();
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

} // namespace formulabook
