// The workbook lifecycle and the sheet operations against the real office on real files.
#include "common/dialogs.h"
#include "excelop/excelopkiv.h"
#include "packagereading.h"
#include "testsupport.h"

#include <QCryptographicHash>
#include <QTemporaryDir>
#include <QtTest>

namespace {

QByteArray fileHash(const QString& path)
{
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    return QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha1);
}

} // namespace

class ExcelOpKivTest : public QObject
{
    Q_OBJECT
private:
    QTemporaryDir folder;
    QString threeSheets;

    QString path(const QString& name) const { return folder.filePath(name); }

private slots:
    void initTestCase()
    {
        initTestEnvironment();
        QVERIFY(folder.isValid());
        threeSheets = path(QStringLiteral("three.xlsx"));
        QVERIFY(writeWorkbook(threeSheets, {{"Alpha", {{"a"}}}, {"Beta", {{"b"}}}, {"Gamma", {{"c"}}}}));
    }
    void init() { KivMessageBox::clearShownTexts(); }

    void listsTheSheetsInTabOrder()
    {
        auto link = openedWorkbook(threeSheets);
        QCOMPARE(link->getSheetNames(), QStringList({"Alpha", "Beta", "Gamma"}));
        QCOMPARE(link->sheetAt(0)->index, 1);
        QCOMPARE(link->sheetAt(2)->index, 3);
        QCOMPARE(link->sheetAt(3), nullptr);
        link->openSheets();
        QCOMPARE(link->sheetCount(), 3);
        QVERIFY(link->findSheet(QStringLiteral("Beta")));
        QVERIFY(!link->findSheet(QStringLiteral("beta")));
        QVERIFY(KivMessageBox::shownTexts().isEmpty());
    }

    void namesAreEmptyBeforeTheSheetsAreListed()
    {
        ExcelOpKiv link;
        link.openWorkBook(threeSheets);
        QCOMPARE(link.getSheetNames(), QStringList());
        QVERIFY(KivMessageBox::shownTexts().isEmpty());
    }

    void openingAnotherWorkbookDropsUnsavedEdits()
    {
        const QString first = path(QStringLiteral("first.xlsx"));
        QVERIFY(writeWorkbook(first, {{"S", {{"keep"}}}}));
        const QByteArray before = fileHash(first);
        auto link = openedWorkbook(first);
        link->sheetAt(0)->setCellValue(1, 1, QStringLiteral("changed"));
        link->openWorkBook(threeSheets);
        link->openSheets();
        QCOMPARE(link->getSheetNames(), QStringList({"Alpha", "Beta", "Gamma"}));
        link.reset();
        QCOMPARE(fileHash(first), before);
    }

    void aFileThatDoesNotOpenGivesNoWorkbook()
    {
        auto link = openedWorkbook(path(QStringLiteral("missing.xlsx")));
        QVERIFY(!link->hasWorkbook());
        QCOMPARE(link->getSheetNames(), QStringList());
        QVERIFY(!link->saveWorkbook());
        // The written text, then why in plain words.
        QCOMPARE(KivMessageBox::shownTexts(),
                 QStringList({"打开Excel文件时出错:(this->workbook==null)\n文件不存在",
                              "打开Excel文件获取sheet名字时出错:(this->excel==null)||(this->workbook==null)"}));
    }

    void cellsSurviveASaveInEveryFormat_data()
    {
        QTest::addColumn<QString>("extension");
        QTest::newRow("xlsx") << "xlsx";
        QTest::newRow("xls") << "xls";
        QTest::newRow("ods") << "ods";
    }
    void cellsSurviveASaveInEveryFormat()
    {
        QFETCH(QString, extension);
        const QString file = path(QStringLiteral("roundtrip.") + extension);
        QVERIFY(writeWorkbook(file, {{"Data", {{"title"}}}}));
        {
            auto link = openedWorkbook(file);
            link->sheetAt(0)->setCellValue(2, 3, QStringLiteral("中文 text"));
            link->sheetAt(0)->setCellValue(3, 3, QStringLiteral("42"));
            QVERIFY(link->saveWorkbook());
        }
        auto link = openedWorkbook(file);
        QCOMPARE(link->sheetAt(0)->getCellValue(2, 3), QStringLiteral("中文 text"));
        QCOMPARE(link->sheetAt(0)->getCellValue(3, 3), QStringLiteral("42"));
        QCOMPARE(link->sheetAt(0)->getCellValue(1, 1), QStringLiteral("title"));
    }

