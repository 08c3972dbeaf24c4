#include "automation/axobject.h"

#include "automation/automationregistry.h"
#include "automation/calltimer.h"
#include "automation/responsivecalls.h"

namespace {

QVariantList givenArguments(std::initializer_list<const QVariant*> vars)
{
    QVariantList args;
    for (const QVariant* var : vars) {
        if (var->isValid())
            args.append(*var);
    }
    return args;
}

} // namespace

AxObject::AxObject(const QString& progId, QObject* parent) : QObject(parent), node(AutomationRegistry::create(progId))
{}

AxObject::AxObject(AutomationNodePtr node, QObject* parent) : QObject(parent), node(std::move(node)) {}

AxObject::~AxObject() = default;

AxObject* AxObject::querySubObject(const char* name, const QVariant& var1, const QVariant& var2, const QVariant& var3,
                                   const QVariant& var4)
{
    if (!node)
        return nullptr;
    AutomationError error;
    AutomationNodePtr sub;
    const QVariantList args = givenArguments({&var1, &var2, &var3, &var4});
    const CallTimer timer(name);
    ResponsiveCalls::run([&] { sub = node->subObject(automationMemberName(name), args, error); });
    report(name, error);
    return sub ? new AxObject(std::move(sub), this) : nullptr;
}

QVariant AxObject::dynamicCall(const char* function, const QVariant& var1, const QVariant& var2, const QVariant& var3,
                               const QVariant& var4)
{
    if (!node)
        return QVariant();
    AutomationError error;
    QVariant result;
    const QVariantList args = givenArguments({&var1, &var2, &var3, &var4});
    const CallTimer timer(function);
    ResponsiveCalls::run([&] { result = node->call(automationMemberName(function), args, error); });
    report(function, error);
    return result;
}

QVariant AxObject::property(const char* name) const
{
    if (!node)
        return QVariant();
    AutomationError error;
    QVariant value;
    const CallTimer timer(name);
    ResponsiveCalls::run([&] { value = node->property(QString::fromLatin1(name), error); });
    report(name, error);
    return value;
}

bool AxObject::setProperty(const char* name, const QVariant& value)
{
    if (!node)
        return false;
    AutomationError error;
    const CallTimer timer(name);
    ResponsiveCalls::run([&] { node->setProperty(QString::fromLatin1(name), value, error); });
    report(name, error);
    return !error.failed();
}

QVariant AxObject::asVariant() const
{
    return QVariant::fromValue(AutomationHandle{node});
}

void AxObject::report(const char* member, const AutomationError& error) const
{
    if (error.failed())
        emit const_cast<AxObject*>(this)->exception(-1, QString::fromLatin1(member), error.description, QString());
}
