#pragma once
// A workbook of an application object: its sheets, names and tables (workbooknode.cpp), and its
// saves (workbooksave.cpp). Only the office server's own files include this header.

#include "automation/memberlessnode.h"
#include "automation/officedocuments.h"
#include "automation/safesave.h"

#include <QStringList>
#include <QVariantMap>
#include <functional>

namespace OfficeNodes {

class WorkbookNode : public MemberlessNode
{
public:
    WorkbookNode(ApplicationPtr application, DocumentPtr document);

    AutomationNodePtr subObject(const QString& member, const QVariantList& args, AutomationError& error) override;
    QVariant call(const QString& member, const QVariantList& args, AutomationError& error) override;
    QVariant property(const QString& name, AutomationError& error) override;
    void setProperty(const QString& name, const QVariant& value, AutomationError& error) override;

private:
    AutomationNodePtr sheetNamed(const QVariant& key, AutomationError& error);
    AutomationNodePtr sheetGroup(const QStringList& names, AutomationError& error);
    AutomationNodePtr activeSheet();
    QVariant keepValues(const QStringList& places, AutomationError& error);
    QVariantMap tableRanges() const;
    bool holdsMacroCodeNames() const;
    bool formulasMaySpanSheets() const;
    void close();

    // Saves, in workbooksave.cpp.
    QVariant save(AutomationError& error);
    QString ownFilterOr(const QString& path) const;
    bool showsViewForStore(SafeSave::Container container) const;
    QVariant saveCopyAs(const QString& path, AutomationError& error);
    QVariant saveAs(const QString& path, AutomationError& error);
    bool storeSafely(const QString& target, const QString& filter, AutomationError& error,
                     const std::function<bool(const QString&)>& accepts = nullptr);
    static QString filterForExtension(const QString& suffix);

    ApplicationPtr application;
    DocumentPtr document;
};

} // namespace OfficeNodes
