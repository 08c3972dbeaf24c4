#include "customerbook.h"

#include "excelop/cellref.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <algorithm>

namespace CustomerBook {

namespace {

const QStringList kSurnames = {"王", "李", "张", "刘", "陈", "杨", "黄", "赵", "吴", "周",
                               "徐", "孙", "马", "朱", "胡", "郭", "何", "高", "林", "罗"};
const QStringList kGivenNames = {"伟", "芳", "娜", "秀英", "敏", "静", "丽", "强", "磊",   "军",
                                 "洋", "勇", "艳", "杰",   "娟", "涛", "明", "超", "秀兰", "霞"};
const QStringList kDepartments = {"销售部", "市场部", "财务部", "人事部", "技术部", "客服部", "采购部", "行政部"};
const QStringList kCities = {"北京", "上海", "广州", "深圳", "杭州", "南京", "成都", "武汉", "西安", "重庆"};

constexpr int kFirstDay = 45292; // 2024-01-01 as the office counts days
const QString kSummary = QStringLiteral("汇总");

// The formats: 0 plain, 1 title, 2 bold, 3 money, 4 amount, 5 date.
enum Format { Plain, Title, Bold, Money, Amount, Date };
const QByteArray kStyles =
    "<styleSheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">"
    "<numFmts count=\"2\"><numFmt numFmtId=\"164\" formatCode=\"#,##0.00\"/><numFmt numFmtId=\"165\" "
    "formatCode=\"yyyy\\-mm\\-dd\"/></numFmts>"
    "<fonts count=\"2\"><font><sz val=\"11\"/><name val=\"等线\"/><family val=\"2\"/><charset val=\"134\"/></font>"
    "<font><b/><sz val=\"11\"/><name val=\"等线\"/><family val=\"2\"/><charset val=\"134\"/></font></fonts>"
    "<fills count=\"4\"><fill><patternFill patternType=\"none\"/></fill><fill><patternFill "
    "patternType=\"gray125\"/></fill>"
    "<fill><patternFill patternType=\"solid\"><fgColor rgb=\"FFDDEBF7\"/><bgColor indexed=\"64\"/></patternFill></fill>"
    "<fill><patternFill patternType=\"solid\"><fgColor rgb=\"FFFFF2CC\"/><bgColor "
    "indexed=\"64\"/></patternFill></fill></fills>"
    "<borders count=\"1\"><border><left/><right/><top/><bottom/><diagonal/></border></borders>"
    "<cellStyleXfs count=\"1\"><xf numFmtId=\"0\" fontId=\"0\" fillId=\"0\" borderId=\"0\"/></cellStyleXfs>"
    "<cellXfs count=\"6\">"
    "<xf numFmtId=\"0\" fontId=\"0\" fillId=\"0\" borderId=\"0\" xfId=\"0\"/>"
    "<xf numFmtId=\"0\" fontId=\"1\" fillId=\"2\" borderId=\"0\" xfId=\"0\" applyFont=\"1\" applyFill=\"1\"/>"
    "<xf numFmtId=\"0\" fontId=\"1\" fillId=\"0\" borderId=\"0\" xfId=\"0\" applyFont=\"1\"/>"
    "<xf numFmtId=\"164\" fontId=\"0\" fillId=\"3\" borderId=\"0\" xfId=\"0\" applyNumberFormat=\"1\" applyFill=\"1\"/>"
    "<xf numFmtId=\"164\" fontId=\"0\" fillId=\"0\" borderId=\"0\" xfId=\"0\" applyNumberFormat=\"1\"/>"
    "<xf numFmtId=\"165\" fontId=\"0\" fillId=\"0\" borderId=\"0\" xfId=\"0\" applyNumberFormat=\"1\"/>"
    "</cellXfs>"
    "<cellStyles count=\"1\"><cellStyle name=\"常规\" xfId=\"0\" builtinId=\"0\"/></cellStyles></styleSheet>";

QString number(double value)
{
    return QString::number(value, 'g', 15);
}

QString quoted(const QString& sheet)
{
    return QLatin1Char('\'') + QString(sheet).replace(QLatin1Char('\''), QStringLiteral("''")) + QLatin1Char('\'');
}

SheetLook dataLook()
{
    SheetLook look;
    look.style = [](int row, int column) {
        static const int kColumnFormats[] = {Plain, Plain, Bold, Plain, Date, Money, Amount};
        return row == 1 ? int(Title) : kColumnFormats[column - 1];
    };
    look.formula = [](int row, int column) {
        return row > 1 && column == 7 ? QStringLiteral("F%1*(1+税率)").arg(row) : QString();
    };
    look.head = "<cols><col min=\"1\" max=\"1\" width=\"8\" customWidth=\"1\"/>"
                "<col min=\"2\" max=\"7\" width=\"14\" customWidth=\"1\"/></cols>";
    return look;
}

// A row per data sheet: its record count and sums, then the totals of those.
SheetContent summarySheet(const QList<SheetContent>& dataSheets)
{
    SheetContent summary{kSummary, {{"分公司", "笔数", "金额合计", "含税合计"}}};
    double records = 0;
    double money = 0;
    double amounts = 0;
    for (const SheetContent& sheet : dataSheets) {
        double sheetMoney = 0;
        double sheetAmounts = 0;
        for (const QStringList& row : sheet.rows.mid(1)) {
            sheetMoney += row.value(5).toDouble();
            sheetAmounts += row.value(6).toDouble();
        }
        const int count = sheet.rows.size() - 1;
        summary.rows.append({sheet.name, QString::number(count), number(sheetMoney), number(sheetAmounts)});
        records += count;
        money += sheetMoney;
        amounts += sheetAmounts;
    }
    summary.rows.append({QStringLiteral("合计"), number(records), number(money), number(amounts)});
    return summary;
}

SheetLook summaryLook(const QList<SheetContent>& dataSheets)
{
    const int totalRow = dataSheets.size() + 2;
    SheetLook look;
    look.style = [totalRow](int row, int column) {
        static const int kColumnFormats[] = {Bold, Plain, Money, Amount};
        if (row == 1 || (row == totalRow && column == 1))
            return int(Title);
        return kColumnFormats[column - 1];
    };
    QStringList names;
    QList<int> lastRows;
    for (const SheetContent& sheet : dataSheets) {
        names.append(quoted(sheet.name));
        lastRows.append(sheet.rows.size());
    }
    look.formula = [totalRow, names, lastRows](int row, int column) {
        static const char* const kColumns[] = {"", "A", "F", "G"};
        static const char* const kFunctions[] = {"", "COUNTA", "SUM", "SUM"};
        if (row == 1 || column == 1)
            return QString();
        const QString letter = QString::fromLatin1(kColumns[column - 1]);
        if (row == totalRow)
            return QStringLiteral("SUM(%1:%2)")
                .arg(columnLetters(column) + QStringLiteral("2"))
                .arg(columnLetters(column) + QString::number(totalRow - 1));
        return QStringLiteral("%1(%2!$%3$2:$%3$%4)")
            .arg(QString::fromLatin1(kFunctions[column - 1]), names.at(row - 2), letter)
            .arg(lastRows.at(row - 2));
    };
    look.head = "<cols><col min=\"1\" max=\"4\" width=\"14\" customWidth=\"1\"/></cols>";
    return look;
}

} // namespace

QStringList titles()
{
    return {QStringLiteral("序号"), QStringLiteral("客户编号"), QStringLiteral("姓名"),    QStringLiteral("部门"),
            QStringLiteral("日期"), QStringLiteral("金额"),     QStringLiteral("含税金额")};
}

QStringList branchNames(int count)
{
    QStringList names;
    for (int i = 0; i < count; ++i)
        names.append(
            QStringLiteral("%1分公司%2").arg(kCities.at(i % kCities.size())).arg(i + 1, 3, 10, QLatin1Char('0')));
    return names;
}

SheetContent dataSheet(const QString& name, int rows, quint32 seed, int distinctKeys)
{
    QRandomGenerator random(seed);
    const int distinct = distinctKeys > 0 ? distinctKeys : std::max(1, rows / 4);
    SheetContent sheet{name, {titles()}};
    sheet.rows.reserve(rows + 1);
    for (int r = 1; r <= rows; ++r) {
        const QString key = QStringLiteral("客户%1").arg(random.bounded(distinct), 6, 10, QLatin1Char('0'));
        const QString surname = kSurnames.at(random.bounded(kSurnames.size()));
        const QString person = surname + kGivenNames.at(random.bounded(kGivenNames.size()));
        const QString department = kDepartments.at(random.bounded(kDepartments.size()));
        const int day = kFirstDay + random.bounded(366);
        const double money = double(random.bounded(10000000)) / 100;
        sheet.rows.append(
            {QString::number(r), key, person, department, QString::number(day), number(money), number(money * 1.13)});
    }
    return sheet;
}

bool write(const QString& path, const QList<SheetContent>& dataSheets, bool withSummary)
{
    QList<SheetContent> sheets;
    XlsxLook look;
    look.styles = kStyles;
    if (withSummary) {
        sheets.append(summarySheet(dataSheets));
        look.sheets.append(summaryLook(dataSheets));
    }
    for (const SheetContent& sheet : dataSheets) {
        sheets.append(sheet);
        look.sheets.append(dataLook());
    }
    // A constant every formula column uses, and a range on the summary sheet.
    look.tail = "<definedNames>";
    if (withSummary)
        look.tail += "<definedName name=\"分公司合计\">" + quoted(kSummary).toUtf8() + "!$C$2:$C$"
                     + QByteArray::number(dataSheets.size() + 1) + "</definedName>";
    look.tail += "<definedName name=\"税率\">0.13</definedName></definedNames>";

    const QString target = QFileInfo(path).absoluteFilePath();
    const QString package = target + QStringLiteral(".source.xlsx");
    QFile::remove(target);
    const bool written = writeXlsx(package, sheets, look) && convertWorkbook(package, target);
    QFile::remove(package);
    return written && QFileInfo(target).size() > 0;
}

} // namespace CustomerBook