    void aSaveThatFailsIsReported()
    {
        const QString file = path(QStringLiteral("locked.xlsx"));
        QVERIFY(writeWorkbook(file, {{"S", {{"x"}}}}));
        // Another office user holds the file: it opens read-only and cannot be stored.
        QFile lock(path(QStringLiteral(".~lock.locked.xlsx#")));
        QVERIFY(lock.open(QIODevice::WriteOnly));
        lock.write(",someone,otherhost,07.12.2026 08:00,file:///home/someone/.config/libreoffice/4;");
        lock.close();
        auto link = openedWorkbook(file);
        QVERIFY(link->hasWorkbook());
        link->sheetAt(0)->setCellValue(1, 1, QStringLiteral("y"));
        QVERIFY(!link->saveWorkbook());
        QFile::remove(lock.fileName());
    }

    void columnTitlesComeFromRowOne()
    {
        const QString file = path(QStringLiteral("titles.xlsx"));
        QVERIFY(writeWorkbook(
            file, {{"T", {{"A1", "B1", "", "", "E1"}, {"a2", "b2", "c2", "d2", "e2", "f2"}}}, {"Empty", {}}}));
        auto link = openedWorkbook(file);
        SheetEntry* sheet = link->sheetAt(0);
        QCOMPARE(sheet->getColMax(), 5);
        sheet->loadColumnTitles(1);
        sheet->loadColumnTitles(1);
        QCOMPARE(getColumnTitleTexts(sheet->titles), QStringList({"A1", "B1", "", "", "E1"}));
        QCOMPARE(sheet->titles.at(4).position, 4);
        // Another row is read as wide as row 1 is.
        sheet->loadColumnTitles(2);
        QCOMPARE(getColumnTitleTexts(sheet->titles), QStringList({"a2", "b2", "c2", "d2", "e2"}));
        QCOMPARE(sheet->titleRow, 2);

        SheetEntry* empty = link->sheetAt(1);
        QCOMPARE(empty->getColMax(), 1);
        empty->setCellValue(1, 257, QStringLiteral("far away"));
        QCOMPARE(empty->getColMax(), 1);
        empty->loadColumnTitles(1);
        QCOMPARE(getColumnTitleTexts(empty->titles), QStringList({""}));
    }

    void rowsColumnsAndValueSets()
    {
        const QString file = path(QStringLiteral("rows.xlsx"));
        QVERIFY(writeWorkbook(file, {{"R", {{"h"}, {"x"}, {"y"}, {"x"}, {"r5"}, {"r6"}, {"r7"}}}}));
        auto link = openedWorkbook(file);
        SheetEntry* sheet = link->sheetAt(0);
        QCOMPARE(sheet->getColumnValueSet(2, 4, 1), QSet<QString>({"x", "y"}));
        QVERIFY(sheet->getColumnValueSet(4, 2, 1).isEmpty());
        QCOMPARE(sheet->readColumnTexts(1, 1, 4), QStringList({"h", "x", "y", "x"}));

        sheet->deleteRows(3, 5);
        QCOMPARE(sheet->readColumnTexts(1, 1, 4), QStringList({"h", "x", "r6", "r7"}));
        // Several blocks in one call, as if deleted one by one from the bottom up.
        sheet->writeColumnTexts(1, 5, {"r8", "r9", "r10"});
        sheet->deleteRowBlocks({{2, 2}, {4, 5}, {7, 7}});
        QCOMPARE(sheet->readColumnTexts(1, 1, 4), QStringList({"h", "r6", "r9", ""}));

        sheet->insertColumn(1);
        QCOMPARE(sheet->getCellValue(1, 1), QString());
        QCOMPARE(sheet->getCellValue(1, 2), QStringLiteral("h"));
        QVERIFY(sheet->writeColumnTexts(1, 2, {"1", "0", "abc"}));
        QCOMPARE(sheet->readColumnTexts(1, 2, 4), QStringList({"1", "0", "abc"}));
        sheet->deleteColumn(1);
        QCOMPARE(sheet->getCellValue(1, 1), QStringLiteral("h"));
        sheet->setAutoFilter(1);
        QVERIFY(sheet->rowLimit() >= 65536);
        QVERIFY(sheet->columnLimit() >= 256);
    }

