#include "tools/splitcolumn/sortedcopycheck.h"

#include "automation/axobject.h"
#include "excelop/sheetentry.h"

#include <QStringView>
#include <QVariant>
#include <QVector>
#include <memory>

namespace {

constexpr int kLastRow = 1048576; // a whole column's last row, as far as covering the data rows goes

// One end of a reference: its sheet (empty for the formula's own sheet), its row and column.
struct ReferenceEnd
{
    QString sheet;
    bool sheetAbsolute = true;
    bool hasRow = false;
    bool rowAbsolute = false;
    int row = 0;
    bool hasColumn = false;
    int column = 0;
};

struct Reference
{
    ReferenceEnd first;
    ReferenceEnd last;
};

bool isAsciiLetter(QChar c)
{
    return (c >= QLatin1Char('A') && c <= QLatin1Char('Z')) || (c >= QLatin1Char('a') && c <= QLatin1Char('z'));
}

bool isDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

bool isWordChar(QChar c)
{
    return c.unicode() >= 0x80 || isAsciiLetter(c) || isDigit(c) || c == QLatin1Char('_');
}

// Characters that end a sheet name written without quotes.
bool endsSheetName(QChar c)
{
    return c.isSpace() || QStringLiteral("'\"!.:;,()+-*/^&=<>%~$[]{}#@").contains(c);
}

// Reads formula text: the references it holds, or false for anything it does not understand.
class FormulaScanner
{
public:
    FormulaScanner(const QString& text, const QSet<QString>& constantNames)
        : text(text), size(text.size()), constantNames(constantNames)
    {
    }

    bool scan(QVector<Reference>& references)
    {
        if (!text.startsWith(QLatin1Char('=')))
            return false;
        position = 1;
        while (position < size) {
            const QChar here = at(position);
            Reference reference;
            if (here.isSpace()) {
                ++position;
            } else if (here == QLatin1Char('"')) {
                if (!skipString())
                    return false;
            } else if (skipFunctionName()) {
            } else if (readReference(reference)) {
                references.append(reference);
            } else if (skipNumber() || skipTruthValue()) {
            } else if (QStringLiteral("+-*/^&=<>%(),;~!").contains(here)) {
                ++position; // operators; ~ and ! join or intersect references read on their own
            } else if (skipConstantName()) {
            } else {
                return false; // names, tables, errors, other files, array constants, lone colons
            }
        }
        return true;
    }

private:
    QChar at(int index) const { return index < size ? text.at(index) : QChar(); }

    bool skipString()
    {
        for (int i = position + 1; i < size; ++i) {
            if (text.at(i) != QLatin1Char('"'))
                continue;
            if (at(i + 1) == QLatin1Char('"')) {
                ++i;
                continue;
            }
            position = i + 1;
            return true;
        }
        return false;
    }

    // One of the names that stand for a value.
    bool skipConstantName()
    {
        const auto partOfName = [](QChar c) { return c.isLetterOrNumber() || c == QLatin1Char('_') || c == QLatin1Char('.'); };
        if (constantNames.isEmpty() || !(at(position).isLetter() || at(position) == QLatin1Char('_')))
            return false;
        int i = position + 1;
        while (i < size && partOfName(at(i)))
            ++i;
        if (!constantNames.contains(text.mid(position, i - position).toCaseFolded()))
            return false;
        position = i;
        return true;
    }

    // A function's name, up to its opening parenthesis.
    bool skipFunctionName()
    {
        if (!isAsciiLetter(at(position)) && at(position) != QLatin1Char('_'))
            return false;
        int i = position + 1;
        while (i < size && (isAsciiLetter(at(i)) || isDigit(at(i)) || at(i) == QLatin1Char('_') || at(i) == QLatin1Char('.')))
            ++i;
        while (i < size && at(i).isSpace())
            ++i;
        if (at(i) != QLatin1Char('('))
            return false;
        position = i;
        return true;
    }

