#pragma once
// A call's outcome on an automation object.

#include <QString>

// What a failed call reports; an empty description means the call succeeded.
struct AutomationError
{
    QString description;
    bool failed() const { return !description.isEmpty(); }
};
