// The two ways the column split builds its sheets give the same workbook: row blocks deleted
// from each copy, or copies of a work sheet sorted by value. The sorted way is taken only where
// it cannot differ. Saved workbooks are compared as the files hold them: cells, formulas,
// styles, rows.
#include "common/dialogs.h"
#include "common/runprogress.h"
#include "automation/axobject.h"
#include "excelop/excelopkiv.h"
#include "testsupport.h"
#include "tools/splitcolumn/columnsplitrun.h"
#include "tools/splitcolumn/sortedcopycheck.h"
#include "formulabook.h"

#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>
#include <limits>

namespace {

constexpr int kAlways = 0;
constexpr int kNever = std::numeric_limits<int>::max();

// A report line, a title row 2, 60 data rows with five values interleaved (the empty text and
// one the office refuses as a sheet name among them) and a total line.
SheetContent interleavedSheet()
{
    const QStringList values = {"north", "", "a/b", "south", "north", "east", "south"};
    SheetContent sheet{"Data", {{"report", "", ""}, {"id", "ref", "amount"}}};
    for (int k = 0; k < 60; ++k)
        sheet.rows.append(
            {QStringLiteral("r%1").arg(k + 3), values.at((k * 5 + k / 7) % values.size()), QString::number(k * 1.5)});
    sheet.rows.append({"total", "", "999"});
    return sheet;
}

ColumnSplitSettings settingsFor(int blocksForSortedCopy, int endRow = 62)
{
    ColumnSplitSettings settings{"Data", 2, endRow, 2, false};
    settings.blocksForSortedCopy = settings.blocksForSortedCopyWithFormulas = blocksForSortedCopy;
    return settings;
}

// A part of a saved workbook, through the system's unzip.
QString zipPart(const QString& path, const QString& part)
{
    QProcess unzip;
    unzip.start(QStringLiteral("unzip"), {QStringLiteral("-p"), path, part});
    unzip.waitForFinished(60000);
    return QString::fromUtf8(unzip.readAllStandardOutput());
}

// One sheet as the saved file holds it: its cells ("A3 | formula | value | type | style", shared
// texts and styles written out), its row records and its dimension.
struct SavedSheet
{
    QString name;
    QStringList cells;
    QStringList rows;
    QStringList mergedAreas;
    // Conditional formats (their formats' numbers left out: the ways number them differently),
    // validations and manual page breaks.
    QStringList conditions;
    QStringList validations;
    QStringList pageBreaks;
    QString dimension;
    int lastRow = 0; // of the row records
};

QList<SavedSheet> savedSheets(const QString& path)
{
    const auto all = [](const QString& text, const QString& pattern) {
        QStringList found;
        QRegularExpressionMatchIterator it =
            QRegularExpression(pattern, QRegularExpression::DotMatchesEverythingOption).globalMatch(text);
        while (it.hasNext())
            found.append(it.next().captured(1));
        return found;
    };
    const QString styles = zipPart(path, QStringLiteral("xl/styles.xml"));
    const QStringList formats = all(all(styles, QStringLiteral("<cellXfs[^>]*>(.*?)</cellXfs>")).value(0),
                                    QStringLiteral("(<xf [^>]*?(?:/>|>.*?</xf>))"));
    QStringList texts = all(zipPart(path, QStringLiteral("xl/sharedStrings.xml")), QStringLiteral("<si>(.*?)</si>"));
    const QStringList names =
        all(zipPart(path, QStringLiteral("xl/workbook.xml")), QStringLiteral("<sheet name=\"([^\"]*)\""));
    QList<SavedSheet> sheets;
    for (int i = 0; i < names.size(); ++i) {
        const QString xml = zipPart(path, QStringLiteral("xl/worksheets/sheet%1.xml").arg(i + 1));
        QStringList conditions = all(xml, QStringLiteral("(<conditionalFormatting .*?</conditionalFormatting>)"));
        conditions.replaceInStrings(QRegularExpression(QStringLiteral(" dxfId=\"[0-9]+\"")), QString());
        SavedSheet sheet{names.at(i),
                         {},
                         {},
                         all(xml, QStringLiteral("<mergeCell ref=\"([^\"]*)\"")),
                         conditions,
                         all(xml, QStringLiteral("(<dataValidation .*?</dataValidation>)")),
                         all(xml, QStringLiteral("<brk id=\"([0-9]+)\"[^>]*man=\"(?:true|1)\"")),
                         all(xml, QStringLiteral("<dimension ref=\"([^\"]*)\"")).value(0),
                         0};
        QRegularExpressionMatchIterator cells =
            QRegularExpression(QStringLiteral("<c r=\"([A-Z]+[0-9]+)\"([^>]*?)(?:/>|>(.*?)</c>)"),
                               QRegularExpression::DotMatchesEverythingOption)
                .globalMatch(xml);
        while (cells.hasNext()) {
            const QRegularExpressionMatch cell = cells.next();
            const QString style = all(cell.captured(2), QStringLiteral("s=\"([0-9]+)\"")).value(0);
            const QString type = all(cell.captured(2), QStringLiteral("t=\"([a-z]+)\"")).value(0);
            QString value = all(cell.captured(3), QStringLiteral("<v>(.*?)</v>")).value(0);
            if (type == QLatin1String("s"))
                value = texts.value(value.toInt());
            sheet.cells.append(QStringList{cell.captured(1),
                                           all(cell.captured(3), QStringLiteral("<f[^>]*>(.*?)</f>")).value(0), value,
                                           type, style.isEmpty() ? QString() : formats.value(style.toInt())}
                                   .join(QStringLiteral(" | ")));
        }
        sheet.rows = all(xml, QStringLiteral("<row ([^>]*)>"));
        for (const QString& row : all(xml, QStringLiteral("<row r=\"([0-9]+)\"")))
            sheet.lastRow = qMax(sheet.lastRow, row.toInt());
        sheets.append(sheet);
    }
    return sheets;
}

// The rows' attributes; a row whose height follows its text may be measured again, so its
// height is left out.
QStringList rowsAsCompared(QStringList rows)
{
    static const QRegularExpression measured(QStringLiteral(" ht=\"[0-9.]+\"(?=.*customHeight=\"false\")"));
    for (QString& row : rows)
        row.remove(measured);
    return rows;
}

void compareSavedWorkbooks(const QString& actualPath, const QString& expectedPath)
{
    const QList<SavedSheet> actual = savedSheets(actualPath);
    const QList<SavedSheet> expected = savedSheets(expectedPath);
    QCOMPARE(actual.size(), expected.size());
    for (int i = 0; i < expected.size(); ++i) {
        QCOMPARE(actual.at(i).name, expected.at(i).name);
        QCOMPARE(actual.at(i).dimension, expected.at(i).dimension);
        QCOMPARE(rowsAsCompared(actual.at(i).rows), rowsAsCompared(expected.at(i).rows));
        QCOMPARE(actual.at(i).mergedAreas, expected.at(i).mergedAreas);
        QCOMPARE(actual.at(i).conditions, expected.at(i).conditions);
        QCOMPARE(actual.at(i).validations, expected.at(i).validations);
        QCOMPARE(actual.at(i).pageBreaks, expected.at(i).pageBreaks);
        QCOMPARE(actual.at(i).cells, expected.at(i).cells);
    }
}

// The formula workbook: 40 data rows, three values, a merged report line, formulas on their own
// row and on another sheet.
FormulaBook::Layout smallReport()
{
    FormulaBook::Layout layout;
    layout.dataRows = 40;
    layout.values = QStringList{"华东", "华北", "west"};
    return layout;
}

} // namespace