    bool skipNumber()
    {
        int i = position;
        while (isDigit(at(i)))
            ++i;
        const bool whole = i > position;
        if (at(i) == QLatin1Char('.')) {
            ++i;
            while (isDigit(at(i)))
                ++i;
        }
        if (!whole && i <= position + 1)
            return false;
        if (at(i) == QLatin1Char('e') || at(i) == QLatin1Char('E')) {
            int e = i + 1;
            if (at(e) == QLatin1Char('+') || at(e) == QLatin1Char('-'))
                ++e;
            if (isDigit(at(e))) {
                while (isDigit(at(e)))
                    ++e;
                i = e;
            }
        }
        if (isWordChar(at(i)) || at(i) == QLatin1Char('.'))
            return false;
        position = i;
        return true;
    }

    bool skipTruthValue()
    {
        for (const QLatin1String word : {QLatin1String("TRUE"), QLatin1String("FALSE")}) {
            const int end = position + word.size();
            if (QStringView(text).mid(position, word.size()).compare(word, Qt::CaseInsensitive) == 0
                && !isWordChar(at(end)) && at(end) != QLatin1Char('.') && at(end) != QLatin1Char('(')) {
                position = end;
                return true;
            }
        }
        return false;
    }

    // $'my sheet'. or Sheet1. (the office's) or 'my sheet'! and Sheet1! (Excel's), from i.
    bool readSheetPrefix(int& i, ReferenceEnd& end) const
    {
        int j = i;
        const bool dollar = at(j) == QLatin1Char('$');
        if (dollar)
            ++j;
        QString name;
        if (at(j) == QLatin1Char('\'')) {
            for (++j;; ++j) {
                if (j >= size)
                    return false;
                if (at(j) == QLatin1Char('\'')) {
                    if (at(j + 1) != QLatin1Char('\''))
                        break;
                    ++j;
                }
                name += at(j);
            }
            ++j;
        } else {
            const int from = j;
            while (j < size && !endsSheetName(at(j)))
                ++j;
            name = text.mid(from, j - from);
        }
        if (name.isEmpty() || (at(j) != QLatin1Char('.') && at(j) != QLatin1Char('!')))
            return false;
        end.sheet = name;
        // Excel names sheets absolutely; the office writes $ for that.
        end.sheetAbsolute = dollar || at(j) == QLatin1Char('!');
        i = j + 1;
        return true;
    }

    // Up to three column letters after an optional $; 0 when there are none or more.
    int readColumnLetters(int& i, bool& absolute) const
    {
        int j = i;
        absolute = at(j) == QLatin1Char('$');
        if (absolute)
            ++j;
        int column = 0;
        int letters = 0;
        while (isAsciiLetter(at(j)) && letters < 4) {
            column = column * 26 + (at(j).toUpper().unicode() - 'A' + 1);
            ++letters;
            ++j;
        }
        if (letters == 0 || letters > 3)
            return 0;
        i = j;
        return column;
    }

    // Up to seven digits after an optional $; 0 when there are none.
    int readRowNumber(int& i, bool& absolute) const
    {
        int j = i;
        absolute = at(j) == QLatin1Char('$');
        if (absolute)
            ++j;
        int row = 0;
        int digits = 0;
        while (isDigit(at(j)) && digits < 8) {
            row = row * 10 + (at(j).unicode() - '0');
            ++digits;
            ++j;
        }
        if (digits == 0 || digits > 7)
            return 0;
        i = j;
        return row;
    }

    enum class Kind { None, Cell, Column, Row };

