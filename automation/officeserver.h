#pragma once
// The office server behind "Excel.Application": LibreOffice Calc driven through UNO, offering
// the members the toolbox calls on an Excel application, its workbooks, sheets and ranges.

#include "automation/automationserver.h"

namespace OfficeServer {

// A new application object on the program's one office connection (started on first use, and
// again after the office died). None when the office cannot be started.
AutomationNodePtr createApplication();

// Registers this server under "Excel.Application"; the program's start-up calls it.
void registerAsExcel();

// Tests: ends the office process abruptly, as a crash would.
void killOfficeForTests();

} // namespace OfficeServer
