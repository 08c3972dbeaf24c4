#include "chineseofficebook.h"

#include "workbookwriter.h"

#include "excelop/cellref.h"

#include <iterator>

namespace ChineseOfficeBook {

namespace {

const char* const kFonts[] = {"等线",       "宋体",    "黑体",     "微软雅黑",        "仿宋",
                              "楷体",       "新宋体",  "DengXian", "SimSun",          "新細明體",
                              "微軟正黑體", "Calibri", "Arial",    "Times New Roman", "Cambria"};
const char* const kDepartments[] = {"销售部", "财务部", "研发2部"};
constexpr int kFontCount = int(std::size(kFonts));
// Columns after the font columns, and the formats after the font formats.
constexpr int kMoneyColumn = kFontCount + 1;
constexpr int kDateColumn = kFontCount + 2;
constexpr int kTitleStyle = kFontCount + 1;
constexpr int kMoneyStyle = kFontCount + 2;
constexpr int kDateStyle = kFontCount + 3;

// Texts mixing Chinese with digits and Latin letters, as names and codes do.
QString textOf(int row, int column)
{
    static const char* const kFamily[] = {"张", "李", "王", "赵", "陈", "刘"};
    static const char* const kGiven[] = {"三", "四", "小明", "Anna", "建国", "丽"};
    return QString::fromUtf8(kFamily[(row + column) % 6]) + QString::fromUtf8(kGiven[(row * 7 + column) % 6])
           + QString::number(row % 9 + 1) + QStringLiteral("号");
}

QByteArray styles()
{
    QByteArray fontList = "<font><sz val=\"11\"/><name val=\"等线\"/><family val=\"2\"/><charset val=\"134\"/></font>";
    QByteArray formats = "<xf numFmtId=\"0\" fontId=\"0\" fillId=\"0\" borderId=\"0\" xfId=\"0\"/>";
    for (int f = 0; f < kFontCount; ++f) {
        fontList += QByteArray("<font><sz val=\"11\"/><name val=\"") + kFonts[f] + "\"/><charset val=\"134\"/></font>";
        formats += "<xf numFmtId=\"0\" fontId=\"" + QByteArray::number(f + 1)
                   + "\" fillId=\"0\" borderId=\"0\" xfId=\"0\" applyFont=\"1\"/>";
    }
    // Formats after the fonts: a bold title, money and a date.
    fontList += "<font><b/><sz val=\"14\"/><name val=\"黑体\"/><charset val=\"134\"/></font>";
    formats += "<xf numFmtId=\"0\" fontId=\"" + QByteArray::number(kFontCount + 1)
               + "\" fillId=\"0\" borderId=\"0\" xfId=\"0\" applyFont=\"1\"/>"
                 "<xf numFmtId=\"164\" fontId=\"0\" fillId=\"0\" borderId=\"0\" xfId=\"0\" applyNumberFormat=\"1\"/>"
                 "<xf numFmtId=\"14\" fontId=\"0\" fillId=\"0\" borderId=\"0\" xfId=\"0\" applyNumberFormat=\"1\"/>";
    return "<styleSheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">"
           "<numFmts count=\"1\"><numFmt numFmtId=\"164\" formatCode=\"#,##0.00&quot;元&quot;\"/></numFmts>"
           "<fonts count=\""
           + QByteArray::number(kFontCount + 2) + "\">" + fontList
           + "</fonts>"
             "<fills count=\"2\"><fill><patternFill patternType=\"none\"/></fill><fill><patternFill "
             "patternType=\"gray125\"/></fill></fills>"
             "<borders count=\"1\"><border><left/><right/><top/><bottom/><diagonal/></border></borders>"
             "<cellStyleXfs count=\"1\"><xf numFmtId=\"0\" fontId=\"0\" fillId=\"0\" borderId=\"0\"/></cellStyleXfs>"
             "<cellXfs count=\""
           + QByteArray::number(kFontCount + 4) + "\">" + formats
           + "</cellXfs>"
             "<cellStyles count=\"1\"><cellStyle name=\"常规\" xfId=\"0\" builtinId=\"0\"/></cellStyles>"
             "<dxfs count=\"1\"><dxf><font><color rgb=\"FF9C0006\"/></font></dxf></dxfs>"
             "</styleSheet>";
}

// One sheet: a merged title in row 1 would move the names down, so the title row holds the
// column titles and the merged note sits below the data, after an empty row.
SheetContent sheetContent(const QString& name, int sheet, int people)
{
    SheetContent content{name, {columnFonts() << QStringLiteral("金额") << QStringLiteral("日期")}};
    for (int r = 2; r <= people + 1; ++r) {
        const int person = sheet == 0 ? r : r + 15; // 报名 shares half of its people with 名单
        QStringList row;
        for (int c = 1; c <= kFontCount; ++c)
            row << (sheet == 1 && c == 3 ? QString::fromUtf8(kDepartments[r % 3]) : textOf(person, c));
        row << QString::number(r * 1234.5, 'g', 15) << QString::number(45000 + r);
        content.rows.append(row);
    }
    content.rows << QStringList() << QStringList{QStringLiteral("备注：以上名单截至年底")};
    return content;
}

SheetLook sheetLook(int sheet, int people)
{
    const int noteRow = people + 3;
    SheetLook look;
    look.style = [people](int row, int column) {
        if (row == 1 || row > people + 1)
            return kTitleStyle;
        return column == kMoneyColumn ? kMoneyStyle : column == kDateColumn ? kDateStyle : column;
    };
    const QByteArray view = sheet == 0 ? "<sheetView zoomScale=\"85\" zoomScaleNormal=\"85\" workbookViewId=\"0\">"
                                       : "<sheetView tabSelected=\"1\" showGridLines=\"0\" workbookViewId=\"0\">";
    look.head = "<sheetViews>" + view
                + "<pane ySplit=\"1\" topLeftCell=\"A2\" activePane=\"bottomLeft\" state=\"frozen\"/>"
                  "<selection pane=\"bottomLeft\" activeCell=\"A2\" sqref=\"A2\"/></sheetView></sheetViews>"
                  "<sheetFormatPr defaultRowHeight=\"14.25\"/>"
                  "<cols><col min=\"1\" max=\""
                + QByteArray::number(kDateColumn) + "\" width=\"14.625\" customWidth=\"1\"/></cols>";
    look.tail = "<mergeCells count=\"1\"><mergeCell ref=\"A" + QByteArray::number(noteRow) + ":F"
                + QByteArray::number(noteRow) + "\"/></mergeCells>";
    const QByteArray lastPerson = QByteArray::number(people + 1);
    if (sheet == 0) {
        const QByteArray money = columnLetters(kMoneyColumn).toLatin1();
        look.tail += "<conditionalFormatting sqref=\"" + money + "2:" + money + lastPerson
                     + "\"><cfRule type=\"cellIs\" dxfId=\"0\" priority=\"1\" operator=\"greaterThan\">"
                       "<formula>20000</formula></cfRule></conditionalFormatting>";
    } else {
        look.tail +=
            "<dataValidations count=\"1\"><dataValidation type=\"list\" allowBlank=\"1\" showInputMessage=\"1\" "
            "showErrorMessage=\"1\" sqref=\"C2:C"
            + lastPerson
            + "\"><formula1>\"销售部,财务部,研发2部\"</formula1>"
              "</dataValidation></dataValidations>";
    }
    look.tail += "<pageMargins left=\"0.7\" right=\"0.7\" top=\"0.75\" bottom=\"0.75\" header=\"0.3\" footer=\"0.3\"/>"
                 "<pageSetup paperSize=\"9\" orientation=\"landscape\"/>";
    return look;
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

bool write(const QString& path, bool withDataConnection)
{
    const QStringList names = sheetNames();
    XlsxLook look;
    look.styles = styles();
    look.sheets = {sheetLook(0, 40), sheetLook(1, 30)};
    look.head = "<bookViews><workbookView activeTab=\"1\"/></bookViews>";
    look.tail = "<definedNames><definedName name=\"税率\">0.13</definedName></definedNames>";
    if (withDataConnection)
        look.connections =
            "<connections xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">"
            "<connection id=\"1\" name=\"销售库\" type=\"1\" refreshedVersion=\"6\" saveData=\"1\">"
            "<dbPr connection=\"DSN=销售库;\" command=\"SELECT * FROM 名单\"/></connection></connections>";
    return writeXlsx(path, {sheetContent(names.at(0), 0, 40), sheetContent(names.at(1), 1, 30)}, look);
}

bool writeAs(const QString& path)
{
    if (path.endsWith(QLatin1String(".xlsx"), Qt::CaseInsensitive))
        return write(path);
    const QString xlsx = path + QStringLiteral(".xlsx");
    return write(xlsx) && convertWorkbook(xlsx, path);
}

} // namespace ChineseOfficeBook