class ColumnSplitRunTest : public QObject
{
    Q_OBJECT
private:
    QTemporaryDir folder;

    QString newBook(const QString& name, const QList<SheetContent>& sheets)
    {
        const QString path = folder.filePath(name);
        return writeWorkbook(path, sheets) ? path : QString();
    }

    // Runs the split on the file and saves it; the progress values tell which way was taken.
    ColumnSplitRun::Outcome split(const QString& path, const ColumnSplitSettings& settings)
    {
        auto book = openedWorkbook(path);
        ColumnSplitRun run(*book, settings);
        const ColumnSplitRun::Outcome outcome = run.run();
        if (outcome != ColumnSplitRun::Outcome::Failed)
            book->saveWorkbook();
        return outcome;
    }

    // Splits one copy of a report block by block and one by sorting, which must be taken, and
    // compares the saved workbooks.
    void splitBothWaysAlike(const QString& byBlocks, const QString& bySorting, const FormulaBook::Layout& layout)
    {
        const int endRow = FormulaBook::lastDataRow(layout);
        QCOMPARE(split(byBlocks, settingsFor(kNever, endRow)), ColumnSplitRun::Outcome::Finished);
        QCOMPARE(split(bySorting, settingsFor(kAlways, endRow)), ColumnSplitRun::Outcome::Finished);
        QVERIFY(tookSortedWay(int(layout.values.size())));
        compareSavedWorkbooks(bySorting, byBlocks);
    }