    // One end from i: an optional sheet, then a cell, a column or a row; i moves past it.
    Kind readEnd(int& i, ReferenceEnd& end) const
    {
        int j = i;
        readSheetPrefix(j, end);
        int k = j;
        bool columnAbsolute = false;
        const int column = readColumnLetters(k, columnAbsolute);
        if (column > 0) {
            int m = k;
            bool rowAbsolute = false;
            const int row = readRowNumber(m, rowAbsolute);
            if (row > 0) {
                end.hasColumn = end.hasRow = true;
                end.column = column;
                end.row = row;
                end.rowAbsolute = rowAbsolute;
                i = m;
                return Kind::Cell;
            }
            if (!isDigit(at(k)) && at(k) != QLatin1Char('$')) {
                end.hasColumn = true;
                end.column = column;
                i = k;
                return Kind::Column;
            }
            return Kind::None;
        }
        bool rowAbsolute = false;
        const int row = readRowNumber(k, rowAbsolute);
        if (row > 0) {
            end.hasRow = true;
            end.row = row;
            end.rowAbsolute = rowAbsolute;
            i = k;
            return Kind::Row;
        }
        return Kind::None;
    }

    bool readReference(Reference& reference)
    {
        int i = position;
        const Kind kind = readEnd(i, reference.first);
        if (kind == Kind::None)
            return false;
        reference.last = reference.first;
        if (at(i) == QLatin1Char(':')) {
            ReferenceEnd last;
            last.sheet = reference.first.sheet; // the second end keeps the first one's sheet
            last.sheetAbsolute = reference.first.sheetAbsolute;
            ++i;
            if (readEnd(i, last) != kind)
                return false;
            reference.last = last;
        } else if (kind != Kind::Cell) {
            return false; // a column or row alone is a name or a number
        }
        if (isWordChar(at(i)) || QStringLiteral(".($'").contains(at(i)))
            return false;
        position = i;
        return true;
    }

    const QString& text;
    const int size;
    const QSet<QString>& constantNames;
    int position = 0;
};

// The rows a reference end covers once a missing row is taken as the whole column.
QPair<int, int> rowSpan(const Reference& reference)
{
    if (!reference.first.hasRow)
        return {1, kLastRow};
    return {qMin(reference.first.row, reference.last.row), qMax(reference.first.row, reference.last.row)};
}

bool holdsAllOrNone(QPair<int, int> span, const SortedRows& rows)
{
    return span.second < rows.firstRow || span.first > rows.lastRow
           || (span.first <= rows.firstRow && span.second >= rows.lastRow);
}

bool rowsAbsolute(const Reference& reference)
{
    return !reference.first.hasRow || (reference.first.rowAbsolute && reference.last.rowAbsolute);
}

bool referenceKeepsItsCells(const Reference& reference, int row, const QString& sheetName, const SortedRows& rows)
{
    if (reference.first.sheet != reference.last.sheet)
        return false; // across sheets
    const bool inDataRows = row >= rows.firstRow && row <= rows.lastRow;
    if (!reference.first.sheet.isEmpty()) {
        // Another sheet: neither way changes it, unless the formula itself moves in the sort.
        if (reference.first.sheet.compare(sheetName, Qt::CaseInsensitive) == 0 || !reference.first.sheetAbsolute
            || !reference.last.sheetAbsolute)
            return false;
        return !inDataRows || rowsAbsolute(reference);
    }
    if (!inDataRows)
        return holdsAllOrNone(rowSpan(reference), rows);
    if (reference.first.hasRow && !reference.first.rowAbsolute && !reference.last.rowAbsolute)
        return reference.first.row == row && reference.last.row == row; // its own row only
    return rowsAbsolute(reference) && holdsAllOrNone(rowSpan(reference), rows);
}

// The count a collection reports, or -1 when the office did not say.
int countOf(AxObject* sheet, const char* part)
{
    std::unique_ptr<AxObject> parts(sheet->querySubObject(part));
    const QVariant count = parts ? parts->property("Count") : QVariant();
    return count.isValid() ? count.toInt() : -1;
}

QString blockAddress(int firstCol, int firstRow, int lastCol, int lastRow)
{
    return columnLetters(firstCol) + QString::number(firstRow) + QLatin1Char(':') + columnLetters(lastCol)
           + QString::number(lastRow);
}

} // namespace

