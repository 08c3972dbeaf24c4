#pragma once
// The automation object: the surface of ActiveQt's QAxObject that the toolbox uses, so that the
// code written against it would build unchanged against QAxObject on Windows.

#include "automation/automationnode.h"

#include <QObject>

class AxObject : public QObject
{
    Q_OBJECT
public:
    // Creates the application object of the server registered under the ProgID.
    explicit AxObject(const QString& progId, QObject* parent = nullptr);
    AxObject(AutomationNodePtr node, QObject* parent);
    ~AxObject() override;

    bool isNull() const { return !node; }

    // The sub-object reached by the member, owned by this object; nullptr when there is none.
    AxObject* querySubObject(const char* name, const QVariant& var1 = QVariant(), const QVariant& var2 = QVariant(),
                             const QVariant& var3 = QVariant(), const QVariant& var4 = QVariant());
    QVariant dynamicCall(const char* function, const QVariant& var1 = QVariant(), const QVariant& var2 = QVariant(),
                         const QVariant& var3 = QVariant(), const QVariant& var4 = QVariant());
    // Hide QObject's own: these reach the automation object's properties.
    QVariant property(const char* name) const;
    bool setProperty(const char* name, const QVariant& value);
    // This object as an argument value for another call.
    QVariant asVariant() const;

signals:
    // Emitted when a call fails, as QAxObject does.
    void exception(int code, const QString& source, const QString& desc, const QString& help);

private:
    void report(const char* member, const AutomationError& error) const;

    AutomationNodePtr node;
};

// Runs the call on the object and tells whether the object accepted it (reported no failure).
template <typename Call>
bool accepted(AxObject* object, Call&& call)
{
    bool failed = false;
    const QMetaObject::Connection watch = QObject::connect(object, &AxObject::exception, [&failed] { failed = true; });
    call();
    QObject::disconnect(watch);
    return !failed;
}
