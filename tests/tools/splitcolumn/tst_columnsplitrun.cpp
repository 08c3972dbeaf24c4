// The two ways the column split builds its sheets give the same workbook: row blocks deleted
// from each copy, or copies of a work sheet sorted by value. The sorted way is taken only where
// it cannot differ.
#include "common/dialogs.h"
#include "common/runprogress.h"
#include "automation/axobject.h"
#include "excelop/excelopkiv.h"
#include "testsupport.h"
#include "tools/splitcolumn/columnsplitrun.h"

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
        sheet.rows.append({QStringLiteral("r%1").arg(k + 3), values.at((k * 5 + k / 7) % values.size()),
                           QString::number(k * 1.5)});
    sheet.rows.append({"total", "", "999"});
    return sheet;
}

ColumnSplitSettings settingsFor(int blocksForSortedCopy)
{
    ColumnSplitSettings settings{"Data", 2, 62, 2, false};
    settings.blocksForSortedCopy = blocksForSortedCopy;
    return settings;
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

    static bool tookSortedWay(int valueCount) { return RunProgress::lastValues().size() == valueCount + 1; }

private slots:
    void initTestCase()
    {
        initTestEnvironment();
        QVERIFY(folder.isValid());
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

    void cancelKeepsFinishedSheetsAndDropsTheWorkCopy()
    {
        const SheetContent source = interleavedSheet();
        const QString path = newBook(QStringLiteral("cancel.xlsx"), {source});
        RunProgress::setCancelAtValue(1); // once the first value is done
        QCOMPARE(split(path, settingsFor(kAlways)), ColumnSplitRun::Outcome::Cancelled);
        const QList<SheetContent> after = readWorkbook(path);
        QCOMPARE(sheetNames(after), QStringList({"north", "Data"}));
        QList<QStringList> northRows = source.rows.mid(0, 2);
        for (const QStringList& row : source.rows.mid(2, 60))
            if (row.at(1) == "north")
                northRows.append(row);
        northRows.append(source.rows.last());
        QCOMPARE(sheetNamed(after, "north").rows, northRows);
        QCOMPARE(sheetNamed(after, "Data").rows, source.rows);
    }

    void sheetsThatSortingWouldChangeAreSplitBlockByBlock()
    {
        // Merged cells above the table: only deleting rows keeps them as they are.
        const QString merged = newBook(QStringLiteral("merged.xlsx"), {interleavedSheet()});
        {
            auto book = openedWorkbook(merged);
            std::unique_ptr<AxObject> title(book->sheetAt(0)->sheet->querySubObject("Range(QString)", QStringLiteral("A1:B1")));
            title->dynamicCall("Merge");
            QVERIFY(!book->sheetAt(0)->rowsMoveWithTheirCells(3, 62));
            QVERIFY(book->saveWorkbook());
        }
        QCOMPARE(split(merged, settingsFor(kAlways)), ColumnSplitRun::Outcome::Finished);
        QVERIFY(!tookSortedWay(5));

        // Formulas and rows of their own height, written by other programs.
        auto formulae = openedWorkbook(copyFixture(QStringLiteral("xlnt-18_formulae.xlsx"), folder.path()));
        QVERIFY(!formulae->sheetAt(0)->rowsMoveWithTheirCells(2, 10));
        auto heights = openedWorkbook(copyFixture(QStringLiteral("xlnt-13_custom_heights_widths.xlsx"), folder.path()));
        QVERIFY(!heights->sheetAt(0)->rowsMoveWithTheirCells(1, 10));

        auto plain = openedWorkbook(newBook(QStringLiteral("plain.xlsx"), {interleavedSheet()}));
        QVERIFY(plain->sheetAt(0)->rowsMoveWithTheirCells(3, 62));
    }
};

QTEST_MAIN(ColumnSplitRunTest)
#include "tst_columnsplitrun.moc"