bool formulaKeepsReferencesWhenSorted(const QString& formula, int row, const QString& sheetName, const SortedRows& rows,
                                      const QSet<QString>& constantNames)
{
    QVector<Reference> references;
    if (!FormulaScanner(formula, constantNames).scan(references))
        return false;
    for (const Reference& reference : references)
        if (!referenceKeepsItsCells(reference, row, sheetName, rows))
            return false;
    return true;
}

QSet<QString> constantNamesFor(const QHash<QString, QString>& definedNames, const QString& sheetName)
{
    QSet<QString> hiddenBySheet;
    const QString ownPrefix = sheetName.toCaseFolded() + QLatin1Char('!');
    for (auto it = definedNames.cbegin(); it != definedNames.cend(); ++it)
        if (it.key().toCaseFolded().startsWith(ownPrefix))
            hiddenBySheet.insert(it.key().toCaseFolded().mid(ownPrefix.size()));
    QSet<QString> constants;
    const QSet<QString> none;
    for (auto it = definedNames.cbegin(); it != definedNames.cend(); ++it) {
        const QString name = it.key().toCaseFolded();
        QVector<Reference> references;
        if (!name.contains(QLatin1Char('!')) && !hiddenBySheet.contains(name)
            && FormulaScanner(it.value(), none).scan(references) && references.isEmpty())
            constants.insert(name);
    }
    return constants;
}

bool sortingSplitsLikeDeleting(SheetEntry& entry, const SortedRows& rows, const QSet<QString>& constantNames)
{
    AxObject* sheet = entry.sheet.get();
    if (!sheet || rows.firstRow < 1 || rows.lastRow < rows.firstRow || rows.lastColumn < 1)
        return false;
    const QVariant protectedContents = sheet->property("ProtectContents");
    if (!protectedContents.isValid() || protectedContents.toBool())
        return false;
    for (const char* part : {"Comments", "Shapes", "FormatConditions", "HPageBreaks"})
        if (countOf(sheet, part) != 0)
            return false;
    // Merged cells above or below the data rows stay where deleting would leave them; the sort
    // itself refuses merged cells reaching into the rows it sorts.
    std::unique_ptr<AxObject> dataRows(
        sheet->querySubObject("Rows(QString)", QStringLiteral("%1:%2").arg(rows.firstRow).arg(rows.lastRow)));
    const QVariant merged = dataRows ? dataRows->property("MergeCells") : QVariant();
    if (!merged.isValid() || merged.toBool())
        return false;
    // Row heights stay with the row numbers in a sort; they go with the cells when rows are deleted.
    std::unique_ptr<AxObject> moved(sheet->querySubObject(
        "Range(QString)", blockAddress(1, rows.firstRow, rows.lastColumn, rows.lastRow)));
    if (!moved || !moved->property("RowHeight").isValid())
        return false;

    if (!entry.holdsFormulas())
        return true;
    std::unique_ptr<AxObject> used(sheet->querySubObject("UsedRange"));
    const QVariant formulas = used ? used->property("Formula") : QVariant();
    if (formulas.type() != QVariant::List)
        return formulas.type() == QVariant::String
               && (!formulas.toString().startsWith(QLatin1Char('='))
                   || formulaKeepsReferencesWhenSorted(formulas.toString(), 1, entry.getSheetName(), rows, constantNames));
    const QString sheetName = entry.getSheetName();
    const QVariantList usedRows = formulas.toList();
    for (int r = 0; r < usedRows.size(); ++r) {
        const QVariantList cells = usedRows.at(r).toList();
        for (const QVariant& cellText : cells) {
            const QString text = cellText.toString();
            if ((text.startsWith(QLatin1Char('=')) || text.startsWith(QLatin1Char('{')))
                && !formulaKeepsReferencesWhenSorted(text, r + 1, sheetName, rows, constantNames))
                return false;
        }
    }
    return true;
}
