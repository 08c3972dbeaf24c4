#pragma once
// Automation servers: objects reached by member name, as a COM dispatch interface offers them.
// A ProgID names a registered server; "Excel.Application" is the office server unless a test
// registers another one in its place.

#include <QMetaType>
#include <QString>
#include <QVariant>
#include <QVariantList>
#include <functional>
#include <memory>

class AutomationNode;
using AutomationNodePtr = std::shared_ptr<AutomationNode>;

// What a failed call reports; an empty description means the call succeeded.
struct AutomationError
{
    QString description;
    bool failed() const { return !description.isEmpty(); }
};

// One object of a server. Member names arrive without their argument list ("Cells", not
// "Cells(int,int)"); arguments are plain values or sub-objects wrapped by AutomationHandle.
class AutomationNode
{
public:
    virtual ~AutomationNode();
    virtual AutomationNodePtr subObject(const QString& member, const QVariantList& args, AutomationError& error) = 0;
    virtual QVariant call(const QString& member, const QVariantList& args, AutomationError& error) = 0;
    virtual QVariant property(const QString& name, AutomationError& error) = 0;
    virtual void setProperty(const QString& name, const QVariant& value, AutomationError& error) = 0;
};

// A sub-object passed as an argument value.
struct AutomationHandle
{
    AutomationNodePtr node;
};
Q_DECLARE_METATYPE(AutomationHandle)

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

// "Cells(int,int)" -> "Cells"; "Copy (const QVariant&)" -> "Copy".
QString automationMemberName(const char* prototype);
