#pragma once
// A check that runs before a downloaded XML document reaches QDomDocument, whose reader and
// tree recurse once per nesting level: a few megabytes of nested tags would exhaust the stack.

#include <QByteArray>

// The lists and update documents of the site are three levels deep.
constexpr int deepestDownloadedXml = 64;

// False when some element lies deeper than maxDepth. Malformed text passes: the DOM reader
// refuses it anyway.
bool isNestingWithin(const QByteArray& xml, int maxDepth = deepestDownloadedXml);
