#pragma once
// How the command line shows a run's progress: a bar per workbook on a terminal's standard
// error, or progress lines for the parent process when it works as one of several workers.

#include <QHash>
#include <QString>

// Shows runs' progress as a bar on standard error, named after the workbook being worked on.
void showProgressOnTerminal();
// Reports runs' progress to the parent as JSON lines on standard output.
void reportProgressToParent();
// The workbook the next runs belong to.
void setProgressBook(const QString& book);

// The bars of several workbooks at once, drawn on one line of standard error.
class TerminalBars
{
public:
    void update(const QString& book, int percent);
    void remove(const QString& book);
    // Clears the line, so a message can be printed on a clean line.
    void clear();

private:
    void draw();

    QHash<QString, int> percents;
    QStringList order;
    bool drawn = false;
};

// "name [#####-----]  45%"
QString progressBar(const QString& book, int percent);
