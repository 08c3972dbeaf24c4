#include "fileformat/featureinventory.h"

#include "fileformat/biffinventory.h"
#include "fileformat/zippackage.h"

#include <QRegularExpression>

namespace FeatureInventory {

namespace {

const char* const kKeys[] = {
    "frozen-panes",
    "zoom",
    "hidden-grid",
    "charts",
    "chart-sheets",
    "pictures",
    "shapes",
    "pivot-tables",
    "tables",
    "slicers",
    "notes",
    "validations",
    "conditional-formats",
    "sparklines",
    "hyperlinks",
    "defined-names",
    "printer-settings",
    "macros",
    "external-links",
    "data-connections",
    "embedded-objects",
    "custom-xml",
    "sheet-protection",
    "workbook-protection",
};

int occurrences(const QByteArray& xml, const char* text)
{
    return xml.count(text);
}

QString attributeOf(const QByteArray& element, const char* name)
{
    const QRegularExpression pattern(QStringLiteral("\\b%1=\"([^\"]*)\"").arg(QLatin1String(name)));
    return pattern.match(QString::fromUtf8(element)).captured(1);
}

// The start tag of the first element of that name, or empty.
QByteArray startTag(const QByteArray& xml, const char* name)
{
    const int at = xml.indexOf(QByteArray("<") + name + ' ');
    return at < 0 ? QByteArray() : xml.mid(at, xml.indexOf('>', at) - at + 1);
}

bool isFalse(const QString& value)
{
    return value == QLatin1String("0") || value == QLatin1String("false");
}

void countWorksheet(const QByteArray& xml, QMap<QString, int>& counts)
{
    const QByteArray view = startTag(xml, "sheetView");
    const QByteArray pane = startTag(xml, "pane");
    if (attributeOf(pane, "state").startsWith(QLatin1String("frozen")))
        ++counts["frozen-panes"];
    const QString zoom = attributeOf(view, "zoomScale");
    if (!zoom.isEmpty() && zoom != QLatin1String("100"))
        ++counts["zoom"];
    if (isFalse(attributeOf(view, "showGridLines")))
        ++counts["hidden-grid"];
    counts["validations"] += occurrences(xml, "<dataValidation ") + occurrences(xml, "<x14:dataValidation ");
    counts["conditional-formats"] += occurrences(xml, "<cfRule ") + occurrences(xml, "<x14:cfRule ");
    counts["sparklines"] += occurrences(xml, "<x14:sparkline>");
    counts["hyperlinks"] += occurrences(xml, "<hyperlink ");
    // An element without sheet="1" only keeps settings for a protection that is off.
    const QByteArray protection = startTag(xml, "sheetProtection");
    if (!protection.isEmpty() && !isFalse(attributeOf(protection, "sheet"))
        && !attributeOf(protection, "sheet").isEmpty())
        ++counts["sheet-protection"];
}

void countWorkbook(const QByteArray& xml, QMap<QString, int>& counts)
{
    counts["defined-names"] += occurrences(xml, "<definedName ") - occurrences(xml, "<definedName name=\"_xlnm.");
    counts["workbook-protection"] += occurrences(xml, "<workbookProtection ");
}

void countXlsxEntry(const ZipPackage& package, const ZipPackage::Entry& entry, Inventory& inventory)
{
    const QString name = QString::fromUtf8(entry.name);
    QMap<QString, int>& counts = inventory.counts;
    const bool xml = name.endsWith(QLatin1String(".xml")) && !name.contains(QLatin1String("_rels/"));
    if (xml && name.startsWith(QLatin1String("xl/worksheets/")))
        countWorksheet(package.unpackedAround(entry, "<sheetData>", "</sheetData>"), counts);
    else if (name == QLatin1String("xl/workbook.xml"))
        countWorkbook(package.unpacked(entry), counts);
    else if (xml && name.startsWith(QLatin1String("xl/chartsheets/")))
        ++counts["chart-sheets"];
    else if (xml && name.startsWith(QLatin1String("xl/charts/chart")))
        ++counts["charts"];
    else if (xml && name.startsWith(QLatin1String("xl/drawings/drawing"))) {
        const QByteArray drawing = package.unpacked(entry);
        counts["pictures"] += occurrences(drawing, "<xdr:pic>");
        counts["shapes"] += occurrences(drawing, "<xdr:sp>") + occurrences(drawing, "<xdr:sp ");
    } else if (xml && name.startsWith(QLatin1String("xl/pivotTables/")))
        ++counts["pivot-tables"];
    // Single cells of an XML map live beside the tables but are none.
    else if (xml && name.startsWith(QLatin1String("xl/tables/"))
             && !name.startsWith(QLatin1String("xl/tables/tableSingleCells")))
        ++counts["tables"];
    else if (xml && name.startsWith(QLatin1String("xl/slicers/")))
        ++counts["slicers"];
    else if (xml && name.startsWith(QLatin1String("xl/comments")))
        counts["notes"] += occurrences(package.unpacked(entry), "<comment ");
    else if (name.startsWith(QLatin1String("xl/printerSettings/")))
        ++counts["printer-settings"];
    else if (name == QLatin1String("xl/vbaProject.bin"))
        ++counts["macros"];
    else if (xml && name.startsWith(QLatin1String("xl/externalLinks/externalLink")))
        ++counts["external-links"];
    else if (name == QLatin1String("xl/connections.xml"))
        counts["data-connections"] += occurrences(package.unpacked(entry), "<connection ");
    else if (name.startsWith(QLatin1String("xl/embeddings/")))
        ++counts["embedded-objects"];
    else if (name.startsWith(QLatin1String("customXml/item")) && !name.contains(QLatin1String("Props")))
        ++counts["custom-xml"];
}

// One count per sheet entry of settings.xml whose value differs from the plain view's.
void countOdsSettings(const QByteArray& xml, QMap<QString, int>& counts)
{
    static const QRegularExpression item(QStringLiteral(
        "<config:config-item config:name=\"([A-Za-z]+)\" config:type=\"[a-z]+\">([^<]*)</config:config-item>"));
    const QString text = QString::fromUtf8(xml);
    const int tables = text.indexOf(QLatin1String("config:name=\"Tables\""));
    for (auto match = item.globalMatch(text); match.hasNext();) {
        const auto found = match.next();
        const QString key = found.captured(1);
        const QString value = found.captured(2);
        const bool perSheet = tables >= 0 && found.capturedStart() > tables;
        if (perSheet && key == QLatin1String("VerticalSplitMode") && value == QLatin1String("2"))
            ++counts["frozen-panes"];
        else if (perSheet && key == QLatin1String("HorizontalSplitMode") && value == QLatin1String("2"))
            ++counts["frozen-panes"];
        else if (perSheet && key == QLatin1String("ZoomValue") && value != QLatin1String("100"))
            ++counts["zoom"];
        else if (!perSheet && key == QLatin1String("ShowGrid") && isFalse(value))
            ++counts["hidden-grid"];
    }
}

void countOdsContent(const QByteArray& xml, QMap<QString, int>& counts)
{
    counts["validations"] += occurrences(xml, "<table:content-validation ");
    counts["conditional-formats"] +=
        occurrences(xml, "<calcext:condition ") + occurrences(xml, "<calcext:color-scale-entry ");
    counts["notes"] += occurrences(xml, "<office:annotation");
    counts["hyperlinks"] += occurrences(xml, "<text:a ");
    counts["defined-names"] += occurrences(xml, "<table:named-range ") + occurrences(xml, "<table:named-expression ");
    counts["charts"] += occurrences(xml, "<draw:object ");
    counts["pictures"] += occurrences(xml, "<draw:image ");
    counts["pivot-tables"] += occurrences(xml, "<table:data-pilot-table ");
    counts["sheet-protection"] += occurrences(xml, "table:protected=\"true\"");
    counts["workbook-protection"] += occurrences(xml, "table:structure-protected=\"true\"");
}

} // namespace

QStringList keys()
{
    QStringList all;
    for (const char* key : kKeys)
        all << QString::fromLatin1(key);
    return all;
}

Inventory of(const QString& path)
{
    Inventory inventory;
    ZipPackage package;
    if (!package.open(path)) {
        inventory.read = BiffInventory::count(path, inventory.counts);
        if (!inventory.read)
            inventory.counts.clear();
        return inventory;
    }
    const bool ods = package.find("content.xml") != nullptr;
    for (const ZipPackage::Entry& entry : package.entries()) {
        if (!ods) {
            countXlsxEntry(package, entry, inventory);
            continue;
        }
        const QString name = QString::fromUtf8(entry.name);
        if (name == QLatin1String("content.xml"))
            countOdsContent(package.unpacked(entry), inventory.counts);
        else if (name == QLatin1String("settings.xml"))
            countOdsSettings(package.unpacked(entry), inventory.counts);
        else if (name.startsWith(QLatin1String("Basic/")) && name.endsWith(QLatin1String(".xml"))
                 && !name.endsWith(QLatin1String("script-lc.xml")) && !name.endsWith(QLatin1String("script-lb.xml")))
            ++inventory.counts["macros"];
    }
    inventory.read = package.problem().isEmpty() || !package.entries().isEmpty();
    return inventory;
}

bool stopsASave(const QString& key)
{
    return key != QLatin1String("printer-settings");
}

QStringList lost(const Inventory& source, const Inventory& result)
{
    QStringList missing;
    if (!source.read || !result.read)
        return missing;
    for (const QString& key : keys())
        if (result.counts.value(key) < source.counts.value(key))
            missing << key;
    return missing;
}

} // namespace FeatureInventory
