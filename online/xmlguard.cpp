#include "online/xmlguard.h"

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
