#include "tools/splitsheets/crosssheetformulas.h"

#include "excelop/excelopkiv.h"

#include <QRegularExpression>

namespace {

// The formula without its string literals, which may hold anything.
QString withoutTexts(const QString& formula)
{
    QString out;
    bool inText = false;
    for (const QChar c : formula) {
        if (c == QLatin1Char('"'))
            inText = !inText;
        else if (!inText)
            out.append(c);
    }
    return out;
}

bool isNamePart(QChar c)
{
    return c.isLetterOrNumber() || c == QLatin1Char('_') || c == QLatin1Char('.') || c == QLatin1Char('\'')
           || c == QLatin1Char('#');
}

// Whether the sheet's name stands in the text as a reference's sheet: 'name'. or name. after
// something that cannot be part of a longer name (# marks another file's sheet).
bool namesSheet(const QString& text, const QString& sheet)
{
    QString quoted = sheet;
    quoted.replace(QLatin1Char('\''), QLatin1String("''"));
    quoted = QLatin1Char('\'') + quoted + QLatin1String("'.");
    for (int at = text.indexOf(quoted, 0, Qt::CaseInsensitive); at >= 0;
         at = text.indexOf(quoted, at + 1, Qt::CaseInsensitive))
        if (at == 0 || text.at(at - 1) != QLatin1Char('#'))
            return true;
    const QString bare = sheet + QLatin1Char('.');
    for (int at = text.indexOf(bare, 0, Qt::CaseInsensitive); at >= 0;
         at = text.indexOf(bare, at + 1, Qt::CaseInsensitive)) {
        const QChar before = at > 0 ? text.at(at - 1) : QChar(QLatin1Char('='));
        const bool external = at > 1 && before == QLatin1Char('$') && text.at(at - 2) == QLatin1Char('#');
        if (!isNamePart(before) && !external)
            return true;
    }
    return false;
}

} // namespace

CrossSheetFormulas::CrossSheetFormulas(const QStringList& sheetNames, const QHash<QString, QString>& definedNames)
    : sheets(sheetNames)
{
    for (auto it = definedNames.cbegin(); it != definedNames.cend(); ++it)
        names.insert(it.key().toCaseFolded(), withoutTexts(it.value()));
}

bool CrossSheetFormulas::namesAnotherSheet(const QString& text, const QString& ownSheet) const
{
    for (const QString& sheet : sheets)
        if (sheet.compare(ownSheet, Qt::CaseInsensitive) != 0 && namesSheet(text, sheet))
            return true;
    return false;
}

bool CrossSheetFormulas::usesNamePointingElsewhere(const QString& text, const QString& ownSheet) const
{
    if (names.isEmpty())
        return false;
    static const QRegularExpression identifier(QStringLiteral("(?<![\\w.$'])([\\p{L}_\\\\][\\w.]*)(?!\\s*\\()"),
                                               QRegularExpression::UseUnicodePropertiesOption);
    const QString ownPrefix = ownSheet.toCaseFolded() + QLatin1Char('!');
    for (auto match = identifier.globalMatch(text); match.hasNext();) {
        const QString name = match.next().captured(1).toCaseFolded();
        // A sheet's own name hides the workbook's name of the same spelling.
        const auto own = names.constFind(ownPrefix + name);
        const auto found = own != names.cend() ? own : names.constFind(name);
        if (found != names.cend() && namesAnotherSheet(found.value(), ownSheet))
            return true;
    }
    return false;
}

bool CrossSheetFormulas::pointsElsewhere(const QString& formula, const QString& ownSheet) const
{
    const QString text = withoutTexts(formula);
    // INDIRECT reaches what a text names, which may be any sheet ("Sheet2!A1" built by ADDRESS).
    static const QRegularExpression indirect(QStringLiteral("(?<![\\w.])INDIRECT\\s*\\("),
                                             QRegularExpression::CaseInsensitiveOption);
    return namesAnotherSheet(text, ownSheet) || usesNamePointingElsewhere(text, ownSheet)
           || (sheets.size() > 1 && text.contains(indirect));
}

namespace {

// The blocks of each sheet's formulas that point elsewhere: runs of neighbouring cells in a row.
QMap<QString, QStringList> crossSheetBlocks(ExcelOpKiv& book, const QStringList& sheetNames)
{
    // Tables and defined names share one set of names in a workbook.
    QHash<QString, QString> names = book.definedNames();
    const QHash<QString, QString> tables = book.tableRanges();
    for (auto it = tables.cbegin(); it != tables.cend(); ++it)
        names.insert(it.key(), it.value());
    const CrossSheetFormulas formulas(book.getSheetNames(), names);
    QMap<QString, QStringList> blocks;
    for (const QString& sheetName : sheetNames) {
        SheetEntry* sheet = book.findSheet(sheetName);
        if (!sheet || !sheet->holdsFormulas())
            continue;
        const QList<QStringList> rows = sheet->usedAreaFormulas();
        for (int r = 0; r < rows.size(); ++r) {
            const QStringList& cells = rows.at(r);
            const auto pointsElsewhere = [&](int c) {
                return cells.at(c).startsWith(QLatin1Char('=')) && formulas.pointsElsewhere(cells.at(c), sheetName);
            };
            for (int c = 0; c < cells.size(); ++c) {
                if (!pointsElsewhere(c))
                    continue;
                int last = c;
                while (last + 1 < cells.size() && pointsElsewhere(last + 1))
                    ++last;
                const QString row = QString::number(r + 1);
                blocks[sheetName].append(columnLetters(c + 1) + row + QLatin1Char(':') + columnLetters(last + 1) + row);
                c = last;
            }
        }
    }
    return blocks;
}

} // namespace

CrossSheetValues keepValuesOfCrossSheetFormulas(ExcelOpKiv& book, const QStringList& sheetNames)
{
    CrossSheetValues kept;
    QList<QPair<QString, QString>> writable;
    QList<SheetEntry*> protectAgain;
    const QMap<QString, QStringList> blocks = crossSheetBlocks(book, sheetNames);
    for (auto it = blocks.cbegin(); it != blocks.cend(); ++it) {
        SheetEntry* sheet = book.findSheet(it.key());
        // A protected sheet takes no values; one protected without a password is opened for them
        // and protected again, as a user would.
        if (sheet->isProtected(true)) {
            if (!sheet->unprotectWithoutPassword()) {
                kept.lockedSheets.insert(it.key(), it.value().first().section(QLatin1Char(':'), 0, 0));
                continue;
            }
            protectAgain.append(sheet);
        }
        for (const QString& block : it.value())
            writable.append({it.key(), block});
    }
    kept.cells = book.keepValues(writable);
    for (SheetEntry* sheet : protectAgain)
        sheet->protectWithoutPassword();
    return kept;
}
