#pragma once
// What files written from a workbook lack of the workbook's own features, read from the files.

#include <QString>
#include <QStringList>

// The feature keys ("frozen-panes", "pivot-tables", ...) the source file has more of than the
// written files together; empty when none, or when the files are of a kind that is not read.
QStringList featuresMissingFromFiles(const QString& sourcePath, const QStringList& writtenPaths);

// The feature keys the source files together have more of than the file made from them.
QStringList featuresMissingFromCombined(const QStringList& sourcePaths, const QString& resultPath);
