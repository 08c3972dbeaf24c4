#pragma once
// The fonts the office is given, so that a workbook keeps the fonts its author chose.

#include <QString>

namespace OfficeFonts {

// On load the office asks each font of a workbook whether it has Chinese glyphs; a font the
// machine lacks (等线, 宋体, Calibri, ...) stands in as a Latin-only font and loses the Chinese
// texts to the office's default font, which the next save writes as the cells' font and as runs
// of other fonts inside their texts. A font configuration that lets those names fall back to an
// installed font with both Chinese and Latin glyphs keeps every name as it was.
// The configuration's text, including the system's (or FONTCONFIG_FILE's) own first.
QString configurationText(const QString& baseConfiguration);

// Writes the configuration into the folder; its path, or empty when it cannot be written (the
// office then runs with the system's fonts as they are).
QString writeConfiguration(const QString& folder);

// The families given a fallback, Chinese names first.
QStringList familiesWithFallback();

} // namespace OfficeFonts
