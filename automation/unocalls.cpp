#include "automation/unocalls.h"

#include <com/sun/star/frame/XModel.hpp>
#include <com/sun/star/container/XNamed.hpp>
#include <com/sun/star/sheet/XCellRangeAddressable.hpp>
#include <com/sun/star/sheet/XSheetCellCursor.hpp>
#include <com/sun/star/sheet/XUsedAreaCursor.hpp>

#include <QFileInfo>
#include <QStringList>
#include <QUrl>
#include <algorithm>

namespace OfficeNodes {

void fail(AutomationError& error, const QString& description)
{
    error.description = description;
}

void unknownMember(AutomationError& error, const QString& member)
{
    fail(error, QStringLiteral("Unknown member: ") + member);
}

QString pathToUrl(const QString& path)
{
    return QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()).toString(QUrl::FullyEncoded);
}

QString loadFilterOf(const uno::Reference<lang::XComponent>& document)
{
    const uno::Reference<frame::XModel> model(document, uno::UNO_QUERY);
    if (!model.is())
        return QString();
    for (const beans::PropertyValue& argument : model->getArgs()) {
        OUString name;
        if (argument.Name == "FilterName" && (argument.Value >>= name))
            return fromOUString(name);
    }
    return QString();
}

QString urlToPath(const OUString& url)
{
    return QUrl(fromOUString(url)).toLocalFile();
}

beans::PropertyValue propertyValue(const char* name, const uno::Any& value)
{
    beans::PropertyValue property;
    property.Name = OUString::createFromAscii(name);
    property.Value = value;
    return property;
}

uno::Sequence<beans::PropertyValue> propertyValues(std::initializer_list<beans::PropertyValue> values)
{
    uno::Sequence<beans::PropertyValue> sequence(static_cast<sal_Int32>(values.size()));
    std::copy(values.begin(), values.end(), sequence.getArray());
    return sequence;
}

uno::Reference<container::XIndexAccess> sheetIndex(const uno::Reference<sheet::XSpreadsheetDocument>& document)
{
    return uno::Reference<container::XIndexAccess>(document->getSheets(), uno::UNO_QUERY_THROW);
}

int sheetPosition(const uno::Reference<sheet::XSpreadsheet>& sheet)
{
    return uno::Reference<sheet::XCellRangeAddressable>(sheet, uno::UNO_QUERY_THROW)->getRangeAddress().Sheet;
}

QString sheetName(const uno::Reference<sheet::XSpreadsheet>& sheet)
{
    return fromOUString(uno::Reference<container::XNamed>(sheet, uno::UNO_QUERY_THROW)->getName());
}

QPair<int, int> usedAreaEnd(const uno::Reference<sheet::XSpreadsheet>& sheet)
{
    uno::Reference<sheet::XSheetCellCursor> cursor = sheet->createCursor();
    uno::Reference<sheet::XUsedAreaCursor>(cursor, uno::UNO_QUERY_THROW)->gotoEndOfUsedArea(false);
    const table::CellRangeAddress end =
        uno::Reference<sheet::XCellRangeAddressable>(cursor, uno::UNO_QUERY_THROW)->getRangeAddress();
    return {end.EndColumn, end.EndRow};
}

QPair<int, int> parseRowSpan(const QString& text)
{
    const QStringList parts = text.split(QLatin1Char(':'));
    if (parts.size() > 2)
        return {0, 0};
    bool firstOk = false, lastOk = false;
    const int first = parts.first().trimmed().toInt(&firstOk);
    const int last = parts.last().trimmed().toInt(&lastOk);
    if (!firstOk || !lastOk || first < 1 || last < first)
        return {0, 0};
    return {first, last};
}

} // namespace OfficeNodes
