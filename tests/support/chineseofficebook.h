#pragma once
// A workbook written the way a Chinese Excel writes one: texts in Windows' Chinese fonts and in
// Latin fonts holding Chinese, a frozen title row, a zoom, hidden grid lines, the second sheet
// active, a defined name, a list validation, a conditional format, a merged title and number
// formats. The office has never touched it, so it shows what a save through the office changes.

#include <QString>
#include <QStringList>

namespace ChineseOfficeBook {

// The fonts of columns A, B, ... of every sheet, one column each.
QStringList columnFonts();
// The sheets: 名单 (40 people) and 报名 (30, some of them the same). Column A of both holds
// the names the comparer counts; column C of 报名 holds one of three departments.
QStringList sheetNames();
constexpr int kTitleRows = 1;

// Writes the .xlsx; true when it was written. With a data connection (a query of a database), the
// workbook holds something a save through the office drops.
bool write(const QString& path, bool withDataConnection = false);
// The same book in the format of the path's extension (.xlsx, .ods, .xls): written as an .xlsx
// beside it and converted through the office.
bool writeAs(const QString& path);

} // namespace ChineseOfficeBook
