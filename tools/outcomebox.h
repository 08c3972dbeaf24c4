#pragma once
// A job's outcome shown in the tools' windows.

#include "tools/joboutcome.h"

class QWidget;

// Shows the outcome's messages, each in a box of the outcome's kind on the window.
void showOutcome(const JobOutcome& outcome, QWidget* window);
