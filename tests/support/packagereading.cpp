#include "packagereading.h"

#include "fileformat/zippackage.h"

#include <QRegularExpression>

namespace {

QString attribute(const QString& element, const QString& name)
{
    const QRegularExpression pattern(QStringLiteral("\\b%1=\"([^\"]*)\"").arg(name));
    return pattern.match(element).captured(1);
}

bool isTrue(const QString& value)
{
    return value == QLatin1String("1") || value == QLatin1String("true");
}

QString xmlText(QString text)
{
    return text.replace(QLatin1String("&lt;"), QLatin1String("<"))
        .replace(QLatin1String("&gt;"), QLatin1String(">"))
        .replace(QLatin1String("&quot;"), QLatin1String("\""))
        .replace(QLatin1String("&amp;"), QLatin1String("&"));
}

QStringList elements(const QString& xml, const QString& name)
{
    QStringList found;
    const QRegularExpression pattern(QStringLiteral("<%1\\b[^>]*?(?:/>|>.*?</%1>)").arg(name),
                                     QRegularExpression::DotMatchesEverythingOption);
    for (auto match = pattern.globalMatch(xml); match.hasNext();)
        found << match.next().captured(0);
    return found;
}

QString section(const QString& xml, const QString& name)
{
    const QRegularExpression pattern(QStringLiteral("<%1\\b[^>]*>(.*?)</%1>").arg(name),
                                     QRegularExpression::DotMatchesEverythingOption);
    return pattern.match(xml).captured(1);
}

// The font name of each cell format.
QStringList fontOfFormats(const QString& styles)
{
    QStringList fontNames;
    for (const QString& font : elements(section(styles, QStringLiteral("fonts")), QStringLiteral("font")))
        fontNames << xmlText(attribute(elements(font, QStringLiteral("name")).value(0), QStringLiteral("val")));
    QStringList formats;
    for (const QString& format : elements(section(styles, QStringLiteral("cellXfs")), QStringLiteral("xf")))
        formats << fontNames.value(attribute(format, QStringLiteral("fontId")).toInt());
    return formats;
}

QStringList sharedTexts(const QString& strings, XlsxContent& content)
{
    QStringList texts;
    for (const QString& item : elements(strings, QStringLiteral("si"))) {
        QString text;
        for (const QString& part : elements(item, QStringLiteral("t")))
            text += xmlText(part.mid(part.indexOf(QLatin1Char('>')) + 1).chopped(4));
        texts << text;
        const QStringList runs = elements(item, QStringLiteral("r"));
        content.textRuns += runs.size();
        for (const QString& run : runs) {
            const QString font =
                xmlText(attribute(elements(run, QStringLiteral("rFont")).value(0), QStringLiteral("val")));
            if (!font.isEmpty() && !content.runFonts.contains(font))
                content.runFonts << font;
        }
    }
    return texts;
}

SheetView viewOf(const QString& sheet)
{
    SheetView view;
    const QString element = elements(sheet, QStringLiteral("sheetView")).value(0);
    const QString pane = elements(element, QStringLiteral("pane")).value(0);
    view.frozen = attribute(pane, QStringLiteral("state")).startsWith(QLatin1String("frozen"));
    if (view.frozen) {
        view.frozenRows = attribute(pane, QStringLiteral("ySplit")).toInt();
        view.frozenColumns = attribute(pane, QStringLiteral("xSplit")).toInt();
    }
    const QString zoom = attribute(element.left(element.indexOf(QLatin1Char('>'))), QStringLiteral("zoomScale"));
    view.zoom = zoom.isEmpty() ? 100 : zoom.toInt();
    const QString grid = attribute(element.left(element.indexOf(QLatin1Char('>'))), QStringLiteral("showGridLines"));
    view.gridShown = grid.isEmpty() || isTrue(grid);
    return view;
}

// The config items of one map entry of settings.xml (a sheet's, or the view's own).
QHash<QString, QString> configItems(const QString& entry)
{
    QHash<QString, QString> items;
    static const QRegularExpression item(QStringLiteral(
        "<config:config-item config:name=\"([A-Za-z]+)\" config:type=\"[a-z]+\">([^<]*)</config:config-item>"));
    for (auto match = item.globalMatch(entry); match.hasNext();) {
        const auto found = match.next();
        if (!items.contains(found.captured(1)))
            items.insert(found.captured(1), xmlText(found.captured(2)));
    }
    return items;
}

// An .ods keeps its views in settings.xml: the first view's entries, one map entry a sheet. Grid
// lines belong to the view there, so every sheet shows what the view says.
WorkbookViews readOdsViews(const QString& settings)
{
    WorkbookViews views;
    const int tables = settings.indexOf(QLatin1String("config:name=\"Tables\""));
    if (tables < 0)
        return views;
    const int tablesEnd = settings.indexOf(QLatin1String("</config:config-item-map-named>"), tables);
    const QString own = settings.left(tables) + settings.mid(tablesEnd);
    const QHash<QString, QString> viewItems = configItems(own);
    static const QRegularExpression entry(
        QStringLiteral("<config:config-item-map-entry config:name=\"([^\"]*)\">(.*?)</config:config-item-map-entry>"),
        QRegularExpression::DotMatchesEverythingOption);
    for (auto match = entry.globalMatch(settings.mid(tables, tablesEnd - tables)); match.hasNext();) {
        const auto found = match.next();
        const QHash<QString, QString> items = configItems(found.captured(2));
        SheetView view;
        if (items.value(QStringLiteral("HorizontalSplitMode")) == QLatin1String("2"))
            view.frozenColumns = items.value(QStringLiteral("HorizontalSplitPosition")).toInt();
        if (items.value(QStringLiteral("VerticalSplitMode")) == QLatin1String("2"))
            view.frozenRows = items.value(QStringLiteral("VerticalSplitPosition")).toInt();
        view.frozen = view.frozenRows > 0 || view.frozenColumns > 0;
        view.zoom = items.value(QStringLiteral("ZoomValue"), QStringLiteral("100")).toInt();
        view.gridShown = isTrue(items.value(QStringLiteral("ShowGrid"),
                                            viewItems.value(QStringLiteral("ShowGrid"), QStringLiteral("true"))));
        views.sheets.insert(xmlText(found.captured(1)), view);
    }
    views.activeSheet = viewItems.value(QStringLiteral("ActiveTable"));
    views.read = !views.sheets.isEmpty();
    return views;
}

} // namespace

