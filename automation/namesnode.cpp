#include "automation/namesnode.h"

#include "automation/namedranges.h"

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

NamesNode::NamesNode(const uno::Reference<sheet::XSpreadsheetDocument>& document) : entries(namedRanges(document)) {}

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

} // namespace OfficeNodes