    void copiesGetFreeLegalNames()
    {
        const QString file = path(QStringLiteral("copies.xlsx"));
        QVERIFY(writeWorkbook(file, {{"North", {{"n"}}}, {"North_0", {{"n0"}}}, {"Data", {{"title"}, {"v"}}}}));
        auto link = openedWorkbook(file);
        QCOMPARE(link->copySheet(QStringLiteral("Data"), QStringLiteral("North")), QStringLiteral("North_1"));
        QCOMPARE(link->copySheet(QStringLiteral("Data"), QString()), QStringLiteral("空"));
        QCOMPARE(link->copySheet(QStringLiteral("Data"), QString()), QStringLiteral("_0"));
        QCOMPARE(link->copySheet(QStringLiteral("Data"), QStringLiteral("data")), QStringLiteral("data_0"));
        QCOMPARE(link->copySheet(QStringLiteral("Data"), QStringLiteral("a/b")), QStringLiteral("a_b"));
        const QString longName(40, QLatin1Char('L'));
        QCOMPARE(link->copySheet(QStringLiteral("Data"), longName), QString(31, QLatin1Char('L')));
        QCOMPARE(link->copySheet(QStringLiteral("Data"), longName), QString(29, QLatin1Char('L')) + "_0");
        QCOMPARE(link->copySheet(QStringLiteral("Data"), QStringLiteral("'quoted'")), QStringLiteral("_quoted_"));
        QCOMPARE(link->copySheet(QStringLiteral("Nowhere"), QStringLiteral("x")), QString());

        // Each copy stands just before its source and holds the source's cells.
        const QStringList names = link->getSheetNames();
        QCOMPARE(names.first(), QStringLiteral("North"));
        QCOMPARE(names.last(), QStringLiteral("Data"));
        QCOMPARE(names.at(names.size() - 2), QStringLiteral("_quoted_"));
        QCOMPARE(link->findSheet(QStringLiteral("a_b"))->getCellValue(2, 1), QStringLiteral("v"));
    }

    // The office compiles a formula over a name again when a sheet goes in before the name's cells,
    // though the name's text stays the same, and on its own would store it with 0 for a result.
    void formulasOverANameKeepTheirResultsWhenASheetGoesInBeforeIt()
    {
        const QString file = path(QStringLiteral("names.xlsx"));
        XlsxLook look;
        look.sheets.append(SheetLook());
        look.sheets[0].formula = [](int row, int column) {
            return row == 1 && column == 2 ? QStringLiteral("VLOOKUP(A1,Airports,2,FALSE)") : QString();
        };
        look.writtenByExcel = true; // results are kept as saved, not calculated on load
        look.tail = "<definedNames><definedName name=\"Airports\">Codes!$A$1:$B$2</definedName></definedNames>";
        QVERIFY(writeXlsx(
            file, {{"Lookup", {{"HKG", "Hong Kong"}}}, {"Codes", {{"ABD", "Abadan"}, {"HKG", "Hong Kong"}}}}, look));
        {
            auto link = openedWorkbook(file);
            QCOMPARE(link->copySheet(QStringLiteral("Codes"), QStringLiteral("Copy")), QStringLiteral("Copy"));
            QVERIFY(link->saveWorkbook());
        }
        const XlsxContent saved = readXlsx(file);
        QCOMPARE(saved.sheets, QStringList({"Lookup", "Copy", "Codes"}));
        QCOMPARE(saved.values.value(QStringLiteral("Lookup")).value(QStringLiteral("B1")), QStringLiteral("Hong Kong"));
    }