    static bool tookSortedWay(int valueCount) { return RunProgress::lastValues().size() == valueCount + 1; }

private slots:
    void initTestCase()
    {
        initTestEnvironment();
        QVERIFY(folder.isValid());
        if (QStandardPaths::findExecutable(QStringLiteral("unzip")).isEmpty())
            QSKIP("the saved files are read with unzip, which this machine lacks");
    }

    void bothWaysGiveTheSameWorkbook_data()
    {
        QTest::addColumn<bool>("deleteReferColumn");
        QTest::newRow("keep the reference column") << false;
        QTest::newRow("delete the reference column") << true;
    }
    void bothWaysGiveTheSameWorkbook()
    {
        QFETCH(bool, deleteReferColumn);
        const QList<SheetContent> sheets = {{"空", {{"taken"}}}, interleavedSheet(), {"After", {{"x"}}}};
        const QString byBlocks = newBook(QStringLiteral("blocks.xlsx"), sheets);
        const QString bySorting = newBook(QStringLiteral("sorted.xlsx"), sheets);
        ColumnSplitSettings blocks = settingsFor(kNever);
        ColumnSplitSettings sorted = settingsFor(kAlways);
        blocks.deleteReferColumn = sorted.deleteReferColumn = deleteReferColumn;

        QCOMPARE(split(byBlocks, blocks), ColumnSplitRun::Outcome::Finished);
        QVERIFY(!tookSortedWay(5));
        QCOMPARE(split(bySorting, sorted), ColumnSplitRun::Outcome::Finished);
        QVERIFY(tookSortedWay(5));

        const QList<SheetContent> expected = readWorkbook(byBlocks);
        const QList<SheetContent> actual = readWorkbook(bySorting);
        QCOMPARE(sheetNames(actual), QStringList({"空", "north", "east", "south", "_0", "a_b", "Data", "After"}));
        QCOMPARE(sheetNames(actual), sheetNames(expected));
        for (const SheetContent& sheet : expected)
            QCOMPARE(sheetNamed(actual, sheet.name).rows, sheet.rows);
    }

    void cancelKeepsTheFinishedSheetAndDropsTheWorkCopies()
    {
        const SheetContent source = interleavedSheet();
        const QString path = newBook(QStringLiteral("cancel.xlsx"), {source});
        RunProgress::setCancelAtValue(1); // once the first value is done
        QCOMPARE(split(path, settingsFor(kAlways)), ColumnSplitRun::Outcome::Cancelled);
        const QList<SheetContent> after = readWorkbook(path);
        // The sheets are cut in the order the sort left the values: the one finished is whole.
        QCOMPARE(after.size(), 2);
        const QString finished = after.first().name;
        QCOMPARE(after.last().name, QStringLiteral("Data"));
        QList<QStringList> finishedRows = source.rows.mid(0, 2);
        for (const QStringList& row : source.rows.mid(2, 60))
            if (legalSheetName(row.at(1)) == finished)
                finishedRows.append(row);
        finishedRows.append(source.rows.last());
        QVERIFY(finishedRows.size() > 3);
        QCOMPARE(after.first().rows, finishedRows);
        QCOMPARE(sheetNamed(after, "Data").rows, source.rows);
    }

