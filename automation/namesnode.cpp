#include "automation/namesnode.h"

#include "automation/sheetlookups.h"

#include <com/sun/star/container/XNamed.hpp>
#include <com/sun/star/sheet/XNamedRange.hpp>

namespace OfficeNodes {

class NamesNode::NameNode : public MemberlessNode
{
public:
    explicit NameNode(Entry entry) : entry(std::move(entry)) {}
    QVariant property(const QString& name, AutomationError& error) override
    {
        if (name == QLatin1String("Name"))
            return entry.first;
        if (name == QLatin1String("RefersTo"))
            return entry.second;
        unknownMember(error, name);
        return QVariant();
    }

private:
    Entry entry;
};

NamesNode::NamesNode(const uno::Reference<sheet::XSpreadsheetDocument>& document)
{
    addNames(uno::Reference<beans::XPropertySet>(document, uno::UNO_QUERY_THROW), QString());
    uno::Reference<container::XIndexAccess> sheets(document->getSheets(), uno::UNO_QUERY_THROW);
    for (sal_Int32 i = 0; i < sheets->getCount(); ++i) {
        uno::Reference<beans::XPropertySet> sheet(sheets->getByIndex(i), uno::UNO_QUERY_THROW);
        addNames(sheet, sheetName(uno::Reference<sheet::XSpreadsheet>(sheet, uno::UNO_QUERY_THROW)) + QLatin1Char('!'));
    }
}

AutomationNodePtr NamesNode::subObject(const QString& member, const QVariantList& args, AutomationError& error)
{
    const int index = args.value(0).toInt();
    if (member != QLatin1String("Item") || index < 1 || index > entries.size()) {
        unknownMember(error, member);
        return nullptr;
    }
    return std::make_shared<NameNode>(entries.at(index - 1));
}

QVariant NamesNode::property(const QString& name, AutomationError& error)
{
    if (name == QLatin1String("Count"))
        return int(entries.size());
    unknownMember(error, name);
    return QVariant();
}

void NamesNode::addNames(const uno::Reference<beans::XPropertySet>& owner, const QString& prefix)
{
    uno::Reference<container::XIndexAccess> names(owner->getPropertyValue("NamedRanges"), uno::UNO_QUERY_THROW);
    for (sal_Int32 i = 0; i < names->getCount(); ++i) {
        uno::Reference<sheet::XNamedRange> range(names->getByIndex(i), uno::UNO_QUERY_THROW);
        const QString name = fromOUString(uno::Reference<container::XNamed>(range, uno::UNO_QUERY_THROW)->getName());
        entries.append({prefix + name, QLatin1Char('=') + fromOUString(range->getContent())});
    }
}

} // namespace OfficeNodes
