#pragma once
// Only the office server's own files include this header.

#include "automation/memberlessnode.h"

#include <com/sun/star/sheet/XSpreadsheetDocument.hpp>

#include <QList>

namespace OfficeNodes {

// The workbook's "Names", as Excel lists them: every name with what it refers to ("=0.13",
// "=$Sheet1.$A$1:$A$3"); a sheet's own names as "Sheet1!name". Read once, when asked for.
class NamesNode : public MemberlessNode
{
public:
    explicit NamesNode(const uno::Reference<sheet::XSpreadsheetDocument>& document);

    AutomationNodePtr subObject(const QString& member, const QVariantList& args, AutomationError& error) override;
    QVariant property(const QString& name, AutomationError& error) override;

private:
    using Entry = QPair<QString, QString>; // name, what it refers to

    class NameNode;

    QList<Entry> entries;
};

} // namespace OfficeNodes