    // A cancel while the work copy is sorted ends the run there: no new sheet, no work copy, and
    // the block-by-block way is not taken instead.
    void cancelBeforeTheFirstSheetLeavesTheWorkbookAsItWas()
    {
        const SheetContent source = interleavedSheet();
        const QString path = newBook(QStringLiteral("cancel-early.xlsx"), {source});
        RunProgress::setCancelAtValue(0);
        QCOMPARE(split(path, settingsFor(kAlways)), ColumnSplitRun::Outcome::Cancelled);
        const QList<SheetContent> after = readWorkbook(path);
        QCOMPARE(after.size(), 1);
        QCOMPARE(after.first().rows, source.rows);
    }

    void formulaWorkbookSplitsTheSameEitherWay_data()
    {
        QTest::addColumn<bool>("runningTotal");
        QTest::addColumn<int>("rateName");
        QTest::addColumn<bool>("sortable");
        const int none = int(FormulaBook::Layout::RateName::None);
        QTest::newRow("formulas on their own row") << false << none << true;
        QTest::newRow("with a running total") << true << none << true;
        QTest::newRow("a name for a rate") << false << int(FormulaBook::Layout::RateName::Constant) << true;
        QTest::newRow("a name for a cell") << false << int(FormulaBook::Layout::RateName::Cell) << false;
    }
    void formulaWorkbookSplitsTheSameEitherWay()
    {
        QFETCH(bool, runningTotal);
        QFETCH(int, rateName);
        QFETCH(bool, sortable);
        FormulaBook::Layout layout = smallReport();
        layout.runningTotal = runningTotal;
        layout.rateName = FormulaBook::Layout::RateName(rateName);
        const QString byBlocks = folder.filePath(QStringLiteral("report-blocks.xlsx"));
        const QString bySorting = folder.filePath(QStringLiteral("report-sorted.xlsx"));
        QVERIFY(FormulaBook::write(byBlocks, layout));
        QVERIFY(FormulaBook::write(bySorting, layout));
        const int endRow = FormulaBook::lastDataRow(layout);

        QCOMPARE(split(byBlocks, settingsFor(kNever, endRow)), ColumnSplitRun::Outcome::Finished);
        QVERIFY(!tookSortedWay(3));
        QCOMPARE(split(bySorting, settingsFor(kAlways, endRow)), ColumnSplitRun::Outcome::Finished);
        const bool sorted = tookSortedWay(3);
        compareSavedWorkbooks(bySorting, byBlocks);
        QCOMPARE(sorted, sortable);

        // Each new sheet holds the report line, the titles, its value's rows and the total line,
        // their formulas on their new rows, and no row beyond them.
        const QList<SavedSheet> sheets = savedSheets(bySorting);
        QCOMPARE(sheets.size(), 5);
        int dataRows = 0;
        for (const SavedSheet& sheet : sheets.mid(0, 3)) {
            const int rows = sheet.rows.size();
            QCOMPARE(sheet.lastRow, rows);
            QCOMPARE(sheet.dimension, QStringLiteral("A1:%1%2").arg(FormulaBook::lastColumn(layout)).arg(rows));
            QCOMPARE(sheet.mergedAreas,
                     QStringList{QStringLiteral("A1:") + FormulaBook::lastColumn(layout) + QStringLiteral("1")});
            QCOMPARE(sheet.cells.filter(QStringLiteral("E3 | D3*12.5 | ")).size(), 1);
            const QString rate = rateName ? QStringLiteral("增值税率") : QStringLiteral("税率!$B$1");
            QCOMPARE(sheet.cells.filter(QStringLiteral("F3 | E3*(1+%1) | ").arg(rate)).size(), 1);
            dataRows += rows - 3;
        }
        QCOMPARE(dataRows, layout.dataRows);
    }

