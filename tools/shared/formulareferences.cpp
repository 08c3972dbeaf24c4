#include "tools/shared/formulareferences.h"

#include "excelop/cellref.h"

#include <QStringView>

namespace {

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
// Tolerant, it passes over what it does not understand instead.
class FormulaScanner
{
public:
    FormulaScanner(const QString& text, const QSet<QString>& constantNames)
        : text(text), size(text.size()), constantNames(constantNames)
    {}

    // While tolerant: the sheets named before something not understood ($'Data'.R1C1) and the
    // names passed over go here.
    void collectInto(QStringList& sheets, QStringList& names)
    {
        sheetsSeen = &sheets;
        namesSeen = &names;
    }

    bool scan(QVector<Reference>& references, bool tolerant = false)
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
            } else if (tolerant) {
                skipUnknown();
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
        const auto partOfName = [](QChar c) {
            return c.isLetterOrNumber() || c == QLatin1Char('_') || c == QLatin1Char('.');
        };
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
        while (i < size
               && (isAsciiLetter(at(i)) || isDigit(at(i)) || at(i) == QLatin1Char('_') || at(i) == QLatin1Char('.')))
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
        const int from = j;
        while (isAsciiLetter(at(j)) && j - from < 4)
            ++j;
        const int letters = j - from;
        if (letters == 0 || letters > 3)
            return 0;
        i = j;
        return columnNumber(text.mid(from, letters));
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

    // Passes over one thing not understood: a name, a table's brackets, an error, another file's
    // name (and the reference after it, which is that file's), or one character.
    void skipUnknown()
    {
        const QChar here = at(position);
        ReferenceEnd prefix;
        int afterPrefix = position;
        if (sheetsSeen && readSheetPrefix(afterPrefix, prefix)) {
            sheetsSeen->append(prefix.sheet);
            position = afterPrefix;
        } else if (here == QLatin1Char('\'')) {
            int i = position + 1;
            while (i < size && (at(i) != QLatin1Char('\'') || at(i + 1) == QLatin1Char('\'')))
                i += at(i) == QLatin1Char('\'') ? 2 : 1;
            position = i + 1;
            skipOtherFilesReference();
        } else if (here == QLatin1Char('[') || here == QLatin1Char('{')) {
            skipBracketed();
            skipOtherFilesReference(); // Excel's [1]Sheet1!A1
        } else if (here == QLatin1Char('#')) {
            ++position;
            while (isWordChar(at(position)) || at(position) == QLatin1Char('/'))
                ++position;
            if (at(position) == QLatin1Char('!') || at(position) == QLatin1Char('?'))
                ++position;
        } else if (isWordChar(here) || here == QLatin1Char('\\')) {
            const int from = position;
            while (isWordChar(at(position)) || at(position) == QLatin1Char('.') || at(position) == QLatin1Char('\\'))
                ++position;
            if (namesSeen)
                namesSeen->append(text.mid(from, position - from));
        } else {
            ++position;
        }
    }

    // [..] nested, where ' takes the next character as it is, or {..} holding texts.
    void skipBracketed()
    {
        const QChar open = at(position);
        const QChar close = open == QLatin1Char('[') ? QLatin1Char(']') : QLatin1Char('}');
        int depth = 0;
        while (position < size) {
            const QChar c = at(position);
            if (c == QLatin1Char('"')) {
                if (!skipString())
                    position = size;
                continue;
            }
            if (c == QLatin1Char('\'') && open == QLatin1Char('['))
                ++position; // the next character stands for itself
            else if (c == open)
                ++depth;
            else if (c == close && --depth == 0) {
                ++position;
                return;
            }
            ++position;
        }
    }

    void skipOtherFilesReference()
    {
        if (at(position) == QLatin1Char('#'))
            ++position;
        Reference ignored;
        readReference(ignored);
    }

    const QString& text;
    const int size;
    const QSet<QString>& constantNames;
    int position = 0;
    QStringList* sheetsSeen = nullptr;
    QStringList* namesSeen = nullptr;
};

} // namespace

bool readReferences(const QString& formula, QVector<Reference>& references, const QSet<QString>& constantNames)
{
    return FormulaScanner(formula, constantNames).scan(references);
}

namespace {

// An array formula's braces dropped.
QString withoutArrayBraces(const QString& formula)
{
    const bool array = formula.startsWith(QLatin1String("{=")) && formula.endsWith(QLatin1Char('}'));
    return array ? formula.mid(1, formula.size() - 2) : formula;
}

} // namespace

QVector<Reference> readableReferences(const QString& formula)
{
    const QString text = withoutArrayBraces(formula);
    const QSet<QString> noNames;
    QVector<Reference> references;
    FormulaScanner(text, noNames).scan(references, true);
    return references;
}

FormulaParts readFormulaParts(const QString& formula)
{
    const QString text = withoutArrayBraces(formula);
    const QSet<QString> noNames;
    FormulaParts parts;
    FormulaScanner scanner(text, noNames);
    scanner.collectInto(parts.sheets, parts.names);
    scanner.scan(parts.references, true);
    for (const Reference& reference : qAsConst(parts.references))
        for (const ReferenceEnd* end : {&reference.first, &reference.last})
            if (!end->sheet.isEmpty())
                parts.sheets.append(end->sheet);
    return parts;
}
