#pragma once
// Checks that run before a downloaded XML document reaches QDomDocument, whose reader and
// tree recurse once per nesting level: a few megabytes of nested tags would exhaust the stack.

#include <QByteArray>

// The lists and update documents of the site are three levels deep.
constexpr int deepestDownloadedXml = 64;

// False when some element lies deeper than maxDepth. Malformed text passes: the DOM reader
// refuses it anyway.
bool isNestingWithin(const QByteArray& xml, int maxDepth = deepestDownloadedXml);

// Whether a download may be one of the site's documents (the advertisement list, the update
// document): well-formed XML within the nesting limit, and no web page. The document element
// may have any name, as documents already published have; an html one is a portal's login
// page or a server's page for every address, never the maker's document.
bool isSiteDocument(const QByteArray& xml);
