#include "valuedifferences.h"

#include "excelop/cellref.h"
#include "excelop/excelopkiv.h"
#include "excelop/sheetentry.h"
#include "testsupport.h"

#include <QRegularExpression>
#include <QSet>

#include <algorithm>
#include <cmath>

namespace {

bool sameValue(const QString& expected, const QString& actual)
{
    if (expected == actual)
        return true;
    // Results the office calculates again may differ in the last of their 15 to 17 digits.
    bool expectedIsNumber = false;
    bool actualIsNumber = false;
    const double want = expected.toDouble(&expectedIsNumber);
    const double got = actual.toDouble(&actualIsNumber);
    return expectedIsNumber && actualIsNumber
           && std::abs(want - got) <= 1e-12 * std::max(std::abs(want), std::abs(got));
}

bool isError(const QString& shown)
{
    return shown.startsWith(QLatin1Char('#')) || shown.startsWith(QLatin1String("Err:"));
}

// Functions whose result follows where their cell, or the cells they name, stand.
bool usesPosition(const QString& formula)
{
    static const QRegularExpression position(
        QStringLiteral("\\b(COLUMN|COLUMNS|ROW|ROWS|CELL|INDIRECT|OFFSET|ADDRESS|INFO)\\s*\\("),
        QRegularExpression::CaseInsensitiveOption);
    return formula.contains(position);
}

// Whole rows (2:2, $A1:$IV4, $A1:$XFD4) or a range over sheets ($Sheet1.A1:$Sheet3.A1): an
// inserted first column changes what they hold.
bool spansTheNewColumn(const QString& formula)
{
    static const QRegularExpression wholeRows(QStringLiteral("(?<![\\w.$])\\$?\\d+:\\$?\\d+(?!\\w)"));
    static const QRegularExpression rowWide(QStringLiteral("\\$?[A-Z]{1,3}\\$?\\d+:\\$?(IV|XFD)\\$?\\d+"));
    static const QRegularExpression overSheets(QStringLiteral("\\.\\$?[A-Z]{1,3}\\$?\\d+:\\$?'?[^.;:()]+'?\\."));
    return formula.contains(wholeRows) || formula.contains(rowWide) || formula.contains(overSheets);
}

// Whether every cell the formula names stands in its own row: then fewer rows beside it change
// nothing.
bool takesFromOtherRows(const QString& formula, int row)
{
    if (formula.contains(QLatin1Char(':')) || usesPosition(formula))
        return true;
    static const QRegularExpression cell(QStringLiteral("\\$?[A-Z]{1,3}\\$?(\\d+)(?![\\w(])"));
    static const QRegularExpression name(QStringLiteral("(?<![\\w.$\"])[A-Za-z_][\\w.]*(?![\\w(])"));
    bool namesCells = false;
    for (auto match = cell.globalMatch(formula); match.hasNext();) {
        namesCells = true;
        if (match.next().captured(1).toInt() != row)
            return true;
    }
    // A defined name may point at any row.
    return !namesCells && formula.contains(name);
}

// Whether the formula names one of the cells ("Sheet!A1") of its own sheet.
bool takesFrom(const QString& formula, const QString& sheet, const QSet<QString>& cells)
{
    static const QRegularExpression cell(QStringLiteral("(?<![\\w.])\\$?([A-Z]{1,3})\\$?(\\d+)(?![\\w(])"));
    for (auto match = cell.globalMatch(formula); match.hasNext();) {
        const auto found = match.next();
        if (cells.contains(sheet + QLatin1Char('!') + found.captured(1) + found.captured(2)))
            return true;
    }
    return false;
}

// The office writes a formula's text result into .xlsx without xml:space="preserve", and reading
// the file drops the spaces at its ends: the plain save shows " a " as "a". A constant keeps them.
bool spacesThePlainSaveLost(const QString& shown, const QString& now)
{
    return now != shown && now.trimmed() == shown;
}

} // namespace

QString ValueDifference::cell() const
{
    return columnLetters(column) + QString::number(row);
}

QString ValueDifference::describe() const
{
    return QStringLiteral("%1!%2: %3 / %4%5 [%6]")
        .arg(sheet, cell(), shown, now,
             formula.isEmpty() ? QString() : QStringLiteral(" (") + formula + QLatin1Char(')'), kind);
}

SheetFormulas readFormulas(const QString& path)
{
    SheetFormulas found;
    auto link = openedWorkbook(path);
    if (!link)
        return found;
    for (int i = 0; i < link->sheetCount(); ++i)
        found.insert(link->sheetAt(i)->getSheetName(), link->sheetAt(i)->usedAreaFormulas());
    return found;
}

QList<ValueDifference> valueDifferences(const SheetContent& expected, const SheetContent& written,
                                        const QList<QStringList>& writtenFormulas, int shift)
{
    QList<ValueDifference> found;
    const int rows = qMax(expected.rows.size(), written.rows.size());
    for (int r = 0; r < rows; ++r) {
        const QStringList want = expected.rows.value(r);
        const QStringList got = written.rows.value(r).mid(shift);
        for (int c = 0; c < qMax(want.size(), got.size()); ++c) {
            if (sameValue(want.value(c), got.value(c)))
                continue;
            ValueDifference difference;
            difference.sheet = written.name;
            difference.row = r + 1;
            difference.column = c + 1 + shift;
            difference.shown = want.value(c);
            difference.now = got.value(c);
            const QString content = writtenFormulas.value(r).value(c + shift);
            if (content.startsWith(QLatin1Char('=')))
                difference.formula = content;
            found << difference;
        }
    }
    return found;
}

void classify(QList<ValueDifference>& differences, ToolChange change, const QSet<QString>& changedCells)
{
    QSet<QString> explained = changedCells;
    for (ValueDifference& difference : differences) {
        difference.expected = true;
        if (difference.formula.isEmpty() && spacesThePlainSaveLost(difference.shown, difference.now)) {
            difference.kind = QStringLiteral("a text kept with the spaces at its ends, which the plain save drops");
        } else if (difference.formula.isEmpty()) {
            difference.kind = QStringLiteral("a value the tool did not write");
            difference.expected = false;
        } else if (isError(difference.shown) && isError(difference.now)) {
            difference.kind = QStringLiteral("an error either way");
        } else if (change == ToolChange::ColumnAdded && spansTheNewColumn(difference.formula)) {
            difference.kind = QStringLiteral("whole rows or sheets: the new column is among them");
        } else if (change == ToolChange::ColumnAdded && usesPosition(difference.formula)) {
            difference.kind = QStringLiteral("a position: the new column moved it");
        } else if (change == ToolChange::RowsMoved && takesFromOtherRows(difference.formula, difference.row)) {
            difference.kind = QStringLiteral("other rows: the new sheet holds fewer");
        } else {
            difference.kind = QStringLiteral("calculated otherwise than Excel");
            difference.expected = false;
        }
        if (difference.expected)
            explained.insert(difference.sheet + QLatin1Char('!') + difference.cell());
    }
    // What takes from a cell Excel changes changes too.
    for (bool more = true; more;) {
        more = false;
        for (ValueDifference& difference : differences)
            if (!difference.expected && !difference.formula.isEmpty()
                && takesFrom(difference.formula, difference.sheet, explained)) {
                difference.kind = QStringLiteral("takes from a cell that changed");
                difference.expected = true;
                explained.insert(difference.sheet + QLatin1Char('!') + difference.cell());
                more = true;
            }
    }
}
