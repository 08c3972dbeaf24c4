#pragma once
// The automation servers by ProgID: "Excel.Application" is the office server unless a test
// registers another one in its place.

#include "automation/automationnode.h"

#include <QString>
#include <functional>

// A ProgID names a registered server; creating it gives the server's application object.
class AutomationRegistry
{
public:
    using Factory = std::function<AutomationNodePtr()>;
    using Reason = std::function<QString()>;
    // Registers (or replaces) the server behind a ProgID; whyNot tells why it could not start.
    static void registerServer(const QString& progId, Factory factory, Reason whyNot = nullptr);
    static void unregisterServer(const QString& progId);
    // A new application object of the server, or none when the ProgID is unknown or the server
    // cannot start.
    static AutomationNodePtr create(const QString& progId);
    // Why the last create() gave none, when the server can tell; empty otherwise.
    static QString whyNotCreated(const QString& progId);
};