    // Real reports have rows of their own height (wrapped text) and hidden rows: the sorted way
    // puts each row's look back after the sort, so both ways give the same workbook.
    void rowsOfTheirOwnLookSplitTheSameEitherWay()
    {
        const FormulaBook::Layout layout = smallReport();
        const QString byBlocks = folder.filePath(QStringLiteral("looks-blocks.xlsx"));
        const QString bySorting = folder.filePath(QStringLiteral("looks-sorted.xlsx"));
        const QVariant tall = QVariantList{1200, true, false};
        const QVariant hidden = QVariantList{452, false, true};
        for (const QString& path : {byBlocks, bySorting}) {
            QVERIFY(FormulaBook::write(path, layout));
            auto book = openedWorkbook(path);
            SheetEntry* data = book->findSheet(FormulaBook::sheetName());
            QVERIFY(data->setRowLooks(5, QVariantList{tall}));
            QVERIFY(data->setRowLooks(9, QVariantList{hidden, hidden}));
            QVERIFY(data->setRowLooks(20, QVariantList{tall, QVariantList{800, true, false}}));
            QVERIFY(book->saveWorkbook());
        }
        splitBothWaysAlike(byBlocks, bySorting, layout);
        if (QTest::currentTestFailed())
            return;
        const QList<SavedSheet> sheets = savedSheets(bySorting);
        QStringList rows;
        for (const SavedSheet& sheet : sheets.mid(0, 3))
            rows += sheet.rows;
        QCOMPARE(rows.filter(QStringLiteral("hidden=\"true\"")).size(), 2);
        QCOMPARE(rows.filter(QRegularExpression(QStringLiteral("hidden=\"false\" customHeight=\"true\""))).size(), 3);
    }

    // The sales report's kind: conditional formats over the data rows, one anchored to its own
    // row, a validation and manual page breaks. The sorted way carries them all, and the formats'
    // formulas read as the user wrote them in every new sheet, whichever way.
    void conditionalFormatsAndPageBreaksSplitTheSameEitherWay()
    {
        FormulaBook::Layout layout = smallReport();
        layout.rowsOfTheirOwn = true;
        const QString byBlocks = folder.filePath(QStringLiteral("report-blocks.xlsx"));
        const QString bySorting = folder.filePath(QStringLiteral("report-sorted.xlsx"));
        for (const QString& path : {byBlocks, bySorting})
            QVERIFY(FormulaBook::write(path, layout));
        splitBothWaysAlike(byBlocks, bySorting, layout);
        if (QTest::currentTestFailed())
            return;

        const QList<SavedSheet> sheets = savedSheets(bySorting);
        QCOMPARE(sheets.size(), 5);
        int breaks = 0;
        for (const SavedSheet& sheet : sheets.mid(0, 3)) {
            QCOMPARE(sheet.conditions.size(), 2);
            QVERIFY2(sheet.conditions.join(QString()).contains(QStringLiteral("<formula>$E3&gt;1000</formula>")),
                     qPrintable(sheet.conditions.join(QString())));
            QCOMPARE(sheet.validations.size(), 1);
            breaks += sheet.pageBreaks.size();
        }
        // Each break stays above its row, in whichever sheet that row went.
        QCOMPARE(breaks, sheets.at(3).pageBreaks.size());
        QCOMPARE(breaks, 7);
    }

    // A format on some data rows only would stay with the row numbers in a sort.
    void conditionalFormatsOnSomeDataRowsAreSplitBlockByBlock()
    {
        const FormulaBook::Layout layout = smallReport();
        const QString byBlocks = folder.filePath(QStringLiteral("partial-blocks.xlsx"));
        const QString bySorting = folder.filePath(QStringLiteral("partial-sorted.xlsx"));
        for (const QString& path : {byBlocks, bySorting}) {
            QVERIFY(FormulaBook::write(path, layout));
            auto book = openedWorkbook(path);
            QVERIFY(book->findSheet(FormulaBook::sheetName())->highlightCellsEqualTo(4, 5, 10, 3));
            QVERIFY(book->saveWorkbook());
        }
        const int endRow = FormulaBook::lastDataRow(layout);
        QCOMPARE(split(byBlocks, settingsFor(kNever, endRow)), ColumnSplitRun::Outcome::Finished);
        QCOMPARE(split(bySorting, settingsFor(kAlways, endRow)), ColumnSplitRun::Outcome::Finished);
        QVERIFY(!tookSortedWay(3));
        compareSavedWorkbooks(bySorting, byBlocks);
    }

