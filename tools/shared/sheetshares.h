#pragma once
// A workbook's sheet files written by several offices at once, each loading the workbook and
// writing a share of its sheets. What a share came to travels between processes as a map.

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QVariantMap>

// The sheets of share k (from 0) of n: consecutive sheets in workbook order, so that each office
// cuts its own half of the workbook; the first shares get one more when they do not divide evenly.
QStringList shareOf(const QStringList& sheets, int share, int shares);

// Whether every sheet's file has a name of its own, so that no two offices write one file.
bool fileNamesApart(const QStringList& sheets);

// How many offices may write the files at once: up to wanted, when there are sheets enough and
// the memory for another office that loads a workbook of that size.
int officesAffordable(int wanted, int sheetCount, qint64 workbookBytes);

// How many offices to ask for when the user did not say: one per core, up to two, for a workbook
// big enough that a second office's start and load cost less than the half of the work it takes.
int officesByDefault(qint64 workbookBytes);

struct SheetShare
{
    QStringList sheets;   // the share's sheets
    bool reported = true; // false: its process or office ended before it said what it did
    QStringList written, notWritten, replaced;
    int cellsKept = 0, pivotsKept = 0;
    bool placeholders = false, cancelled = false;
    QString officeLost; // what became of the office, when it was lost
    QString failure;    // why no file could be written at all

    QVariantMap toMap() const;
    static SheetShare fromMap(const QVariantMap& map);
    // Takes in another share's results.
    void add(const SheetShare& other);
};

// Runs the other shares elsewhere while this process writes its own (the command line starts a
// process of its own for each).
class OtherShares
{
public:
    virtual ~OtherShares() = default;
    // Starts shares 1..shares-1 of the request's workbook.
    virtual void start(int shares) = 0;
    // Waits for them, in share order; one that ended without a word is not reported.
    virtual QList<SheetShare> collect() = 0;
};
