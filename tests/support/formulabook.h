#pragma once
// Workbooks like the reports users split, for the column split's tests and benchmark, written as
// Excel writes them: shared texts, styles, rows without heights of their own under an 11 pt
// default (13.8 pt rows), an optional merged report line, and a formula per data row on its own
// row and one on another sheet. Cell values alone cannot carry formulas, styles or merged cells,
// so the package is put together here rather than through the office.

#include <QString>
#include <QStringList>

namespace FormulaBook {

struct Layout
{
    int dataRows = 100;
    QStringList values;            // the reference column (B) draws from these at random
    bool mergedTitle = true;       // A1:F1 merged above the title row
    bool chineseTexts = true;      // column C names a customer in Chinese, else in ASCII
    bool ownRowFormula = true;     // E = D * 12.5 on its own row, else the number
    bool otherSheetFormula = true; // F = E * (1 + 税率!$B$1), else the number
    bool runningTotal = false;     // G = G of the row above + E: a formula on another row
    // F = E * (1 + 增值税率), a defined name standing for 0.13 (Constant) or for 税率!$B$1 (Cell)
    // instead of the reference to the other sheet.
    enum class RateName { None, Constant, Cell } rateName = RateName::None;
    // As real reports have them: two data rows of their own height (wrapped text), one hidden row
    // in every hundred, a merged note below the total line, conditional formats over the data
    // rows (one anchored to its own row), a validation and manual page breaks cutting the data rows in eight.
    bool rowsOfTheirOwn = false;
    quint32 seed = 20240607;
};

// Row 1 a report line, row 2 the titles, data rows 3 .. dataRows + 2, a total line after them.
inline int titleRow()
{
    return 2;
}
inline int lastDataRow(const Layout& layout)
{
    return layout.dataRows + 2;
}
inline QString sheetName()
{
    return QStringLiteral("Data");
}
inline QString lastColumn(const Layout& layout)
{
    return layout.runningTotal ? QStringLiteral("G") : QStringLiteral("F");
}

// Writes the workbook as an .xlsx file: the sheet Data, then 税率 with the rate in B1. True on success.
bool write(const QString& path, const Layout& layout);

} // namespace FormulaBook
