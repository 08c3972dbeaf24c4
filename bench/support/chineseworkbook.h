#pragma once
// Workbooks like the users' own: Chinese texts, a bold column, a filled money column with a
// number format, a date column, a formula column, defined names and, optionally, a summary sheet
// whose formulas point at every data sheet. Written as flat ODF XML and converted by the office
// into the format of the path's extension, so styles and formulas come out as the office writes
// them.

#include <QList>
#include <QString>
#include <QStringList>
#include <QtGlobal>

namespace benchutil {

struct ChineseSheet
{
    QString name;
    int rows = 0;         // data rows under the title row
    quint32 seed = 1;     // the same seed gives the same rows
    int distinctKeys = 0; // values of the key column (B); 0: a quarter of the rows
};

// Columns of every data sheet: 序号, 客户编号 (the key), 姓名 (bold), 部门, 日期 (date format),
// 金额 (filled, #,##0.00), 含税金额 (=金额*(1+税率), #,##0.00).
QStringList chineseTitles();
// Column B's title, the key the comparer counts.
constexpr int kChineseKeyColumn = 2;

// Sheet names for the split benchmarks: 北京分公司001, 上海分公司002, ...
QStringList chineseSheetNames(int count);

// Writes the workbook (.xlsx, .xls or .ods by the path's extension) through the office; the
// summary sheet 汇总, when asked for, comes first. True when the file was written.
bool writeChineseWorkbook(const QString& path, const QList<ChineseSheet>& sheets, bool withSummary);

} // namespace benchutil
