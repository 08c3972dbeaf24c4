#pragma once
// Saving a tool's result over the user's workbook without losing, unasked, what the office cannot
// keep: when the written file would lack some of the workbook's features (frozen panes, pivot
// tables, macros, ...), the workbook is left as it was and the user chooses: the result as a new
// file beside it (the default), over the workbook all the same, or not saved.

#include "tools/joboutcome.h"

#include <QCoreApplication>
#include <QString>
#include <QStringList>
#include <functional>

class ExcelOpKiv;

class RunProgressHold;

enum class LossChoice { SaveBeside, Overwrite, DontSave };

// Asked with the features in plain words and the path of the new file.
using LossQuestion = std::function<LossChoice(const QStringList& features, const QString& besidePath)>;

// How a tool that changes the workbook saves its finished work.
struct WorkSave
{
    QString workbookPath;
    QString resultPath; // empty: over the workbook
    LossQuestion onLoss;
    bool keepBackup = false; // the original kept beside the workbook first
};

struct ResultSave
{
    bool saved = false;
    QString savedPath;        // the workbook itself or the new file beside it
    QStringList lostFeatures; // in plain words: what saving over the workbook would lose
    LossChoice choice = LossChoice::Overwrite;
};

class ResultSaver
{
    Q_DECLARE_TR_FUNCTIONS(ResultSaver)

public:
    // Saves the open workbook: to resultPath when one is given (the workbook is not changed),
    // otherwise over the workbook. Without a question the result goes over the workbook whatever
    // it loses, as the tools always did; the front ends always ask.
    static ResultSave save(ExcelOpKiv& book, const QString& workbookPath, const QString& resultPath,
                           const LossQuestion& ask);

    // <name>.结果<ext> beside the workbook; .结果2, ... when taken.
    static QString besidePath(const QString& workbookPath);
    // The features' keys in plain words.
    static QStringList plainNames(const QStringList& keys);
    // What the user is told after a save that did not go over the workbook as usual (empty
    // otherwise).
    static QString noticeOf(const ResultSave& save, const QString& workbookPath);
    // The backup when asked, then save(), the run's dialog saying so. False, with the outcome for
    // the user, when the work was not saved; otherwise the save and its notice (empty when the
    // result went over the workbook as usual).
    static bool saveWork(ExcelOpKiv& book, const WorkSave& request, RunProgressHold& dialog, ResultSave& save,
                         QString& notice, JobOutcome& failure);
    // The windows' question: a box naming the features, 另存为新文件 the default.
    static LossQuestion askInWindow();
};
