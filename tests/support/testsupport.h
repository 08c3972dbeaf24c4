#pragma once
// Shared by the test programs: headless dialogs, copies of the real-world workbooks, and
// workbooks read back through the office (workbookwriter.h writes them).

#include "workbookwriter.h"

#include <QByteArray>
#include <QList>
#include <memory>
#include <QString>
#include <QStringList>

// Dialogs answer without a person, and the command lines a test starts speak Chinese even when
// the locale is English. Call first in initTestCase().
void initTestEnvironment();

class ExcelOpKiv;

// A new link with the workbook opened and its sheets listed.
std::unique_ptr<ExcelOpKiv> openedWorkbook(const QString& path);

// The file's bytes (empty when it cannot be read): a workbook left alone keeps them.
QByteArray fileBytes(const QString& path);

// The shared folder of real-world workbooks (KIVEXCEL_CORPUS, or ../shared/fixtures/corpus beside
// the sources); it may be missing.
QString corpusFolder();

// Absolute path of a workbook in tests/fixtures/workbooks.
QString fixturePath(const QString& name);
// Copies that fixture into the folder (writable) and returns the copy's path.
QString copyFixture(const QString& name, const QString& folder);

// Every worksheet of the workbook, in tab order, with the texts of its used area from A1
// (as getCellValue gives them). Empty when the file does not open.
QList<SheetContent> readWorkbook(const QString& path);
// The sheet of that name from readWorkbook, or an empty one.
SheetContent sheetNamed(const QList<SheetContent>& sheets, const QString& name);
QStringList sheetNames(const QList<SheetContent>& sheets);

struct CliRun
{
    int exitCode = -1; // -1 when it crashed or did not end
    QString out;
    QString err;
};
// Runs kivexcel-cli as a user's shell would, without a display or a Qt platform; with a home
// folder given, as that user.
CliRun runCli(const QStringList& arguments, const QString& home = QString());

// Puts the lock file another user's office would leave beside the workbook: the office then opens
// it read-only. False when the lock could not be written.
bool lockByAnotherUser(const QString& path);
