#pragma once
// Reading the entries of a zip package (.xlsx, .ods). Only what those packages use: stored and deflated entries,
// no encryption, no zip64, one disk.

#include "fileformat/zipdirectory.h"

#include <QByteArray>
#include <QFile>
#include <QHash>
#include <QList>
#include <QString>
#include <functional>

class ZipPackage
{
public:
    // An entry as the directory lists it, with its name and where its packed data starts.
    struct Entry : ZipDirectory::Header
    {
        QByteArray name;
        quint64 dataOffset = 0;
    };

    // Reads the directory; false (with the reason in problem()) for anything else than a plain
    // zip file.
    bool open(const QString& path);
    QString problem() const { return why; }

    const QList<Entry>& entries() const { return list; }
    const Entry* find(const QByteArray& name) const;
    // The entry unpacked; with stopAfter, unpacking may end as soon as that text has come out.
    // Empty on failure (see problem()).
    QByteArray unpacked(const Entry& entry, const QByteArray& stopAfter = QByteArray()) const;
    QByteArray unpacked(const QByteArray& name) const;
    // The entry unpacked without what lies between the first `from` and the `to` after it (both
    // kept): a sheet's cells need not be held to read what comes before and after them. Empty on
    // failure.
    QByteArray unpackedAround(const Entry& entry, const QByteArray& from, const QByteArray& to) const;
    // Unpacks the entry a piece at a time, handing each to take, which says whether to go on.
    // False (see problem()) when the entry could not be unpacked up to where take stopped.
    bool unpackInPieces(const Entry& entry, const std::function<bool(const char*, int)>& take) const;
    // The entry's bytes as stored in the file.
    QByteArray packed(const Entry& entry) const;

private:
    QFile file;
    const uchar* bytes = nullptr;
    qint64 size = 0;
    QList<Entry> list;
    QHash<QByteArray, int> byName;
    mutable QString why;
};
