#include "tools/compare/spanningformulas.h"

#include "excelop/cellref.h"
#include "excelop/excelopkiv.h"
#include "tools/shared/formulareferences.h"

#include <QCoreApplication>
#include <QRegularExpression>
#include <algorithm>
#include <functional>

namespace {

int positionOf(const QStringList& sheetOrder, const QString& sheet)
{
    for (int k = 0; k < sheetOrder.size(); ++k)
        if (sheetOrder.at(k).compare(sheet, Qt::CaseInsensitive) == 0)
            return k;
    return -1;
}

// A cell as Excel names it: Sheet1!A3, 'My sheet'!A3.
QString cellName(const QString& sheet, int row, int column)
{
    const bool plain = std::all_of(sheet.cbegin(), sheet.cend(),
                                   [](QChar c) { return c.isLetterOrNumber() || c == QLatin1Char('_'); });
    QString quoted = sheet;
    quoted.replace(QLatin1Char('\''), QLatin1String("''"));
    return (plain ? sheet : QLatin1Char('\'') + quoted + QLatin1Char('\'')) + QLatin1Char('!') + columnLetters(column)
           + QString::number(row);
}

// The formulas of the sheet that may pass a test: those matching the office's search for the
// pattern, or every cell of the used area when the office cannot search.
QList<PlacedFormula> candidatesOf(SheetEntry& sheet, const QString& pattern)
{
    QList<PlacedFormula> found;
    if (sheet.formulasMatching(pattern, found))
        return found;
    const QList<QStringList> rows = sheet.usedAreaFormulas();
    for (int r = 0; r < rows.size(); ++r)
        for (int c = 0; c < rows.at(r).size(); ++c)
            found.append({r + 1, c + 1, rows.at(r).at(c)});
    return found;
}

// The cells (Sheet1!A3, in tab order, row by row) whose formulas pass the test, which gets the
// formula as the office writes it ({=...} for an array formula) and the formula's sheet. Only
// formulas matching the pattern (an ICU regular expression) can pass.
QStringList cellsWhoseFormula(ExcelOpKiv& book, const QString& pattern,
                              const std::function<bool(const QString&, const QString&)>& passes)
{
    QStringList cells;
    for (int k = 0; k < book.sheetCount(); ++k) {
        SheetEntry* sheet = book.sheetAt(k);
        if (!sheet || !sheet->holdsFormulas())
            continue;
        const QString sheetName = sheet->getSheetName();
        for (const PlacedFormula& cell : candidatesOf(*sheet, pattern)) {
            const QString& formula = cell.formula;
            const bool isFormula = formula.startsWith(QLatin1Char('=')) || formula.startsWith(QLatin1String("{="));
            if (isFormula && passes(formula, sheetName))
                cells.append(cellName(sheetName, cell.row, cell.column));
        }
    }
    return cells;
}

} // namespace

bool spansAnyOf(const QString& formula, const QStringList& sheetOrder, const QSet<int>& positions)
{
    for (const Reference& reference : readableReferences(formula)) {
        if (reference.first.sheet.isEmpty()
            || reference.last.sheet.compare(reference.first.sheet, Qt::CaseInsensitive) == 0)
            continue;
        const int from = positionOf(sheetOrder, reference.first.sheet);
        const int to = positionOf(sheetOrder, reference.last.sheet);
        if (from < 0 || to < 0)
            continue;
        for (const int position : positions)
            if (position >= std::min(from, to) && position <= std::max(from, to))
                return true;
    }
    return false;
}

SpanningFormulas formulasSpanning(ExcelOpKiv& book, const QStringList& sheetNames)
{
    const QStringList order = book.getSheetNames();
    QSet<int> positions;
    for (const QString& name : sheetNames)
        positions.insert(positionOf(order, name));
    positions.remove(-1);
    SpanningFormulas found;
    if (positions.isEmpty())
        return found;
    // A range over sheets names a sheet after its colon ($Sheet1.A1:$Sheet3.A1).
    if (book.formulasMaySpanSheets())
        found.cells = cellsWhoseFormula(book, QStringLiteral(":.*\\."), [&](const QString& formula, const QString&) {
            return spansAnyOf(formula, order, positions);
        });
    const QHash<QString, QString> names = book.definedNames();
    for (auto it = names.cbegin(); it != names.cend(); ++it) {
        const QString refersTo = it.value().startsWith(QLatin1Char('=')) ? it.value() : QLatin1Char('=') + it.value();
        if (spansAnyOf(refersTo, order, positions))
            found.names.append(it.key());
    }
    found.names.sort(Qt::CaseInsensitive);
    return found;
}

namespace {

// An .xls sheet's last column.
constexpr int kXlsLastColumn = 256;

// Whether the formula, as the office writes it, holds a whole-row range of an .xls ($A1:$IV4) or
// an intersection ("!" between two references, outside texts and error values).
bool breaksWhenAColumnIsInserted(const FormulaParts& parts, QString formula)
{
    for (const Reference& reference : parts.references)
        if (reference.first.hasRow && reference.first.column == 1 && reference.last.column == kXlsLastColumn)
            return true;
    static const QRegularExpression texts(QStringLiteral("\"[^\"]*\"|'[^']*'|#[A-Z/0]+[!?]"));
    return formula.remove(texts).contains(QLatin1Char('!'));
}

bool concernsAnyOf(const FormulaParts& parts, const QString& ownSheet, const QStringList& sheetNames)
{
    for (const QString& name : sheetNames)
        if (ownSheet.compare(name, Qt::CaseInsensitive) == 0 || parts.sheets.contains(name, Qt::CaseInsensitive))
            return true;
    return false;
}

} // namespace

QStringList formulasAnInsertBreaksInXls(ExcelOpKiv& book, const QStringList& sheetNames)
{
    // Whole rows end in column IV; an intersection is a "!".
    return cellsWhoseFormula(book, QStringLiteral("!|IV\\$?[0-9]"), [&](const QString& formula, const QString& sheet) {
        const FormulaParts parts = readFormulaParts(formula);
        return breaksWhenAColumnIsInserted(parts, formula) && concernsAnyOf(parts, sheet, sheetNames);
    });
}

QString spanningExplanation(const SpanningFormulas& found)
{
    if (found.isEmpty())
        return QString();
    constexpr int kCellsNamed = 5;
    //: Between the cells or names a message lists.
    const QString separator = QCoreApplication::translate("DuZozodKiv", "、");
    QStringList parts;
    if (!found.cells.isEmpty()) {
        const QString cells = found.cells.mid(0, kCellsNamed).join(separator);
        //: %1 the first cells, %2 how many there are in all.
        const QString more = QCoreApplication::translate("DuZozodKiv", "%1等共%2个单元格");
        parts.append(found.cells.size() <= kCellsNamed ? cells : more.arg(cells, QString::number(found.cells.size())));
    }
    //: %1 defined names of the workbook.
    if (!found.names.isEmpty())
        parts.append(QCoreApplication::translate("DuZozodKiv", "名称%1").arg(found.names.join(separator)));
    //: %1 the cells and names whose formulas have 3-D references over a compared sheet.
    return QCoreApplication::translate(
               "DuZozodKiv", "%1的公式用三维引用（如Sheet1:Sheet3!A1）汇总多个工作表的同一位置，其中包括要对比的表。"
                             "对比会在表里插入新列，内容右移而三维引用不变，这些公式的结果会因此改变。")
        .arg(parts.join(separator));
}
