#pragma once
// The column split's plan, shown before anything changes: each value, its rows, and the sheet or
// file it gets, with why a name differs from the value.

#include <QString>
#include <QStringList>
#include <QVector>

struct ValueRows;

struct SplitPlanEntry
{
    QString value;
    int rowCount = 0;
    QString name;           // the new sheet's name, or the file's name with its extension
    QStringList whyRenamed; // empty when the name is the value itself
};

// New sheets: named as ExcelOpKiv::copySheet names them, one after the other, among the
// workbook's sheets and the ones made before.
QVector<SplitPlanEntry> planSheets(const QVector<ValueRows>& groups, const QStringList& sheetNames);

// Files: named as the sheet-to-files splitter names its files ("空" for the empty value), with
// the workbook's extension; a later value whose file name is taken replaces that file.
QVector<SplitPlanEntry> planFiles(const QVector<ValueRows>& groups, const QString& extension);

// The plan as lines for a dialog or a terminal: value, rows, name and why renamed.
QStringList planLines(const QVector<SplitPlanEntry>& plan);
