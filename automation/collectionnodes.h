#pragma once
// Nodes that stand for several things at once: parts of a sheet that are only counted, the
// workbook's names, and row areas deleted together. Only the office server's own files include
// this header.

#include "automation/basenodes.h"

#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/frame/XModel.hpp>
#include <com/sun/star/table/XTableRows.hpp>

#include <QList>

namespace OfficeNodes {

// A collection asked only for its "Count".
class CountNode : public MemberlessNode
{
public:
    explicit CountNode(int count) : count(count) {}

    QVariant property(const QString& name, AutomationError& error) override
    {
        if (name == QLatin1String("Count"))
            return count;
        unknownMember(error, name);
        return QVariant();
    }

private:
    int count;
};

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

    void addNames(const uno::Reference<beans::XPropertySet>& owner, const QString& prefix);

    QList<Entry> entries;
};

// Several row areas at once, as Excel's Range("3:5,8:9") names them: deleted in one call.
class RowAreasNode : public DeletableNode
{
public:
    RowAreasNode(uno::Reference<frame::XModel> model, uno::Reference<sheet::XSpreadsheet> sheet,
                 QList<QPair<int, int>> areas);

private:
    QVariant remove() override;
    static QVariantList rowLook(const uno::Reference<table::XTableRows>& rows, int index);
    static void matchRowsFromBelow(const uno::Reference<table::XTableRows>& rows, int rowCount, int removed,
                                   const QVariantList& lastRowLook);
    void restore(const uno::Reference<beans::XPropertySet>& settings, const uno::Any& undo,
                 const uno::Any& adjustHeight);

    uno::Reference<frame::XModel> model;
    uno::Reference<sheet::XSpreadsheet> sheet;
    QList<QPair<int, int>> areas;
};

// "3:5,8:9,12:12" -> the areas, 1-based; empty when the text names anything else.
QList<QPair<int, int>> parseRowAreas(const QString& address);

} // namespace OfficeNodes
