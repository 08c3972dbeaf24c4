#pragma once
// A new zip package from entries of another, copied as they are or replaced, or from new data:
// the packages the tests change by hand, and every generated workbook (workbookwriter.h).

#include "fileformat/zippackage.h"

class ZipWriter
{
public:
    explicit ZipWriter(const QString& path);
    // Copies the entry of the package as it is stored there.
    void copy(const ZipPackage& package, const ZipPackage::Entry& entry);
    // A new entry with these bytes, stored unpacked; date and time from the entry it replaces.
    void add(const ZipPackage::Entry& replaced, const QByteArray& data);
    // A new entry, deflated.
    void addDeflated(const QByteArray& name, const QByteArray& data);
    // Writes the directory and closes the file; false when anything could not be written.
    bool finish();

private:
    void writeEntry(ZipPackage::Entry entry, const QByteArray& packed);

    QFile file;
    bool ok = true;
    QByteArray directory;
    int count = 0;
};
