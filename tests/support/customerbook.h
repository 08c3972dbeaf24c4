#pragma once
// Workbooks of customer records like the users' own, for the benchmarks: Chinese texts, a bold
// column, a filled money column with a number format, a date column, a formula column, defined
// names and, optionally, a summary sheet whose formulas point at every data sheet. The office
// saves them in the format of the path's extension, so styles and formulas come out as the
// office writes them.

#include "workbookwriter.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QtGlobal>

namespace CustomerBook {

// Columns of every data sheet: 序号, 客户编号 (the key), 姓名 (bold), 部门, 日期 (date format),
// 金额 (filled, #,##0.00), 含税金额 (=金额*(1+税率), #,##0.00).
QStringList titles();
// Column B's title, the key the comparer counts.
constexpr int kKeyColumn = 2;

// Sheet names for the split benchmarks: 北京分公司001, 上海分公司002, ...
QStringList branchNames(int count);

// A data sheet: the title row and `rows` records. The same seed gives the same records; the key
// column draws from `distinctKeys` values (0: a quarter of the rows).
SheetContent dataSheet(const QString& name, int rows, quint32 seed, int distinctKeys = 0);

// Writes the workbook (.xlsx, .xls or .ods by the path's extension) through the office; the
// summary sheet 汇总, when asked for, comes first. True when the file was written.
bool write(const QString& path, const QList<SheetContent>& dataSheets, bool withSummary);

} // namespace CustomerBook
