#include "chineseworkbook.h"

#include "automation/axobject.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <memory>

namespace benchutil {

namespace {

const QStringList kSurnames = {"王", "李", "张", "刘", "陈", "杨", "黄", "赵", "吴", "周",
                               "徐", "孙", "马", "朱", "胡", "郭", "何", "高", "林", "罗"};
const QStringList kGivenNames = {"伟", "芳", "娜", "秀英", "敏", "静", "丽", "强", "磊", "军",
                                 "洋", "勇", "艳", "杰", "娟", "涛", "明", "超", "秀兰", "霞"};
const QStringList kDepartments = {"销售部", "市场部", "财务部", "人事部", "技术部", "客服部", "采购部", "行政部"};
const QStringList kCities = {"北京", "上海", "广州", "深圳", "杭州", "南京", "成都", "武汉", "西安", "重庆"};

// Short namespace prefixes keep a workbook of 200,000 rows within reach of the office's reader.
const char* const kHeader = R"(<?xml version="1.0" encoding="UTF-8"?>
<office:document xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0"
 xmlns:style="urn:oasis:names:tc:opendocument:xmlns:style:1.0"
 xmlns:text="urn:oasis:names:tc:opendocument:xmlns:text:1.0"
 xmlns:table="urn:oasis:names:tc:opendocument:xmlns:table:1.0"
 xmlns:o="urn:oasis:names:tc:opendocument:xmlns:office:1.0"
 xmlns:x="urn:oasis:names:tc:opendocument:xmlns:text:1.0"
 xmlns:t="urn:oasis:names:tc:opendocument:xmlns:table:1.0"
 xmlns:fo="urn:oasis:names:tc:opendocument:xmlns:xsl-fo-compatible:1.0"
 xmlns:number="urn:oasis:names:tc:opendocument:xmlns:datastyle:1.0"
 xmlns:of="urn:oasis:names:tc:opendocument:xmlns:of:1.2"
 office:version="1.2" office:mimetype="application/vnd.oasis.opendocument.spreadsheet">
<office:automatic-styles>
<number:number-style style:name="N2"><number:number number:decimal-places="2" number:min-integer-digits="1" number:grouping="true"/></number:number-style>
<number:date-style style:name="D1"><number:year number:style="long"/><number:text>-</number:text><number:month number:style="long"/><number:text>-</number:text><number:day number:style="long"/></number:date-style>
<style:style style:name="narrow" style:family="table-column"><style:table-column-properties style:column-width="1.8cm"/></style:style>
<style:style style:name="wide" style:family="table-column"><style:table-column-properties style:column-width="3.2cm"/></style:style>
<style:style style:name="title" style:family="table-cell"><style:table-cell-properties fo:background-color="#ddebf7"/><style:text-properties fo:font-weight="bold" style:font-weight-asian="bold"/></style:style>
<style:style style:name="bold" style:family="table-cell"><style:text-properties fo:font-weight="bold" style:font-weight-asian="bold"/></style:style>
<style:style style:name="money" style:family="table-cell" style:data-style-name="N2"><style:table-cell-properties fo:background-color="#fff2cc"/></style:style>
<style:style style:name="amount" style:family="table-cell" style:data-style-name="N2"/>
<style:style style:name="date" style:family="table-cell" style:data-style-name="D1"/>
</office:automatic-styles>
<office:body><office:spreadsheet>
)";

class FlatXml
{
public:
    void raw(const char* text) { bytes.append(text); }
    void raw(const QString& text) { bytes.append(text.toUtf8()); }

    void text(const QString& value, const char* style = nullptr)
    {
        bytes.append("<t:table-cell o:value-type=\"string\"");
        styleAttribute(style);
        bytes.append("><x:p>");
        bytes.append(value.toHtmlEscaped().toUtf8());
        bytes.append("</x:p></t:table-cell>");
    }

    // Numbers and dates need no shown text: the office makes it from the value and the format.
    void number(double value, const char* style = nullptr)
    {
        bytes.append("<t:table-cell o:value-type=\"float\" o:value=\"" + QByteArray::number(value, 'g', 15) + "\"");
        styleAttribute(style);
        bytes.append("/>");
    }

    void date(const QDate& value)
    {
        bytes.append("<t:table-cell t:style-name=\"date\" o:value-type=\"date\" o:date-value=\""
                     + value.toString(Qt::ISODate).toUtf8() + "\"/>");
    }

    // No cached result: the office computes it on loading.
    void formula(const QString& openFormula, const char* style = nullptr)
    {
        bytes.append("<t:table-cell t:formula=\"");
        bytes.append(openFormula.toHtmlEscaped().toUtf8());
        bytes.append("\"");
        styleAttribute(style);
        bytes.append("/>");
    }

