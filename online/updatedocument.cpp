#include "online/updatedocument.h"

#include "online/xmlguard.h"

#include <QDomDocument>

bool readUpdateDocument(const QByteArray& xml, UpdateDocument& document)
{
    QDomDocument dom(QStringLiteral("updateKiv"));
    if (!isNestingWithin(xml) || !dom.setContent(xml, false))
        return false;
    for (QDomNode node = dom.documentElement().firstChild(); !node.isNull(); node = node.nextSibling()) {
        const QDomElement element = node.toElement();
        const QString tag = element.tagName();
        const QString text = element.text();
        if (tag == QLatin1String("VERSIONNOW"))
            document.versionNow = text;
        else if (tag == QLatin1String("VERSIONCODE"))
            document.versionCode = text.toInt(nullptr, 10); // 0 when not a number
        else if (tag == QLatin1String("DOWNURL"))
            document.downUrl = text;
        else if (tag == QLatin1String("WEBURL"))
            document.webUrl = text;
    }
    return true;
}
