#include "formulabook.h"

#include "workbookwriter.h"

#include <QRandomGenerator>

namespace FormulaBook {

namespace {

QString customerName(int k, bool chinese)
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

// The formats: 0 plain, 1 report line, 2 titles, 3 reference column, 4 amount, 5 amount with tax.
const QByteArray kStyles =
    "<styleSheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">"
    "<numFmts count=\"1\"><numFmt numFmtId=\"164\" formatCode=\"#,##0.00\"/></numFmts>"
    "<fonts count=\"4\">"
    "<font><sz val=\"11\"/><name val=\"等线\"/><family val=\"2\"/><charset val=\"134\"/></font>"
    "<font><b/><sz val=\"16\"/><name val=\"等线\"/><family val=\"2\"/><charset val=\"134\"/></font>"
    "<font><b/><sz val=\"11\"/><name val=\"等线\"/><family val=\"2\"/><charset val=\"134\"/></font>"
    "<font><sz val=\"11\"/><color rgb=\"FFC00000\"/><name val=\"等线\"/><family val=\"2\"/><charset "
    "val=\"134\"/></font>"
    "</fonts>"
    "<fills count=\"5\"><fill><patternFill patternType=\"none\"/></fill><fill><patternFill "
    "patternType=\"gray125\"/></fill>"
    "<fill><patternFill patternType=\"solid\"><fgColor rgb=\"FFDDEBF7\"/><bgColor indexed=\"64\"/></patternFill></fill>"
    "<fill><patternFill patternType=\"solid\"><fgColor rgb=\"FFFFF2CC\"/><bgColor indexed=\"64\"/></patternFill></fill>"
    "<fill><patternFill patternType=\"solid\"><fgColor rgb=\"FFE2EFDA\"/><bgColor indexed=\"64\"/></patternFill></fill>"
    "</fills>"
    "<borders count=\"2\"><border><left/><right/><top/><bottom/><diagonal/></border>"
    "<border><left style=\"thin\"><color indexed=\"64\"/></left><right style=\"thin\"><color indexed=\"64\"/></right>"
    "<top style=\"thin\"><color indexed=\"64\"/></top><bottom style=\"thin\"><color "
    "indexed=\"64\"/></bottom><diagonal/></border>"
    "</borders>"
    "<cellStyleXfs count=\"1\"><xf numFmtId=\"0\" fontId=\"0\" fillId=\"0\" borderId=\"0\"/></cellStyleXfs>"
    "<cellXfs count=\"6\">"
    "<xf numFmtId=\"0\" fontId=\"0\" fillId=\"0\" borderId=\"0\" xfId=\"0\"/>"
    "<xf numFmtId=\"0\" fontId=\"1\" fillId=\"0\" borderId=\"0\" xfId=\"0\" applyFont=\"1\" applyAlignment=\"1\">"
    "<alignment horizontal=\"center\"/></xf>"
    "<xf numFmtId=\"0\" fontId=\"2\" fillId=\"2\" borderId=\"1\" xfId=\"0\" applyFont=\"1\" applyFill=\"1\" "
    "applyBorder=\"1\"/>"
    "<xf numFmtId=\"0\" fontId=\"0\" fillId=\"3\" borderId=\"0\" xfId=\"0\" applyFill=\"1\"/>"
    "<xf numFmtId=\"164\" fontId=\"0\" fillId=\"0\" borderId=\"1\" xfId=\"0\" applyNumberFormat=\"1\" "
    "applyBorder=\"1\"/>"
    "<xf numFmtId=\"164\" fontId=\"3\" fillId=\"4\" borderId=\"0\" xfId=\"0\" applyNumberFormat=\"1\" applyFont=\"1\" "
    "applyFill=\"1\"/>"
    "</cellXfs>"
    "<cellStyles count=\"1\"><cellStyle name=\"常规\" xfId=\"0\" builtinId=\"0\"/></cellStyles>"
    "<dxfs count=\"2\"><dxf><fill><patternFill><bgColor rgb=\"FFFFC7CE\"/></patternFill></fill></dxf>"
    "<dxf><font><b/><color rgb=\"FF9C0006\"/></font></dxf></dxfs>"
    "</styleSheet>\n";

const QByteArray kMargins =
    "<pageMargins left=\"0.7\" right=\"0.7\" top=\"0.75\" bottom=\"0.75\" header=\"0.3\" footer=\"0.3\"/>";

QString number(double value)
{
    return QString::number(value, 'g', 15);
}

SheetContent dataSheet(const Layout& layout)
{
    QRandomGenerator random(layout.seed);
    const int width = layout.runningTotal ? 7 : 6;
    SheetContent sheet{sheetName(), {}};
    QStringList report{layout.chineseTexts ? QStringLiteral("2024年销售明细表") : QStringLiteral("Sales 2024")};
    if (layout.mergedTitle)
        while (report.size() < width)
            report.append(QString()); // formatted as the report line, under the merge
    sheet.rows.append(report);
    QStringList titles = layout.chineseTexts
                             ? QStringList{"编号", "地区", "客户名称", "数量", "金额", "含税金额"}
                             : QStringList{"id", "region", "customer", "quantity", "amount", "with tax"};
    if (layout.runningTotal)
        titles.append(layout.chineseTexts ? QStringLiteral("累计") : QStringLiteral("running"));
    sheet.rows.append(titles);
    double runningTotal = 0;
    for (int k = 0; k < layout.dataRows; ++k) {
        const int quantity = int(random.bounded(1u, 500u));
        const double amount = quantity * 12.5;
        QStringList row{QStringLiteral("NO%1").arg(k + 1, 6, 10, QLatin1Char('0')),
                        layout.values.at(int(random.bounded(quint32(layout.values.size())))),
                        customerName(k, layout.chineseTexts),
                        QString::number(quantity),
                        number(amount),
                        number(amount * 1.13)};
        runningTotal += amount;
        if (layout.runningTotal)
            row.append(number(runningTotal));
        sheet.rows.append(row);
    }
    sheet.rows.append({layout.chineseTexts ? QStringLiteral("合计") : QStringLiteral("total")});
    if (layout.rowsOfTheirOwn)
        sheet.rows.append({layout.chineseTexts ? QStringLiteral("注：金额单位为元，含税金额按13%计算。")
                                               : QStringLiteral("Note: amounts in yuan, tax at 13%.")});
    return sheet;
}

// As reports have them: a row marked where its amount is large, big amounts in bold, and the
// reference column picked from a list.
QByteArray conditionsAndValidation(int firstData, int lastData)
{
    const QByteArray first = QByteArray::number(firstData);
    const QByteArray last = QByteArray::number(lastData);
    const QByteArray middle = QByteArray::number((firstData + lastData) / 2);
    // In pieces, as rows inserted and pasted over the years leave a format.
    return "<conditionalFormatting sqref=\"A" + first + ":C" + last + " D" + first + ":F" + middle + " D" + middle
           + ":F" + last + "\"><cfRule type=\"expression\" dxfId=\"0\" priority=\"2\"><formula>$E" + first
           + "&gt;1000</formula></cfRule></conditionalFormatting>"
             "<conditionalFormatting sqref=\"F"
           + first + ":F" + last
           + "\"><cfRule type=\"cellIs\" dxfId=\"1\" priority=\"1\" operator=\"greaterThan\">"
             "<formula>1100</formula></cfRule></conditionalFormatting>"
             "<dataValidations count=\"1\"><dataValidation type=\"textLength\" operator=\"lessThan\" "
             "allowBlank=\"1\" sqref=\"B"
           + first + ":B" + last + "\"><formula1>20</formula1></dataValidation></dataValidations>";
}

// Manual page breaks splitting the data rows in eight, as reports printed by sections have them.
QByteArray pageBreaks(int firstData, int lastData)
{
    QByteArray breaks;
    int count = 0;
    const int section = qMax(2, (lastData - firstData + 1) / 8);
    for (int row = firstData + section; row <= lastData; row += section, ++count)
        breaks += "<brk id=\"" + QByteArray::number(row - 1) + "\" max=\"16383\" man=\"1\"/>";
    if (count == 0)
        return {};
    return "<rowBreaks count=\"" + QByteArray::number(count) + "\" manualBreakCount=\"" + QByteArray::number(count)
           + "\">" + breaks + "</rowBreaks>";
}

SheetLook dataLook(const Layout& layout)
{
    SheetLook look;
    const int firstData = titleRow() + 1;
    const int lastData = lastDataRow(layout);
    look.style = [firstData, lastData](int row, int column) {
        static const int kColumnFormats[] = {0, 3, 0, 0, 4, 5, 4};
        if (row < firstData)
            return row; // the report line, then the titles
        return row <= lastData ? kColumnFormats[column - 1] : 0;
    };
    const QString rate =
        layout.rateName == Layout::RateName::None ? QStringLiteral("税率!$B$1") : QStringLiteral("增值税率");
    look.formula = [layout, firstData, lastData, rate](int row, int column) {
        if (row < firstData || row > lastData)
            return QString();
        if (column == 5 && layout.ownRowFormula)
            return QStringLiteral("D%1*12.5").arg(row);
        if (column == 6 && layout.otherSheetFormula)
            return QStringLiteral("E%1*(1+%2)").arg(row).arg(rate);
        if (column == 7)
            return row == firstData ? QStringLiteral("E%1").arg(row) : QStringLiteral("G%1+E%2").arg(row - 1).arg(row);
        return QString();
    };
    look.rowAttributes.insert(1, "ht=\"20.25\"");
    look.head = "<sheetViews><sheetView tabSelected=\"1\" workbookViewId=\"0\"/></sheetViews>"
                "<sheetFormatPr defaultRowHeight=\"13.8\"/>"
                "<cols><col min=\"3\" max=\"3\" width=\"28\" customWidth=\"1\"/><col min=\"5\" max=\"6\" width=\"12\" "
                "customWidth=\"1\"/></cols>";
    QByteArrayList merged;
    if (layout.mergedTitle)
        merged << "A1:" + lastColumn(layout).toLatin1() + "1";
    if (layout.rowsOfTheirOwn) {
        look.rowAttributes.insert(firstData + 2, "ht=\"30\" customHeight=\"1\"");
        look.rowAttributes.insert(lastData - 3, "ht=\"45\" customHeight=\"1\"");
        for (int row = firstData + 50; row <= lastData; row += 100)
            look.rowAttributes.insert(row, "hidden=\"1\"");
        const QByteArray note = QByteArray::number(lastData + 2);
        merged << "A" + note + ":" + lastColumn(layout).toLatin1() + note;
    }
    if (!merged.isEmpty()) {
        look.tail = "<mergeCells count=\"" + QByteArray::number(merged.size()) + "\">";
        for (const QByteArray& area : merged)
            look.tail += "<mergeCell ref=\"" + area + "\"/>";
        look.tail += "</mergeCells>";
    }
    if (layout.rowsOfTheirOwn)
        look.tail += conditionsAndValidation(firstData, lastData);
    look.tail += kMargins;
    if (layout.rowsOfTheirOwn)
        look.tail += pageBreaks(firstData, lastData);
    return look;
}

} // namespace

bool write(const QString& path, const Layout& layout)
{
    SheetLook rates;
    rates.head = "<sheetFormatPr defaultRowHeight=\"13.8\"/>";
    rates.tail = kMargins;
    XlsxLook look;
    look.styles = kStyles;
    look.sheets = {dataLook(layout), rates};
    if (layout.rateName != Layout::RateName::None)
        look.tail = "<definedNames><definedName name=\"增值税率\">"
                    + QByteArray(layout.rateName == Layout::RateName::Constant ? "0.13" : "税率!$B$1")
                    + "</definedName></definedNames>";
    return writeXlsx(
        path, {dataSheet(layout), SheetContent{QStringLiteral("税率"), {{QStringLiteral("增值税"), "0.13"}}}}, look);
}

} // namespace FormulaBook