    QByteArray bytes;

private:
    void styleAttribute(const char* style)
    {
        if (style)
            bytes.append(QByteArray(" t:style-name=\"") + style + "\"");
    }
};

QString sheetReference(const QString& sheet, const QString& from, const QString& to)
{
    return QStringLiteral("[$'%1'.%2:.%3]").arg(sheet, from, to);
}

void writeSummary(FlatXml& xml, const QList<ChineseSheet>& sheets)
{
    xml.raw("<table:table table:name=\"汇总\">"
            "<table:table-column table:style-name=\"wide\" table:number-columns-repeated=\"4\"/>");
    xml.raw("<t:table-row>");
    for (const char* title : {"分公司", "笔数", "金额合计", "含税合计"})
        xml.text(QString::fromUtf8(title), "title");
    xml.raw("</t:table-row>");
    for (const ChineseSheet& sheet : sheets) {
        const QString last = QString::number(sheet.rows + 1);
        xml.raw("<t:table-row>");
        xml.text(sheet.name, "bold");
        xml.formula(QStringLiteral("of:=COUNTA(%1)").arg(sheetReference(sheet.name, "$A$2", "$A$" + last)));
        xml.formula(QStringLiteral("of:=SUM(%1)").arg(sheetReference(sheet.name, "$F$2", "$F$" + last)), "money");
        xml.formula(QStringLiteral("of:=SUM(%1)").arg(sheetReference(sheet.name, "$G$2", "$G$" + last)), "amount");
        xml.raw("</t:table-row>");
    }
    const QString lastRow = QString::number(sheets.size() + 1);
    xml.raw("<t:table-row>");
    xml.text(QStringLiteral("合计"), "title");
    xml.formula(QStringLiteral("of:=SUM([.B2:.B%1])").arg(lastRow));
    xml.formula(QStringLiteral("of:=SUM([.C2:.C%1])").arg(lastRow), "money");
    xml.formula(QStringLiteral("of:=SUM([.D2:.D%1])").arg(lastRow), "amount");
    xml.raw("</t:table-row></table:table>\n");
}

void writeDataSheet(FlatXml& xml, const ChineseSheet& sheet)
{
    QRandomGenerator random(sheet.seed);
    const int distinct = sheet.distinctKeys > 0 ? sheet.distinctKeys : std::max(1, sheet.rows / 4);
    const QDate firstDay(2024, 1, 1);
    xml.raw(QStringLiteral("<table:table table:name=\"%1\">").arg(sheet.name.toHtmlEscaped()));
    xml.raw("<table:table-column table:style-name=\"narrow\"/>"
            "<table:table-column table:style-name=\"wide\" table:number-columns-repeated=\"6\"/>");
    xml.raw("<t:table-row>");
    for (const QString& title : chineseTitles())
        xml.text(title, "title");
    xml.raw("</t:table-row>\n");
    for (int r = 1; r <= sheet.rows; ++r) {
        const int row = r + 1;
        xml.raw("<t:table-row>");
        xml.number(r);
        xml.text(QStringLiteral("客户%1").arg(random.bounded(distinct), 6, 10, QLatin1Char('0')));
        xml.text(kSurnames.at(random.bounded(kSurnames.size())) + kGivenNames.at(random.bounded(kGivenNames.size())),
                 "bold");
        xml.text(kDepartments.at(random.bounded(kDepartments.size())));
        xml.date(firstDay.addDays(random.bounded(366)));
        xml.number(double(random.bounded(10000000)) / 100, "money");
        xml.formula(QStringLiteral("of:=[.F%1]*(1+税率)").arg(row), "amount");
        xml.raw("</t:table-row>\n");
    }
    xml.raw("</table:table>\n");
}

QByteArray flatWorkbook(const QList<ChineseSheet>& sheets, bool withSummary)
{
    FlatXml xml;
    xml.raw(kHeader);
    if (withSummary)
        writeSummary(xml, sheets);
    for (const ChineseSheet& sheet : sheets)
        writeDataSheet(xml, sheet);
    // A constant every formula column uses, and a range on the summary sheet.
    xml.raw("<table:named-expressions>"
            "<table:named-expression table:name=\"税率\" table:base-cell-address=\"$'"
            + QString(withSummary ? QStringLiteral("汇总") : sheets.value(0).name).toHtmlEscaped()
            + "'.$A$1\" table:expression=\"of:=0.13\"/>");
    if (withSummary)
        xml.raw(QStringLiteral("<table:named-range table:name=\"分公司合计\" table:base-cell-address=\"$'汇总'.$C$2\" "
                               "table:cell-range-address=\"$'汇总'.$C$2:.$C$%1\"/>")
                    .arg(sheets.size() + 1));
    xml.raw("</table:named-expressions></office:spreadsheet></office:body></office:document>\n");
    return xml.bytes;
}

} // namespace

QStringList chineseTitles()
{
    return {QStringLiteral("序号"), QStringLiteral("客户编号"), QStringLiteral("姓名"), QStringLiteral("部门"),
            QStringLiteral("日期"), QStringLiteral("金额"), QStringLiteral("含税金额")};
}

QStringList chineseSheetNames(int count)
{
    QStringList names;
    for (int i = 0; i < count; ++i)
        names.append(QStringLiteral("%1分公司%2").arg(kCities.at(i % kCities.size())).arg(i + 1, 3, 10, QLatin1Char('0')));
    return names;
}

bool writeChineseWorkbook(const QString& path, const QList<ChineseSheet>& sheets, bool withSummary)
{
    const QString target = QFileInfo(path).absoluteFilePath();
    const QString flat = target + QStringLiteral(".fods");
    {
        QFile file(flat);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return false;
        const QByteArray bytes = flatWorkbook(sheets, withSummary);
        if (file.write(bytes) != bytes.size())
            return false;
    }
    QFile::remove(target);
    bool written = false;
    {
        AxObject application(QStringLiteral("Excel.Application"));
        std::unique_ptr<AxObject> workbooks(application.querySubObject("WorkBooks"));
        if (workbooks)
            workbooks->dynamicCall("Open(const QString&)", flat);
        std::unique_ptr<AxObject> workbook(application.querySubObject("ActiveWorkBook"));
        if (workbook) {
            AxObject* book = workbook.get();
            written = accepted(book, [book, &target] { book->dynamicCall("SaveAs(const QString&)", target); });
            workbook->dynamicCall("Close()");
        }
    }
    QFile::remove(flat);
    return written && QFileInfo(target).size() > 0;
}

} // namespace benchutil
