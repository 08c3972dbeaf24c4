#pragma once
// The update document of the maker's site: the published version and where to get it.

#include <QByteArray>
#include <QString>

// The values of an update document. Fields the document leaves out keep what they held.
struct UpdateDocument
{
    QString versionNow;
    int versionCode = 0;
    QString downUrl;
    QString webUrl;
};

// Reads the child elements of the document element; false when the text is not well-formed
// XML (the values are then unchanged).
bool readUpdateDocument(const QByteArray& xml, UpdateDocument& document);