WorkbookViews readViews(const QString& path)
{
    ZipPackage package;
    if (!package.open(path))
        return WorkbookViews();
    if (package.find("settings.xml"))
        return readOdsViews(QString::fromUtf8(package.unpacked("settings.xml")));
    const XlsxContent content = readXlsx(path);
    WorkbookViews views;
    views.read = content.read;
    views.sheets = content.views;
    views.activeSheet = content.activeSheet;
    return views;
}

XlsxContent readXlsx(const QString& path)
{
    XlsxContent content;
    ZipPackage package;
    if (!package.open(path))
        return content;
    const QString workbook = QString::fromUtf8(package.unpacked("xl/workbook.xml"));
    const QString relationships = QString::fromUtf8(package.unpacked("xl/_rels/workbook.xml.rels"));
    const QStringList formatFonts = fontOfFormats(QString::fromUtf8(package.unpacked("xl/styles.xml")));
    const QStringList shared = sharedTexts(QString::fromUtf8(package.unpacked("xl/sharedStrings.xml")), content);
    QHash<QString, QString> targets;
    for (const QString& relation : elements(relationships, QStringLiteral("Relationship")))
        targets.insert(attribute(relation, QStringLiteral("Id")), attribute(relation, QStringLiteral("Target")));

    const QStringList sheets = elements(section(workbook, QStringLiteral("sheets")), QStringLiteral("sheet"));
    for (const QString& entry : sheets) {
        const QString name = xmlText(attribute(entry, QStringLiteral("name")));
        QString target = targets.value(attribute(entry, QStringLiteral("r:id")));
        target = target.startsWith(QLatin1Char('/')) ? target.mid(1) : QStringLiteral("xl/") + target;
        const QString sheet = QString::fromUtf8(package.unpacked(target.toUtf8()));
        content.sheets << name;
        content.views.insert(name, viewOf(sheet));
        static const QRegularExpression rowPattern(QStringLiteral("<row\\b[^>]*>"));
        for (auto match = rowPattern.globalMatch(sheet); match.hasNext();) {
            const QString row = match.next().captured(0);
            if (isTrue(attribute(row, QStringLiteral("hidden"))))
                content.hiddenRows[name].append(attribute(row, QStringLiteral("r")).toInt());
        }
        static const QRegularExpression cellPattern(QStringLiteral("<c\\b([^>]*?)(?:/>|>(.*?)</c>)"),
                                                    QRegularExpression::DotMatchesEverythingOption);
        for (auto match = cellPattern.globalMatch(sheet); match.hasNext();) {
            const auto cell = match.next();
            const QString ref = attribute(cell.captured(1), QStringLiteral("r"));
            content.fonts[name].insert(ref,
                                       formatFonts.value(attribute(cell.captured(1), QStringLiteral("s")).toInt()));
            const bool sharedText = attribute(cell.captured(1), QStringLiteral("t")) == QLatin1String("s");
            const QString value = section(cell.captured(2), QStringLiteral("v"));
            if (sharedText)
                content.texts[name].insert(ref, shared.value(value.toInt()));
            if (cell.captured(2).contains(QLatin1String("<v")))
                content.values[name].insert(ref, sharedText ? shared.value(value.toInt()) : xmlText(value));
            const QString formula = section(cell.captured(2), QStringLiteral("f"));
            if (!formula.isEmpty())
                content.formulas[name].insert(ref, xmlText(formula));
        }
    }
    const int active =
        attribute(elements(workbook, QStringLiteral("workbookView")).value(0), QStringLiteral("activeTab")).toInt();
    content.activeSheet = content.sheets.value(active);
    content.read = !content.sheets.isEmpty();
    return content;
}
