#pragma once
// Automation objects: reached by member name, as a COM dispatch interface offers them. The office
// server's nodes are such objects, and so are the stand-ins tests put in its place.

#include "automation/automationerror.h"

#include <QMetaType>
#include <QString>
#include <QVariant>
#include <QVariantList>
#include <memory>

class AutomationNode;
using AutomationNodePtr = std::shared_ptr<AutomationNode>;

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

// "Cells(int,int)" -> "Cells"; "Copy (const QVariant&)" -> "Copy".
QString automationMemberName(const char* prototype);
