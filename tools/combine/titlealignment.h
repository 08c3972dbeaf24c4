#pragma once
// Which column of the combined sheet each sheet's column goes to. Without alignment every sheet
// must have the first sheet's titles; with it, columns are matched by their title text (the nth
// "金额" with the nth), and a title the combined sheet lacks is added after its last column.

#include <QList>
#include <QString>
#include <QStringList>
#include <QVector>

struct TitleDifference
{
    int sheet = -1; // position among the titles given; -1: none differs
    int column = 0; // 1-based
    QString title;
    QString firstTitle; // the first sheet's title of that column
};

class TitleAlignment
{
public:
    // One title list per sheet, the first sheet's first, one title per used column. Empty titles
    // match by position; trailing ones make no difference.
    explicit TitleAlignment(const QList<QStringList>& sheetTitles);

    // The first column whose title is not the first sheet's.
    TitleDifference firstDifference() const;
    // For each sheet, its columns' 1-based columns in the combined sheet, when matched by title.
    QVector<QVector<int>> alignedColumns() const { return columns; }
    // The combined sheet's titles: the first sheet's, then those added.
    QStringList combinedTitles() const { return combined; }

private:
    QList<QStringList> titles;
    QVector<QVector<int>> columns;
    QStringList combined;
};
