#pragma once
// Whether a file held in memory is a whole container, as a save must leave it: read back before
// it replaces a workbook.

#include <QString>

namespace ContainerCheck {

// A zip whose central directory is intact and whose entries are all there with their sizes and
// checksums (zip64 included). Why not in *why.
bool isWholeZip(const uchar* file, quint64 size, QString* why = nullptr);

// A compound file whose every sector chain lies inside the file. Why not in *why.
bool isWholeCompound(const uchar* file, quint64 size, QString* why = nullptr);

} // namespace ContainerCheck
