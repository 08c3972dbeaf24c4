// A workbook's views come back from a save through the office: frozen panes, the zoom, hidden
// grid lines and the active sheet, in .xlsx, .ods and .xls, read from the saved file itself; and
// with several workbooks open, each save writes its own workbook's views.
#include "fileformat/featureinventory.h"
#include "chineseofficebook.h"
#include "excelop/excelopkiv.h"
#include "excelop/sheetentry.h"
#include "packagereading.h"
#include "testsupport.h"

#include <QTemporaryDir>
#include <QtTest>

class DocumentViewsTest : public QObject
{
    Q_OBJECT
private:
    QTemporaryDir folder;
    int books = 0;

    QString chineseBook(const QString& suffix)
    {
        const QString path = folder.filePath(QStringLiteral("视图%1.%2").arg(++books).arg(suffix));
        return ChineseOfficeBook::writeAs(path) ? path : QString();
    }

    // What the Chinese book's views are: a frozen title row on both sheets, 名单 at 85 %, 报名
    // without grid lines, 报名 active.
    static void verifyChineseViews(const QString& path)
    {
        if (path.endsWith(QLatin1String(".xls"))) {
            const FeatureInventory::Inventory inventory = FeatureInventory::of(path);
            QVERIFY(inventory.read);
            QCOMPARE(inventory.counts.value(QStringLiteral("frozen-panes")), 2);
            QCOMPARE(inventory.counts.value(QStringLiteral("zoom")), 1);
            QCOMPARE(inventory.counts.value(QStringLiteral("hidden-grid")), 1);
            return;
        }
        const WorkbookViews views = readViews(path);
        QVERIFY(views.read);
        const SheetView names = views.sheets.value(QStringLiteral("名单"));
        const SheetView entries = views.sheets.value(QStringLiteral("报名"));
        QVERIFY(names.frozen && entries.frozen);
        QCOMPARE(names.frozenRows, 1);
        QCOMPARE(entries.frozenRows, 1);
        QCOMPARE(names.frozenColumns, 0);
        QCOMPARE(names.zoom, 85);
        QCOMPARE(entries.zoom, 100);
        QVERIFY(!entries.gridShown);
        // An .ods keeps grid lines for the whole view, not per sheet.
        if (!path.endsWith(QLatin1String(".ods")))
            QVERIFY(names.gridShown);
        QCOMPARE(views.activeSheet, QStringLiteral("报名"));
    }

    // A workbook of one sheet whose first two columns and three rows are frozen, at 150 %.
    QString otherlyViewedBook()
    {
        const QString path = folder.filePath(QStringLiteral("另一个%1.xlsx").arg(++books));
        XlsxLook look;
        SheetLook sheet;
        sheet.head = "<sheetViews><sheetView tabSelected=\"1\" zoomScale=\"150\" zoomScaleNormal=\"150\" "
                     "workbookViewId=\"0\"><pane xSplit=\"2\" ySplit=\"3\" topLeftCell=\"C4\" "
                     "activePane=\"bottomRight\" state=\"frozen\"/></sheetView></sheetViews>";
        look.sheets = {sheet};
        QList<QStringList> rows;
        for (int r = 1; r <= 10; ++r)
            rows << QStringList{QStringLiteral("行%1").arg(r), QString::number(r), QString::number(r * 2)};
        return writeXlsx(path, {{QStringLiteral("汇总"), rows}}, look) ? path : QString();
    }

private slots:
    void initTestCase()
    {
        initTestEnvironment();
        QVERIFY(folder.isValid());
    }

    void viewsComeBackFromAnEditedSave_data()
    {
        QTest::addColumn<QString>("suffix");
        QTest::newRow("xlsx") << QStringLiteral("xlsx");
        QTest::newRow("ods") << QStringLiteral("ods");
        QTest::newRow("xls") << QStringLiteral("xls");
    }
    void viewsComeBackFromAnEditedSave()
    {
        QFETCH(QString, suffix);
        const QString book = chineseBook(suffix);
        QVERIFY(!book.isEmpty());
        verifyChineseViews(book); // what a conversion through the office writes
        if (QTest::currentTestFailed())
            return;
        {
            auto link = openedWorkbook(book);
            QVERIFY(link && link->hasWorkbook());
            QVERIFY(link->findSheet(QStringLiteral("名单"))->setCellValue(2, 8, QStringLiteral("改过")));
            QVERIFY(link->saveWorkbook());
        }
        verifyChineseViews(book);
        QCOMPARE(readWorkbook(book).value(0).rows.value(1).value(7), QStringLiteral("改过"));
    }

    // The office writes the views of the document it shows last unless the saved one is made
    // current: two open workbooks with other views, saved in turn, each keep their own.
    void twoOpenWorkbooksEachKeepTheirOwnViews()
    {
        const QString first = chineseBook(QStringLiteral("xlsx"));
        const QString second = otherlyViewedBook();
        QVERIFY(!first.isEmpty() && !second.isEmpty());
        auto firstLink = openedWorkbook(first);
        auto secondLink = openedWorkbook(second);
        QVERIFY(firstLink && firstLink->hasWorkbook() && secondLink && secondLink->hasWorkbook());
        for (int round = 0; round < 2; ++round) {
            QVERIFY(firstLink->findSheet(QStringLiteral("报名"))->setCellValue(2, 8, QString::number(round)));
            QVERIFY(secondLink->findSheet(QStringLiteral("汇总"))->setCellValue(2, 4, QString::number(round)));
            // One order, then the other.
            if (round == 0) {
                QVERIFY(firstLink->saveWorkbook());
                QVERIFY(secondLink->saveWorkbook());
            } else {
                QVERIFY(secondLink->saveWorkbook());
                QVERIFY(firstLink->saveWorkbook());
            }
            verifyChineseViews(first);
            const WorkbookViews other = readViews(second);
            const SheetView summary = other.sheets.value(QStringLiteral("汇总"));
            QVERIFY(summary.frozen);
            QCOMPARE(summary.frozenRows, 3);
            QCOMPARE(summary.frozenColumns, 2);
            QCOMPARE(summary.zoom, 150);
        }
        // A copy saved elsewhere carries the views too.
        const QString copy = folder.filePath(QStringLiteral("副本.xlsx"));
        QVERIFY(firstLink->saveWorkbookCopyAs(copy));
        verifyChineseViews(copy);
    }
};

QTEST_MAIN(DocumentViewsTest)
#include "tst_documentviews.moc"