    void mergedCellsInTheDataRowsAreSplitBlockByBlock_data()
    {
        QTest::addColumn<QString>("mergedArea");
        QTest::newRow("within the data rows") << "A10:B11";
        QTest::newRow("from the titles into the data rows") << "C2:C3";
    }
    void mergedCellsInTheDataRowsAreSplitBlockByBlock()
    {
        QFETCH(QString, mergedArea);
        const QString byBlocks = folder.filePath(QStringLiteral("merged-blocks.xlsx"));
        const QString bySorting = folder.filePath(QStringLiteral("merged-sorted.xlsx"));
        for (const QString& path : {byBlocks, bySorting}) {
            QVERIFY(writeWorkbook(path, {interleavedSheet()}));
            auto book = openedWorkbook(path);
            std::unique_ptr<AxObject> area(book->sheetAt(0)->sheet->querySubObject("Range(QString)", mergedArea));
            area->dynamicCall("Merge");
            QVERIFY(book->saveWorkbook());
        }
        QCOMPARE(split(byBlocks, settingsFor(kNever)), ColumnSplitRun::Outcome::Finished);
        QCOMPARE(split(bySorting, settingsFor(kAlways)), ColumnSplitRun::Outcome::Finished);
        QVERIFY(!tookSortedWay(5));
        compareSavedWorkbooks(bySorting, byBlocks);
    }

    void formulasThatSortingWouldMoveAreSplitBlockByBlock()
    {
        // Written by Excel: an array formula and references to fixed cells of their own rows
        // above the data rows 4..5, one value per data row.
        const QString byBlocks = copyFixture(QStringLiteral("xlnt-18_formulae.xlsx"), folder.path());
        const QString bySorting = folder.filePath(QStringLiteral("formulae-sorted.xlsx"));
        QFile::remove(bySorting);
        QVERIFY(QFile::copy(byBlocks, bySorting));
        ColumnSplitSettings settings{"Sheet1", 3, 5, 6, false};
        settings.blocksForSortedCopy = settings.blocksForSortedCopyWithFormulas = kNever;
        QCOMPARE(split(byBlocks, settings), ColumnSplitRun::Outcome::Finished);
        settings.blocksForSortedCopy = settings.blocksForSortedCopyWithFormulas = kAlways;
        QCOMPARE(split(bySorting, settings), ColumnSplitRun::Outcome::Finished);
        const bool sorted = tookSortedWay(2);
        compareSavedWorkbooks(bySorting, byBlocks);
        QVERIFY(!sorted);

        // The sheet's default row height is not the office's own: the rows that came up from
        // below the deleted ones must not be listed one by one.
        const QList<SavedSheet> sheets = savedSheets(byBlocks);
        QCOMPARE(sheets.size(), 3);
        for (const SavedSheet& sheet : sheets.mid(0, 2)) {
            QCOMPARE(sheet.dimension, QStringLiteral("A1:I4"));
            QCOMPARE(sheet.lastRow, 4);
        }

        // Rows of their own heights no longer stand in the way: their looks are put back.
        auto heights = openedWorkbook(copyFixture(QStringLiteral("xlnt-13_custom_heights_widths.xlsx"), folder.path()));
        QVERIFY(sortingSplitsLikeDeleting(*heights->sheetAt(0), SortedRows{1, 5, 4}));
        auto plain = openedWorkbook(newBook(QStringLiteral("plain.xlsx"), {interleavedSheet()}));
        QVERIFY(sortingSplitsLikeDeleting(*plain->sheetAt(0), SortedRows{3, 62, 3}));
    }
};

QTEST_MAIN(ColumnSplitRunTest)
#include "tst_columnsplitrun.moc"
