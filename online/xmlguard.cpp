#include "online/xmlguard.h"

#include <QDomDocument>
#include <QXmlStreamReader>

bool isNestingWithin(const QByteArray& xml, int maxDepth)
{
    // The stream reader keeps its own stack on the heap, so it reads any depth safely.
    QXmlStreamReader reader(xml);
    int depth = 0;
    while (!reader.atEnd()) {
        const QXmlStreamReader::TokenType token = reader.readNext();
        if (token == QXmlStreamReader::StartElement && ++depth > maxDepth)
            return false;
        if (token == QXmlStreamReader::EndElement)
            --depth;
    }
    return true;
}

bool isSiteDocument(const QByteArray& xml)
{
    // The same reader the documents are read with, so nothing passes here that reads as empty.
    QDomDocument document;
    if (!isNestingWithin(xml) || !document.setContent(xml, false))
        return false;
    // Without namespace processing a prefix stays in the name (h:html).
    const QString name = document.documentElement().tagName().section(QLatin1Char(':'), -1);
    return name.compare(QLatin1String("html"), Qt::CaseInsensitive) != 0;
}
