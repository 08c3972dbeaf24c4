#pragma once
// Workbooks combined into a new one, all open in one office: each source sheet copied across
// whole (formats, widths, views, its names, validations, conditional formats, pictures), and
// with stacking the copies of one name combined as sheets of a workbook are. Saves nothing.

#include "tools/combine/filecombineplan.h"

#include <QCoreApplication>
#include <QString>
#include <QStringList>
#include <memory>
#include <vector>

class ExcelOpKiv;

struct FileCombineSettings
{
    bool stack = false;
    int titleRows = 1;        // when stacking
    bool alignTitles = false; // when stacking
    // Formulas pointing at other sheets stay formulas, pointing into their file; by default they
    // keep the values they showed.
    bool keepBrokenFormulas = false;
    int rowLimit = 0; // of the result's format
};

class FileCombineRun
{
    Q_DECLARE_TR_FUNCTIONS(CombineTables)

public:
    enum class Outcome { Finished, Refused, Cancelled, Failed };

    FileCombineRun(ExcelOpKiv& result, std::vector<std::unique_ptr<ExcelOpKiv>>& sources, const QStringList& fileNames,
                   const FileCombineSettings& settings);

    // Needs a new workbook in result.
    Outcome run(const QVector<ResultSheet>& plan);
    // Why the stacking was refused (titles that differ, say).
    QString refusal() const { return refused; }
    int cellsKeptAsValues() const { return valuesKept; }

private:
    bool valuesKeptInSources();
    Outcome copiedAcross(const QVector<ResultSheet>& plan, QStringList& copies);
    Outcome stackedCopies(const QVector<ResultSheet>& plan, const QStringList& copies);

    ExcelOpKiv& result;
    std::vector<std::unique_ptr<ExcelOpKiv>>& sources;
    QStringList fileNames;
    FileCombineSettings settings;
    QString refused;
    int valuesKept = 0;
};
