#pragma once
// What combining workbook files will make, worked out before anything is written: the result's
// sheet names, and which source sheets go into each.

#include <QCoreApplication>
#include <QString>
#include <QStringList>
#include <QVector>

// One source sheet: its file (position among the sources) and name, and its used rows.
struct SourceSheet
{
    int file = 0;
    QString sheet;
    int rows = 0;
};

// One sheet of the result and the source sheets it is made of: one, or with stacking all those of
// its name.
struct ResultSheet
{
    QString name;
    QVector<SourceSheet> sources;
};

class FileCombinePlan
{
    Q_DECLARE_TR_FUNCTIONS(CombineTables)

public:
    // Every sheet becomes a sheet of the result, named as it was or <file>-<sheet> when another
    // file has a sheet of that name; legal, at most 31 characters and unique.
    static QVector<ResultSheet> sheetBySheet(const QStringList& fileNames, const QVector<SourceSheet>& sheets);
    // Sheets of one name (whatever its letter case) stacked into one, in the order they first come.
    // Sheets without used cells are left out.
    static QVector<ResultSheet> stacked(const QVector<SourceSheet>& sheets);
    // The rows a sheet of a workbook of that extension holds.
    static int rowLimitFor(const QString& path);
    // The rows the result sheet will have: the title rows once when stacked.
    static qint64 rowsOf(const ResultSheet& sheet, int titleRows, bool stack);
    // The plan in plain lines, for a dry run.
    static QStringList planLines(const QVector<ResultSheet>& plan, const QStringList& fileNames, int titleRows,
                                 bool stack);
};
