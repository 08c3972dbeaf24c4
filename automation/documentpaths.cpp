#include "automation/documentpaths.h"

#include <com/sun/star/beans/PropertyValue.hpp>
#include <com/sun/star/frame/XModel.hpp>

#include <QFileInfo>
#include <QUrl>

namespace OfficeNodes {

using rtl::OUString;

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

} // namespace OfficeNodes
