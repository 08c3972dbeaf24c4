// The office server on real-world workbooks: what opens, how values read, and a dying office.
#include "common/dialogs.h"
#include "automation/axobject.h"
#include "automation/officeentry.h"
#include "excelop/excelopkiv.h"
#include "testsupport.h"

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QtTest>

class OfficeServerTest : public QObject
{
    Q_OBJECT
private:
    QTemporaryDir folder;

private slots:
    void initTestCase()
    {
        initTestEnvironment();
        QVERIFY(folder.isValid());
    }
    void init() { KivMessageBox::clearShownTexts(); }

    void realWorldWorkbooksOpenOrGiveNoWorkbook_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("sheets"); // 0: no workbook
        QTest::newRow("presentation") << "xlnt-1_powerpoint_presentation.xlsx" << 0;
        QTest::newRow("encrypted agile") << "xlnt-5_encrypted_agile.xlsx" << 0;
        QTest::newRow("encrypted libre") << "xlnt-6_encrypted_libre.xlsx" << 0;
        QTest::newRow("hidden sheet") << "xlnt-16_hidden_sheet.xlsx" << 2;
        QTest::newRow("defined names") << "xlnt-19_defined_names.xlsx" << 3;
        QTest::newRow("delete rename") << "xlnt-Issue279_workbook_delete_rename.xlsx" << 7;
        QTest::newRow("images") << "xlnt-14_images.xlsx" << -1;
        QTest::newRow("comments") << "xlnt-10_comments_hyperlinks_formulae.xlsx" << -1;
        QTest::newRow("formulae") << "xlnt-18_formulae.xlsx" << -1;
        QTest::newRow("heights") << "xlnt-13_custom_heights_widths.xlsx" << -1;
        QTest::newRow("default") << "xlnt-3_default.xlsx" << -1;
        QTest::newRow("every style") << "xlnt-4_every_style.xlsx" << -1;
        QTest::newRow("empty row") << "xlnt-Issue492_empty_row.xlsx" << -1;
        QTest::newRow("excel test") << "xlnt-excel_test_sheet.xlsx" << -1;
        QTest::newRow("Formate") << "xlrd-Formate.xls" << 4;
        QTest::newRow("corrupted") << "xlrd-corrupted_error.xls" << 9;
        QTest::newRow("namesdemo") << "xlrd-namesdemo.xls" << -1;
        QTest::newRow("picture") << "xlrd-picture_in_cell.xls" << -1;
        QTest::newRow("profiles") << "xlrd-profiles.xls" << -1;
        QTest::newRow("ragged") << "xlrd-ragged.xls" << -1;
        QTest::newRow("sample ods") << "xlrd-sample.ods" << 1;
        QTest::newRow("sample xlsx") << "xlrd-sample.xlsx" << 1;
        QTest::newRow("xf class") << "xlrd-xf_class.xls" << -1;
        QTest::newRow("not a file") << "." << 0;
    }
    void realWorldWorkbooksOpenOrGiveNoWorkbook()
    {
        QFETCH(QString, file);
        QFETCH(int, sheets); // -1: opens, any number of sheets
        auto link = openedWorkbook(copyFixture(file, folder.path()));
        if (sheets == 0) {
            QVERIFY(!link->hasWorkbook());
            return;
        }
        QVERIFY(link->hasWorkbook());
        if (sheets > 0)
            QCOMPARE(link->sheetCount(), sheets);
        QVERIFY(link->sheetCount() >= 1);
        for (const QString& name : link->getSheetNames())
            QVERIFY(!name.isEmpty());
    }

    void nonAsciiAndQuotedSheetNamesListAsTheyAre()
    {
        auto formate = openedWorkbook(copyFixture(QStringLiteral("xlrd-Formate.xls"), folder.path()));
        QVERIFY(formate->getSheetNames().contains(QStringLiteral("Blätt1")));
        QVERIFY(formate->getSheetNames().contains(QStringLiteral("ÖÄÜ")));
        auto names = openedWorkbook(copyFixture(QStringLiteral("xlrd-namesdemo.xls"), folder.path()));
        QVERIFY(names->getSheetNames().contains(QStringLiteral("Seamus O'Reilly")));
    }

    void valuesReadAsAUserExpects()
    {
        const QString file = folder.filePath(QStringLiteral("values.xlsx"));
        QVERIFY(writeWorkbook(file, {{"V", {{"12", "12.50", "-3", "0.1", "1e20", "abc", " 12 ", "007"}}}}));
        auto link = openedWorkbook(file);
        SheetEntry* sheet = link->sheetAt(0);
        const QStringList expected = {"12", "12.5", "-3", "0.1", "1e+20", "abc", " 12 ", "7"};
        QCOMPARE(sheet->readRowTexts(1, 1, 8), expected);
        for (int col = 1; col <= expected.size(); ++col)
            QCOMPARE(sheet->getCellValue(1, col), expected.at(col - 1));

        // Text that reads as a number lands as a number, as Excel makes it: it sorts and sums.
        sheet->writeColumnTexts(10, 1, {"42", "abc"});
        sheet->setCellValue(3, 10, QStringLiteral("7"));
        std::unique_ptr<AxObject> count(sheet->sheet->querySubObject("Cells(int,int)", 1, 10));
        QCOMPARE(count->property("Value").type(), QVariant::Double);
        std::unique_ptr<AxObject> single(sheet->sheet->querySubObject("Cells(int,int)", 3, 10));
        QCOMPARE(single->property("Value").type(), QVariant::Double);
        std::unique_ptr<AxObject> text(sheet->sheet->querySubObject("Cells(int,int)", 2, 10));
        QCOMPARE(text->property("Value").type(), QVariant::String);
    }

    void datesAndTruthValuesReadAsSuch()
    {
        // Written by Excel: the sample holds dates among numbers and texts. Whichever way a cell is
        // read, one at a time or in a block, it gives the same text.
        auto link = openedWorkbook(copyFixture(QStringLiteral("xlnt-4_every_style.xlsx"), folder.path()));
        SheetEntry* sheet = link->sheetAt(0);
        for (int row = 1; row <= 40; ++row) {
            const QStringList block = sheet->readRowTexts(row, 1, 12);
            for (int col = 1; col <= 12; ++col)
                QCOMPARE(sheet->getCellValue(row, col), block.value(col - 1));
        }
    }

    void aDeadOfficeAnswersEmptyAndANewLinkStartsAnother()
    {
        const QString file = folder.filePath(QStringLiteral("alive.xlsx"));
        QVERIFY(writeWorkbook(file, {{"S", {{"v"}}}}));
        auto link = openedWorkbook(file);
        QCOMPARE(link->sheetAt(0)->getCellValue(1, 1), QStringLiteral("v"));

        OfficeServer::killOfficeForTests();
        QElapsedTimer clock;
        clock.start();
        QCOMPARE(link->sheetAt(0)->getCellValue(1, 1), QString());
        QVERIFY(!link->saveWorkbook());
        QVERIFY(clock.elapsed() < 5000);
        link.reset();

        // The lock the killed office left beside the file is cleared: the file saves again.
        auto fresh = openedWorkbook(file);
        QVERIFY(fresh->hasWorkbook());
        QCOMPARE(fresh->sheetAt(0)->getCellValue(1, 1), QStringLiteral("v"));
        QVERIFY(fresh->saveWorkbook());
    }
};

QTEST_MAIN(OfficeServerTest)
#include "tst_officeserver.moc"
