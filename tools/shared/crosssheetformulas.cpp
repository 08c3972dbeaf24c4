#include "tools/shared/crosssheetformulas.h"

#include "common/formulatext.h"
#include "excelop/cellref.h"
#include "excelop/excelopkiv.h"
#include "tools/shared/formulareferences.h"

#include <QRegularExpression>

namespace {

// A name's content may come without its equals sign.
QString asFormula(const QString& content)
{
    return content.startsWith(QLatin1Char('=')) ? content : QLatin1Char('=') + content;
}

} // namespace

CrossSheetFormulas::CrossSheetFormulas(const QStringList& sheetNames, const QHash<QString, QString>& definedNames)
    : sheets(sheetNames)
{
    for (auto it = definedNames.cbegin(); it != definedNames.cend(); ++it)
        names.insert(it.key().toCaseFolded(), readFormulaParts(asFormula(it.value())).sheets);
}

bool CrossSheetFormulas::namesAnotherSheet(const QStringList& named, const QString& ownSheet) const
{
    for (const QString& sheet : named)
        if (sheet.compare(ownSheet, Qt::CaseInsensitive) != 0 && sheets.contains(sheet, Qt::CaseInsensitive))
            return true;
    return false;
}

bool CrossSheetFormulas::pointsElsewhere(const QString& formula, const QString& ownSheet) const
{
    const FormulaParts parts = readFormulaParts(formula);
    if (namesAnotherSheet(parts.sheets, ownSheet))
        return true;
    // INDIRECT reaches what a text names, which may be any sheet ("Sheet2!A1" built by ADDRESS).
    static const QRegularExpression indirect(QStringLiteral("(?<![\\w.])INDIRECT\\s*\\("),
                                             QRegularExpression::CaseInsensitiveOption);
    if (sheets.size() > 1 && formulaWithoutTexts(formula).contains(indirect))
        return true;
    static const QRegularExpression otherFile(QStringLiteral("'[^']*'#\\$"));
    if (otherFiles && formulaWithoutTexts(formula).contains(otherFile))
        return true;
    const QString ownPrefix = ownSheet.toCaseFolded() + QLatin1Char('!');
    for (const QString& used : parts.names) {
        const QString name = used.toCaseFolded();
        // A sheet's own name hides the workbook's name of the same spelling.
        const auto own = names.constFind(ownPrefix + name);
        const auto found = own != names.cend() ? own : names.constFind(name);
        if (found != names.cend() && namesAnotherSheet(found.value(), ownSheet))
            return true;
    }
    return false;
}

CrossSheetFormulas crossSheetFormulasOf(ExcelOpKiv& book)
{
    // Tables and defined names share one set of names in a workbook.
    QHash<QString, QString> names = book.definedNames();
    const QHash<QString, QString> tables = book.tableRanges();
    for (auto it = tables.cbegin(); it != tables.cend(); ++it)
        names.insert(it.key(), it.value());
    return CrossSheetFormulas(book.getSheetNames(), names);
}

namespace {

// The blocks of each sheet's formulas that point elsewhere: runs of neighbouring cells in a row.
QMap<QString, QStringList> crossSheetBlocks(ExcelOpKiv& book, const QStringList& sheetNames, bool otherFilesToo)
{
    CrossSheetFormulas formulas = crossSheetFormulasOf(book);
    formulas.countOtherFiles(otherFilesToo);
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

namespace {

// The top left cells of each named sheet's pivot tables built from another sheet.
QMap<QString, QStringList> pivotTablesFromOtherSheets(ExcelOpKiv& book, const QStringList& sheetNames)
{
    QMap<QString, QStringList> pivots;
    for (const QString& sheetName : sheetNames) {
        SheetEntry* sheet = book.findSheet(sheetName);
        const QStringList corners = sheet ? sheet->pivotTablesFromOtherSheets() : QStringList();
        if (!corners.isEmpty())
            pivots.insert(sheetName, corners);
    }
    return pivots;
}

} // namespace

namespace {

CrossSheetValues applied(ExcelOpKiv& book, const QMap<QString, QStringList>& blocks,
                         const QMap<QString, QStringList>& pivots)
{
    CrossSheetValues kept;
    kept.blocks = blocks;
    kept.pivots = pivots;
    QList<QPair<QString, QString>> writable;
    QList<SheetEntry*> protectAgain;
    QStringList touched = blocks.keys() + pivots.keys();
    touched.removeDuplicates();
    for (const QString& sheetName : touched) {
        SheetEntry* sheet = book.findSheet(sheetName);
        if (!sheet)
            continue;
        // A protected sheet takes no values; one protected without a password is opened for them
        // and protected again, as a user would.
        if (sheet->isProtected(true)) {
            if (!sheet->unprotectWithoutPassword()) {
                const QString first =
                    blocks.contains(sheetName) ? blocks.value(sheetName).first() : pivots.value(sheetName).first();
                kept.lockedSheets.insert(sheetName, first.section(QLatin1Char(':'), 0, 0));
                continue;
            }
            protectAgain.append(sheet);
        }
        for (const QString& block : blocks.value(sheetName))
            writable.append({sheetName, block});
        if (pivots.contains(sheetName))
            kept.pivotTables += qMax(0, sheet->keepPivotTablesAsValues());
    }
    kept.cells = book.keepValues(writable);
    for (SheetEntry* sheet : protectAgain)
        sheet->protectWithoutPassword();
    return kept;
}

template <typename Map>
Map onlyOf(const Map& map, const QStringList& sheetNames)
{
    Map kept;
    for (auto it = map.cbegin(); it != map.cend(); ++it)
        if (sheetNames.contains(it.key()))
            kept.insert(it.key(), it.value());
    return kept;
}

} // namespace

CrossSheetValues keepValuesOfCrossSheetFormulas(ExcelOpKiv& book, const QStringList& sheetNames, bool otherFilesToo)
{
    return applied(book, crossSheetBlocks(book, sheetNames, otherFilesToo),
                   pivotTablesFromOtherSheets(book, sheetNames));
}

CrossSheetValues keepValuesAgain(ExcelOpKiv& book, const CrossSheetValues& found, const QStringList& sheetNames)
{
    return applied(book, onlyOf(found.blocks, sheetNames), onlyOf(found.pivots, sheetNames));
}
