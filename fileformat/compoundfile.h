#pragma once
// A compound file (the container of .xls and the other Office 97 formats) read from its bytes:
// the allocation table, the directory and the streams. Every sector chain is checked against the
// file's size, so a cut-off or damaged file gives "no" and never a read past its end.

#include <QByteArray>
#include <QString>
#include <QVector>

class CompoundFile
{
public:
    static constexpr quint32 kNoEntry = 0xFFFFFFFF;
    enum EntryType { Storage = 1, Stream = 2, Root = 5 };

    struct Entry
    {
        QString name;
        int type = 0; // an EntryType, 0 for an unused slot
        quint32 left = kNoEntry;
        quint32 right = kNoEntry;
        quint32 child = kNoEntry;
        quint32 start = 0;
        quint64 size = 0;
    };

    // Reads the header, the allocation table and the directory from bytes, which must stay
    // mapped while this object is used. False, with why in *why, when they do not lie inside
    // the file.
    bool open(const uchar* bytes, quint64 size, QString* why = nullptr);

    // Every slot of the directory, unused ones included; the root storage is the first.
    const QVector<Entry>& entries() const { return directory; }
    // The indexes of the entries directly inside that storage.
    QVector<int> children(int storage) const;
    // The entry of that name (compared as the format does, ignoring case) directly inside the
    // storage; -1 when there is none.
    int child(int storage, const QString& name) const;

    // Whether the stream lies in the small-sector container rather than in sectors of its own.
    bool isSmall(const Entry& entry) const;
    // Whether a stream in sectors of its own has exactly the sectors its size needs.
    bool hasWholeChain(const Entry& entry) const;
    // The stream's bytes; false when a sector it needs lies outside the file.
    bool read(const Entry& entry, QByteArray& content) const;

private:
    bool chain(quint32 first, QVector<quint32>& sectors, bool wholeSectors = true) const;
    // Whether the sector starts inside the file; with wholeSector, also ends there.
    bool holds(quint32 index, bool wholeSector) const;
    const uchar* sector(quint32 index) const { return file + (quint64(index) + 1) * sectorSize; }
    // Those bytes of the sector, or null when they run past the end of the file.
    const uchar* bytesAt(quint32 index, quint64 offset, quint64 length) const;

    const uchar* file = nullptr;
    quint64 fileSize = 0;
    quint64 sectorSize = 512;
    quint64 sectorCount = 0;
    quint64 smallCutoff = 4096;
    quint32 smallTableStart = 0;
    QVector<quint32> fat;
    QVector<Entry> directory;
};
