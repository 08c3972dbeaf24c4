#pragma once
// Saving without ever putting a broken file where a workbook was: the office writes a temporary
// file beside the workbook, the file is checked and flushed, and only then renamed over it.

#include <QString>
#include <QStringList>

namespace SafeSave {

enum class Container { Zip, Compound, Text, Pdf }; // .xlsx/.ods, .xls, .csv, .pdf

// Whether the office filter reads or writes a workbook format (Excel's, OpenDocument's), as
// opposed to text, web pages and the like.
bool isWorkbookFilter(const QString& filterName);

// The container a file of that extension must be (xls: compound; xlsx, xlsm, ods: zip; csv: text;
// pdf); false for other extensions.
bool containerOfExtension(const QString& suffix, Container& container);

// Which container a filter of the office writes; false when it is none of those.
bool containerOfFilter(const QString& filterName, Container& container);

// Whether the file is a complete container: a zip whose central directory is intact and whose
// entries are all there with their sizes and checksums, a compound file whose every sector
// chain lies inside the file, a PDF from its header to its end-of-file mark, or a text file
// that reads back. Why not in *why.
bool isComplete(const QString& path, Container container, QString* why = nullptr);

// Puts a UTF-8 byte-order mark before the text file's content; false when it cannot.
bool prependUtf8Bom(const QString& path);

// A new, empty, hidden file in the folder of target, to be overwritten; empty when the folder
// takes no file.
QString reserveTemporaryBeside(const QString& target);

// Flushes temporary to disk, gives it the target's permissions (when the target exists) and
// renames it over the target; the temporary is removed on failure. Why not in *why.
bool replaceWith(const QString& temporary, const QString& target, QString* why = nullptr);

// The office's own temporary files (lu*.tmp) in the folder.
QStringList officeTemporaries(const QString& folder);

} // namespace SafeSave
