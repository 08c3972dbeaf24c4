#include "chineseofficebook.h"

#include "zipwriter.h"

#include <QList>

namespace ChineseOfficeBook {

namespace {

const char* const kFonts[] = {"等线", "宋体", "黑体", "微软雅黑", "仿宋", "楷体", "新宋体", "DengXian",
                              "SimSun", "新細明體", "微軟正黑體", "Calibri", "Arial", "Times New Roman",
                              "Cambria"};
const char* const kDepartments[] = {"销售部", "财务部", "研发2部"};

QString columnName(int column) // 1-based, up to ZZ
{
    QString name;
    for (int n = column; n > 0; n = (n - 1) / 26)
        name.prepend(QChar('A' + (n - 1) % 26));
    return name;
}

// Texts mixing Chinese with digits and Latin letters, as names and codes do.
QString textOf(int row, int column)
{
    static const char* const kFamily[] = {"张", "李", "王", "赵", "陈", "刘"};
    static const char* const kGiven[] = {"三", "四", "小明", "Anna", "建国", "丽"};
    return QString::fromUtf8(kFamily[(row + column) % 6]) + QString::fromUtf8(kGiven[(row * 7 + column) % 6])
           + QString::number(row % 9 + 1) + QStringLiteral("号");
}

class Strings
{
public:
    int indexOf(const QString& text)
    {
        const int at = list.indexOf(text);
        if (at >= 0)
            return at;
        list << text;
        return list.size() - 1;
    }
    QByteArray part() const
    {
        QString xml = QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
                                     "<sst xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">");
        for (const QString& text : list)
            xml += QStringLiteral("<si><t>%1</t></si>").arg(text.toHtmlEscaped());
        return (xml + QStringLiteral("</sst>")).toUtf8();
    }

private:
    QStringList list;
};

QString textCell(Strings& strings, const QString& ref, int style, const QString& text)
{
    return QStringLiteral("<c r=\"%1\" s=\"%2\" t=\"s\"><v>%3</v></c>").arg(ref).arg(style).arg(strings.indexOf(text));
}

QByteArray stylesPart()
{
    const int fonts = int(std::size(kFonts));
    QString fontList = QStringLiteral("<font><sz val=\"11\"/><name val=\"等线\"/><family val=\"2\"/><charset val=\"134\"/></font>");
    QString formats = QStringLiteral("<xf numFmtId=\"0\" fontId=\"0\" fillId=\"0\" borderId=\"0\" xfId=\"0\"/>");
    for (int f = 0; f < fonts; ++f) {
        fontList += QStringLiteral("<font><sz val=\"11\"/><name val=\"%1\"/><charset val=\"134\"/></font>")
                        .arg(QString::fromUtf8(kFonts[f]));
        formats += QStringLiteral("<xf numFmtId=\"0\" fontId=\"%1\" fillId=\"0\" borderId=\"0\" xfId=\"0\" applyFont=\"1\"/>").arg(f + 1);
    }
    // Styles after the fonts: a bold title, money and a date.
    fontList += QStringLiteral("<font><b/><sz val=\"14\"/><name val=\"黑体\"/><charset val=\"134\"/></font>");
    formats += QStringLiteral("<xf numFmtId=\"0\" fontId=\"%1\" fillId=\"0\" borderId=\"0\" xfId=\"0\" applyFont=\"1\"/>"
                              "<xf numFmtId=\"164\" fontId=\"0\" fillId=\"0\" borderId=\"0\" xfId=\"0\" applyNumberFormat=\"1\"/>"
                              "<xf numFmtId=\"14\" fontId=\"0\" fillId=\"0\" borderId=\"0\" xfId=\"0\" applyNumberFormat=\"1\"/>")
                   .arg(fonts + 1);
    return QStringLiteral(
               "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
               "<styleSheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">"
               "<numFmts count=\"1\"><numFmt numFmtId=\"164\" formatCode=\"#,##0.00&quot;元&quot;\"/></numFmts>"
               "<fonts count=\"%1\">%2</fonts>"
               "<fills count=\"2\"><fill><patternFill patternType=\"none\"/></fill><fill><patternFill patternType=\"gray125\"/></fill></fills>"
               "<borders count=\"1\"><border><left/><right/><top/><bottom/><diagonal/></border></borders>"
               "<cellStyleXfs count=\"1\"><xf numFmtId=\"0\" fontId=\"0\" fillId=\"0\" borderId=\"0\"/></cellStyleXfs>"
               "<cellXfs count=\"%3\">%4</cellXfs>"
               "<cellStyles count=\"1\"><cellStyle name=\"常规\" xfId=\"0\" builtinId=\"0\"/></cellStyles>"
               "<dxfs count=\"1\"><dxf><font><color rgb=\"FF9C0006\"/></font></dxf></dxfs>"
               "</styleSheet>")
        .arg(fonts + 2)
        .arg(fontList)
        .arg(fonts + 4)
        .arg(formats)
        .toUtf8();
}

// One sheet: a merged title in row 1 would move the names down, so the title row holds the
// column titles and the merged note sits below the data.
QByteArray sheetPart(Strings& strings, int sheet, int people)
{
    const int fonts = int(std::size(kFonts));
    const int moneyColumn = fonts + 1;
    const int dateColumn = fonts + 2;
    const int titleStyle = fonts + 1;
    QString rows = QStringLiteral("<row r=\"1\">");
    for (int c = 1; c <= fonts; ++c)
        rows += textCell(strings, columnName(c) + QLatin1Char('1'), titleStyle, QString::fromUtf8(kFonts[c - 1]));
    rows += textCell(strings, columnName(moneyColumn) + QLatin1Char('1'), titleStyle, QStringLiteral("金额"));
    rows += textCell(strings, columnName(dateColumn) + QLatin1Char('1'), titleStyle, QStringLiteral("日期")) + QStringLiteral("</row>");
    for (int r = 2; r <= people + 1; ++r) {
        const int person = sheet == 0 ? r : r + 15; // 报名 shares half of its people with 名单
        rows += QStringLiteral("<row r=\"%1\">").arg(r);
        for (int c = 1; c <= fonts; ++c) {
            QString text = textOf(person, c);
            if (sheet == 1 && c == 3)
                text = QString::fromUtf8(kDepartments[r % 3]);
            rows += textCell(strings, columnName(c) + QString::number(r), c, text);
        }
        rows += QStringLiteral("<c r=\"%1%2\" s=\"%3\"><v>%4</v></c>").arg(columnName(moneyColumn)).arg(r).arg(fonts + 2).arg(r * 1234.5);
        rows += QStringLiteral("<c r=\"%1%2\" s=\"%3\"><v>%4</v></c>").arg(columnName(dateColumn)).arg(r).arg(fonts + 3).arg(45000 + r);
        rows += QStringLiteral("</row>");
    }
    const int noteRow = people + 3;
    rows += QStringLiteral("<row r=\"%1\">").arg(noteRow)
            + textCell(strings, QStringLiteral("A%1").arg(noteRow), titleStyle, QStringLiteral("备注：以上名单截至年底"))
            + QStringLiteral("</row>");

    const QString view = sheet == 0
        ? QStringLiteral("<sheetView zoomScale=\"85\" zoomScaleNormal=\"85\" workbookViewId=\"0\">")
        : QStringLiteral("<sheetView tabSelected=\"1\" showGridLines=\"0\" workbookViewId=\"0\">");
    QString xml = QStringLiteral(
                      "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
                      "<worksheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" "
                      "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\">"
                      "<sheetViews>%1<pane ySplit=\"1\" topLeftCell=\"A2\" activePane=\"bottomLeft\" state=\"frozen\"/>"
                      "<selection pane=\"bottomLeft\" activeCell=\"A2\" sqref=\"A2\"/></sheetView></sheetViews>"
                      "<sheetFormatPr defaultRowHeight=\"14.25\"/>"
                      "<cols><col min=\"1\" max=\"%2\" width=\"14.625\" customWidth=\"1\"/></cols>"
                      "<sheetData>%3</sheetData>"
                      "<mergeCells count=\"1\"><mergeCell ref=\"A%4:F%4\"/></mergeCells>")
                      .arg(view)
                      .arg(dateColumn)
                      .arg(rows)
                      .arg(noteRow);
    const QString money = columnName(moneyColumn);
    if (sheet == 0)
        xml += QStringLiteral("<conditionalFormatting sqref=\"%1\"><cfRule type=\"cellIs\" dxfId=\"0\" priority=\"1\" "
                              "operator=\"greaterThan\"><formula>20000</formula></cfRule></conditionalFormatting>")
                   .arg(money + QStringLiteral("2:") + money + QString::number(people + 1));
    else
        xml += QStringLiteral("<dataValidations count=\"1\"><dataValidation type=\"list\" allowBlank=\"1\" showInputMessage=\"1\" "
                              "showErrorMessage=\"1\" sqref=\"C2:C%1\"><formula1>\"销售部,财务部,研发2部\"</formula1>"
                              "</dataValidation></dataValidations>")
                   .arg(people + 1);
    xml += QStringLiteral("<pageMargins left=\"0.7\" right=\"0.7\" top=\"0.75\" bottom=\"0.75\" header=\"0.3\" footer=\"0.3\"/>"
                          "<pageSetup paperSize=\"9\" orientation=\"landscape\"/></worksheet>");
    return xml.toUtf8();
}

} // namespace

QStringList columnFonts()
{
    QStringList fonts;
    for (const char* font : kFonts)
        fonts << QString::fromUtf8(font);
    return fonts;
}

QStringList sheetNames()
{
    return {QStringLiteral("名单"), QStringLiteral("报名")};
}

bool write(const QString& path)
{
    Strings strings;
    const QByteArray first = sheetPart(strings, 0, 40);
    const QByteArray second = sheetPart(strings, 1, 30);
    const QByteArray main = "http://schemas.openxmlformats.org/officeDocument/2006/relationships";
    const QByteArray types =
        "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
        "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
        "<Default Extension=\"rels\" ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/>"
        "<Default Extension=\"xml\" ContentType=\"application/xml\"/>"
        "<Override PartName=\"/xl/workbook.xml\" ContentType=\"application/vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml\"/>"
        "<Override PartName=\"/xl/worksheets/sheet1.xml\" ContentType=\"application/vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml\"/>"
        "<Override PartName=\"/xl/worksheets/sheet2.xml\" ContentType=\"application/vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml\"/>"
        "<Override PartName=\"/xl/styles.xml\" ContentType=\"application/vnd.openxmlformats-officedocument.spreadsheetml.styles+xml\"/>"
        "<Override PartName=\"/xl/sharedStrings.xml\" ContentType=\"application/vnd.openxmlformats-officedocument.spreadsheetml.sharedStrings+xml\"/>"
        "</Types>";
    const QByteArray packageRelationships =
        "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
        "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
        "<Relationship Id=\"rId1\" Type=\"" + main + "/officeDocument\" Target=\"xl/workbook.xml\"/></Relationships>";
    const QByteArray workbook = QStringLiteral(
        "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
        "<workbook xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" xmlns:r=\"%1\">"
        "<bookViews><workbookView activeTab=\"1\"/></bookViews><sheets>"
        "<sheet name=\"名单\" sheetId=\"1\" r:id=\"rId1\"/><sheet name=\"报名\" sheetId=\"2\" r:id=\"rId2\"/></sheets>"
        "<definedNames><definedName name=\"税率\">0.13</definedName></definedNames></workbook>")
                                    .arg(QString::fromLatin1(main))
                                    .toUtf8();
    const QByteArray workbookRelationships =
        "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
        "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
        "<Relationship Id=\"rId1\" Type=\"" + main + "/worksheet\" Target=\"worksheets/sheet1.xml\"/>"
        "<Relationship Id=\"rId2\" Type=\"" + main + "/worksheet\" Target=\"worksheets/sheet2.xml\"/>"
        "<Relationship Id=\"rId3\" Type=\"" + main + "/styles\" Target=\"styles.xml\"/>"
        "<Relationship Id=\"rId4\" Type=\"" + main + "/sharedStrings\" Target=\"sharedStrings.xml\"/></Relationships>";

    ZipWriter zip(path);
    zip.addDeflated("[Content_Types].xml", types);
    zip.addDeflated("_rels/.rels", packageRelationships);
    zip.addDeflated("xl/workbook.xml", workbook);
    zip.addDeflated("xl/_rels/workbook.xml.rels", workbookRelationships);
    zip.addDeflated("xl/styles.xml", stylesPart());
    zip.addDeflated("xl/sharedStrings.xml", strings.part());
    zip.addDeflated("xl/worksheets/sheet1.xml", first);
    zip.addDeflated("xl/worksheets/sheet2.xml", second);
    return zip.finish();
}

} // namespace ChineseOfficeBook
