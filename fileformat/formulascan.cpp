#include "fileformat/formulascan.h"

#include "fileformat/zippackage.h"

#include <QFileInfo>
#include <cstring>

namespace FormulaScan {

namespace {

// Follows a sheet's XML a piece at a time and hands the text of each formula element (<f> or,
// with a prefix, <x:f>) to the test; a formula may be split between two pieces.
class FormulaWatch
{
public:
    explicit FormulaWatch(const std::function<bool(const QByteArray&)>& test) : test(test) {}

    // False as soon as a formula passed.
    bool take(const char* data, int size)
    {
        // Between tags and inside other tags only '<' and '>' matter: skipped to at once.
        for (int i = 0; i < size && !passed;) {
            const char wanted = state == State::Outside ? '<' : state == State::InTag ? '>' : 0;
            if (wanted) {
                const void* found = std::memchr(data + i, wanted, size_t(size - i));
                const int at = found ? int(static_cast<const char*>(found) - data) : size;
                if (at > i)
                    lastInTag = data[at - 1];
                i = at;
                if (!found)
                    break;
            }
            step(data[i++]);
        }
        return !passed;
    }
    bool sawPass() const { return passed; }
    // Whether the sheet has a list of row breaks (Excel keeps the manual ones there).
    bool sawRowBreaks() const { return rowBreaks; }

private:
    enum class State { Outside, TagName, InTag, Formula, FormulaEnd };

    void step(char c)
    {
        switch (state) {
        case State::Outside:
            if (c == '<') {
                state = State::TagName;
                nameLength = 0;
            }
            break;
        case State::TagName:
            if (c == ' ' || c == '>' || c == '/' || c == '\t' || c == '\r' || c == '\n') {
                formulaTag = isNamed("f");
                rowBreaks = rowBreaks || isNamed("rowBreaks");
                state = c == '>' ? afterTag(false) : State::InTag;
                lastInTag = c;
            } else if (nameLength < kLongestName) {
                name[nameLength++] = c;
            } else {
                nameLength = kLongestName + 1; // no formula's
            }
            break;
        case State::InTag:
            if (c == '>')
                state = afterTag(lastInTag == '/');
            lastInTag = c;
            break;
        case State::Formula:
            if (c == '<')
                state = State::FormulaEnd;
            else
                text += c;
            break;
        case State::FormulaEnd:
            // Anything but the end tag (a comment, CDATA) is beyond this watch.
            passed = c != '/' || text.contains("&#") || test(text);
            formulaTag = false;
            state = State::InTag;
            break;
        }
    }

    // Whether the tag just read is that element, with or without a prefix.
    bool isNamed(const char* element) const
    {
        const int length = int(std::strlen(element));
        if (nameLength > kLongestName || nameLength < length
            || std::memcmp(name + nameLength - length, element, size_t(length)) != 0)
            return false;
        return nameLength == length || name[nameLength - length - 1] == ':';
    }

    State afterTag(bool selfClosing)
    {
        if (!formulaTag || selfClosing)
            return State::Outside;
        text.clear();
        return State::Formula;
    }

    static constexpr int kLongestName = 16;
    const std::function<bool(const QByteArray&)>& test;
    State state = State::Outside;
    char name[kLongestName] = {};
    int nameLength = 0;
    bool formulaTag = false;
    bool rowBreaks = false;
    char lastInTag = 0;
    QByteArray text;
    bool passed = false;
};

bool isSheetPart(const QByteArray& name)
{
    return name.endsWith(".xml") && (name.startsWith("xl/worksheets/") || name.startsWith("xl/macrosheets/"))
           && !name.contains("/_rels/");
}

// anyCellFormula, noting as well whether some sheet has a list of row breaks.
bool anyCellFormulaNoting(const QString& path, const std::function<bool(const QByteArray&)>& test, bool& rowBreaks)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix != QLatin1String("xlsx") && suffix != QLatin1String("xlsm"))
        return true;
    ZipPackage package;
    if (!package.open(path))
        return true;
    for (const ZipPackage::Entry& entry : package.entries()) {
        if (!isSheetPart(entry.name))
            continue;
        FormulaWatch watch(test);
        if (!package.unpackInPieces(entry, [&](const char* data, int size) { return watch.take(data, size); })
            || watch.sawPass())
            return true;
        rowBreaks = rowBreaks || watch.sawRowBreaks();
    }
    return false;
}

} // namespace

bool anyCellFormula(const QString& path, const std::function<bool(const QByteArray&)>& test)
{
    bool rowBreaks = false;
    return anyCellFormulaNoting(path, test, rowBreaks);
}

namespace {

bool holdsSheetRange(const QByteArray& formula)
{
    const int colon = formula.indexOf(':');
    return colon >= 0 && formula.indexOf('!', colon) > colon;
}

bool holdsTableOrLostReference(const QByteArray& formula)
{
    return formula.contains('[') || formula.contains("#REF!");
}

} // namespace

bool mayHoldSheetRanges(const QString& path)
{
    return anyCellFormula(path, holdsSheetRange);
}

bool mayHoldTablesOrLostReferences(const QString& path)
{
    return anyCellFormula(path, holdsTableOrLostReference);
}

Findings findingsOf(const QString& path)
{
    Findings found{false, false, false};
    // The scan stops once both are found, the breaks then unknown; a "maybe" of the package
    // answers all three.
    if (anyCellFormulaNoting(
            path,
            [&](const QByteArray& formula) {
                found.sheetRanges = found.sheetRanges || holdsSheetRange(formula);
                found.tablesOrLostReferences = found.tablesOrLostReferences || holdsTableOrLostReference(formula);
                return found.sheetRanges && found.tablesOrLostReferences;
            },
            found.rowBreaks))
        return Findings();
    return found;
}

} // namespace FormulaScan