    // Read from the file while the office loads it; a file changed since is "maybe".
    void theFileSaysWhetherFormulasSpanSheets()
    {
        const auto bookWith = [&](const QString& name, const QString& formula) {
            const QString file = path(name);
            XlsxLook look;
            look.sheets.append(SheetLook());
            look.sheets[0].formula = [formula](int row, int column) {
                return row == 1 && column == 2 ? formula : QString();
            };
            return writeXlsx(file, {{"Jan", {{"1", "0"}}}, {"Feb", {{"2"}}}, {"Mar", {{"3"}}}}, look) ? file
                                                                                                      : QString();
        };
        const QString plain = bookWith(QStringLiteral("plain.xlsx"), QStringLiteral("SUM(Feb!A1:A2)"));
        const QString spanning = bookWith(QStringLiteral("spanning.xlsx"), QStringLiteral("SUM(Jan:Mar!A1)"));
        QVERIFY(!plain.isEmpty() && !spanning.isEmpty());
        QVERIFY(!openedWorkbook(plain)->formulasMaySpanSheets());
        QVERIFY(openedWorkbook(spanning)->formulasMaySpanSheets());

        auto link = openedWorkbook(plain);
        QTest::qWait(20); // a change time of its own
        QVERIFY(QFile::remove(plain) && QFile::copy(spanning, plain));
        QVERIFY(link->formulasMaySpanSheets());
    }

    // Breaks listed in the file, written since the load, or brought in with another workbook's
    // sheet are all read back; a file without any lists none.
    void manualPageBreaksAreReadWhereverTheyCameFrom()
    {
        const auto breaksOf = [](const QVariantList& looks) {
            QList<int> rows;
            for (int i = 0; i < looks.size(); ++i)
                if (looks.at(i).toList().value(3).toBool())
                    rows.append(i + 1);
            return rows;
        };
        const QList<SheetContent> content = {{"One", {{"1"}, {"2"}, {"3"}, {"4"}, {"5"}}}, {"Two", {{"x"}}}};
        const QString plain = path(QStringLiteral("no-breaks.xlsx"));
        const QString broken = path(QStringLiteral("breaks.xlsx"));
        XlsxLook look;
        look.sheets.append(SheetLook());
        look.sheets[0].tail = "<rowBreaks count=\"1\" manualBreakCount=\"1\"><brk id=\"3\" max=\"16383\" "
                              "man=\"1\"/></rowBreaks>";
        QVERIFY(writeXlsx(plain, content) && writeXlsx(broken, content, look));

        auto withBreaks = openedWorkbook(broken);
        QCOMPARE(breaksOf(withBreaks->findSheet("One")->rowLooks(1, 5)), QList<int>({4}));
        auto link = openedWorkbook(plain);
        SheetEntry* one = link->findSheet("One");
        QVariantList looks = one->rowLooks(1, 5);
        QCOMPARE(looks.size(), 5);
        QVERIFY(breaksOf(looks).isEmpty());
        looks[1] = QVariantList{looks.at(1).toList().value(0), true, true, true};
        QVERIFY(one->setRowLooks(1, looks));
        QCOMPARE(breaksOf(one->rowLooks(1, 5)), QList<int>({2}));

        auto other = openedWorkbook(plain);
        QCOMPARE(other->importSheet(*withBreaks, "One", "Imported"), QStringLiteral("Imported"));
        QCOMPARE(breaksOf(other->findSheet("Imported")->rowLooks(1, 5)), QList<int>({4}));
    }

    void deletingASheetSavesTheWorkbook()
    {
        const QString file = path(QStringLiteral("delete.xlsx"));
        QVERIFY(writeWorkbook(file, {{"One", {{"1"}}}, {"Two", {{"2"}}}}));
        {
            auto link = openedWorkbook(file);
            QVERIFY(link->deleteSheet(QStringLiteral("Nobody")));
            QCOMPARE(link->sheetCount(), 2);
            QVERIFY(link->deleteSheet(QStringLiteral("One")));
            QCOMPARE(link->getSheetNames(), QStringList({"Two"}));
        }
        QCOMPARE(sheetNames(readWorkbook(file)), QStringList({"Two"}));
    }
};

QTEST_MAIN(ExcelOpKivTest)
#include "tst_excelopkiv.moc"
