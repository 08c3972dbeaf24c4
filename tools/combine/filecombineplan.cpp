#include "tools/combine/filecombineplan.h"

#include "excelop/excelopkiv.h"

#include <QFileInfo>
#include <QHash>

QVector<ResultSheet> FileCombinePlan::sheetBySheet(const QStringList& fileNames, const QVector<SourceSheet>& sheets)
{
    QHash<QString, int> files; // folded sheet name -> how many sources have it
    for (const SourceSheet& sheet : sheets)
        ++files[sheet.sheet.toCaseFolded()];
    QVector<ResultSheet> result;
    QStringList taken;
    for (const SourceSheet& sheet : sheets) {
        const bool clash = files.value(sheet.sheet.toCaseFolded()) > 1;
        const QString wanted =
            clash ? QFileInfo(fileNames.value(sheet.file)).completeBaseName() + QLatin1Char('-') + sheet.sheet
                  : sheet.sheet;
        const QString name = uniqueSheetName(wanted, taken);
        taken.append(name);
        result.append(ResultSheet{name, {sheet}});
    }
    return result;
}

QVector<ResultSheet> FileCombinePlan::stacked(const QVector<SourceSheet>& sheets)
{
    QVector<ResultSheet> result;
    QHash<QString, int> positions;
    for (const SourceSheet& sheet : sheets) {
        if (sheet.rows < 1)
            continue;
        const QString key = sheet.sheet.toCaseFolded();
        if (!positions.contains(key)) {
            positions.insert(key, result.size());
            result.append(ResultSheet{sheet.sheet, {}});
        }
        result[positions.value(key)].sources.append(sheet);
    }
    return result;
}

int FileCombinePlan::rowLimitFor(const QString& path)
{
    return QFileInfo(path).suffix().compare(QLatin1String("xls"), Qt::CaseInsensitive) == 0 ? 65536 : 1048576;
}

qint64 FileCombinePlan::rowsOf(const ResultSheet& sheet, int titleRows, bool stack)
{
    qint64 rows = 0;
    for (const SourceSheet& source : sheet.sources)
        rows += stack ? qMax(0, source.rows - titleRows) : source.rows;
    return stack ? rows + titleRows : rows;
}

QStringList FileCombinePlan::planLines(const QVector<ResultSheet>& plan, const QStringList& fileNames, int titleRows,
                                       bool stack)
{
    QStringList lines;
    for (const ResultSheet& sheet : plan) {
        QStringList from;
        for (const SourceSheet& source : sheet.sources)
            from.append(
                QStringLiteral("%1 / %2").arg(QFileInfo(fileNames.value(source.file)).fileName(), source.sheet));
        //: Between the items of a list.
        lines.append(tr("“%1”：%n行，来自 %2", nullptr, int(rowsOf(sheet, titleRows, stack)))
                         .arg(sheet.name, from.join(tr("、"))));
    }
    return lines;
}
