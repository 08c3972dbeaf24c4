#pragma once
// The way into the office server, for the program's start-up and the tests: the server behind
// "Excel.Application" is LibreOffice Calc driven through UNO, offering the members the toolbox
// calls on an Excel application, its workbooks, sheets and ranges.

#include "automation/automationnode.h"

#include <QList>

#include <sys/types.h>

namespace OfficeServer {

// A new application object on the program's one office connection (started on first use, and
// again after the office died). None when the office cannot be started.
AutomationNodePtr createApplication();

// How long one call into the office may take before the office is taken for hung and ended
// (the call then fails, and the next application object starts a fresh office). 120 s unless set.
void setCallTimeout(int seconds);
void setCallTimeoutMillisecondsForTests(int milliseconds);
pid_t officeProcessForTests();
// Tests: whether each workbook the office holds open keeps undo records.
QList<bool> undoOfOpenWorkbooksForTests();

// Registers this server under "Excel.Application"; the program's start-up calls it.
void registerAsExcel();

// Tests: ends the office process abruptly, as a crash would.
void killOfficeForTests();

} // namespace OfficeServer
