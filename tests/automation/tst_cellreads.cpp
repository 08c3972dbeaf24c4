// Cells read as the user sees them, on files the office wrote in each format: dates, times,
// date-times (also within half a millisecond of midnight), truth values and error cells, read
// one at a time and in blocks alike.
#include "automation/axobject.h"
#include "common/dialogs.h"
#include "excelop/excelopkiv.h"
#include "testsupport.h"
#include "tools/splitcolumn/columnsplitjob.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// Each row: the cell as flat OpenDocument, and the text it must read as.
const QList<QPair<QString, QString>> kCells = {
    {R"x(<table:table-cell table:style-name="cD" office:value-type="date" office:date-value="2024-03-01"/>)x",
     "2024-03-01"},
    {R"x(<table:table-cell table:style-name="cDT" office:value-type="date" office:date-value="2024-03-01T13:45:30"/>)x",
     "2024-03-01 13:45:30"},
    {R"x(<table:table-cell table:style-name="cT" office:value-type="time" office:time-value="PT13H45M30S"/>)x",
     "13:45:30"},
    {R"x(<table:table-cell table:style-name="cDT" office:value-type="date" office:date-value="2024-03-01T23:59:59.9998"/>)x",
     "2024-03-02"},
    {R"x(<table:table-cell table:style-name="cD" office:value-type="date" office:date-value="2024-12-31T23:59:59.9997"/>)x",
     "2025-01-01"},
    {R"x(<table:table-cell table:style-name="cT" office:value-type="time" office:time-value="PT23H59M59.9998S"/>)x",
     "00:00:00"},
    {R"x(<table:table-cell table:style-name="cDT" office:value-type="date" office:date-value="2024-03-01T23:59:59.999"/>)x",
     "2024-03-01 23:59:59"},
    {R"x(<table:table-cell table:style-name="cB" office:value-type="boolean" office:boolean-value="true"/>)x", "TRUE"},
    {R"x(<table:table-cell table:style-name="cB" office:value-type="boolean" office:boolean-value="false"/>)x",
     "FALSE"},
    {R"x(<table:table-cell table:formula="of:=NA()" office:value-type="float" office:value="0"/>)x", "#N/A"},
    {R"x(<table:table-cell table:formula="of:=1/0" office:value-type="float" office:value="0"/>)x", "#DIV/0!"},
    {R"x(<table:table-cell table:formula="of:=[.Z99]" office:value-type="float" office:value="0"/>)x", "0"},
    {R"x(<table:table-cell office:value-type="float" office:value="12"/>)x", "12"},
    {R"x(<table:table-cell office:value-type="string"><text:p>text</text:p></table:table-cell>)x", "text"},
    {R"x(<table:table-cell/>)x", ""},
};

QByteArray flatDocument()
{
    QByteArray rows;
    for (const auto& cell : kCells)
        rows += "<table:table-row>" + cell.first.toUtf8() + "</table:table-row>\n";
    return R"x(<?xml version="1.0" encoding="UTF-8"?>
<office:document xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0"
 xmlns:table="urn:oasis:names:tc:opendocument:xmlns:table:1.0"
 xmlns:text="urn:oasis:names:tc:opendocument:xmlns:text:1.0"
 xmlns:number="urn:oasis:names:tc:opendocument:xmlns:datastyle:1.0"
 xmlns:style="urn:oasis:names:tc:opendocument:xmlns:style:1.0"
 xmlns:of="urn:oasis:names:tc:opendocument:xmlns:of:1.2"
 office:version="1.2" office:mimetype="application/vnd.oasis.opendocument.spreadsheet">
<office:automatic-styles>
 <number:date-style style:name="D"><number:year number:style="long"/><number:text>-</number:text><number:month number:style="long"/><number:text>-</number:text><number:day number:style="long"/></number:date-style>
 <number:date-style style:name="DT"><number:year number:style="long"/><number:text>-</number:text><number:month number:style="long"/><number:text>-</number:text><number:day number:style="long"/><number:text> </number:text><number:hours number:style="long"/><number:text>:</number:text><number:minutes number:style="long"/><number:text>:</number:text><number:seconds number:style="long"/></number:date-style>
 <number:time-style style:name="T"><number:hours number:style="long"/><number:text>:</number:text><number:minutes number:style="long"/><number:text>:</number:text><number:seconds number:style="long"/></number:time-style>
 <number:boolean-style style:name="B"><number:boolean/></number:boolean-style>
 <style:style style:name="cD" style:family="table-cell" style:data-style-name="D"/>
 <style:style style:name="cDT" style:family="table-cell" style:data-style-name="DT"/>
 <style:style style:name="cT" style:family="table-cell" style:data-style-name="T"/>
 <style:style style:name="cB" style:family="table-cell" style:data-style-name="B"/>
</office:automatic-styles>
<office:body><office:spreadsheet><table:table table:name="V">
)x" + rows + R"x(</table:table></office:spreadsheet></office:body></office:document>
)x";
}

} // namespace

class CellReadsTest : public QObject
{
    Q_OBJECT
private:
    QTemporaryDir folder;
    QString flat;

private slots:
    void initTestCase()
    {
        initTestEnvironment();
        QVERIFY(folder.isValid());
        flat = folder.filePath("cells.fods");
        QFile file(flat);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(flatDocument());
        file.close();
        // The office writes the same cells in each format.
        AxObject application(QStringLiteral("Excel.Application"));
        std::unique_ptr<AxObject> workbooks(application.querySubObject("WorkBooks"));
        QVERIFY(workbooks);
        workbooks->dynamicCall("Open(const QString&)x", flat);
        std::unique_ptr<AxObject> workbook(application.querySubObject("ActiveWorkBook"));
        QVERIFY(workbook);
        for (const QString format : {"xlsx", "xls", "ods"})
            QVERIFY(accepted(workbook.get(), [&] {
                workbook->dynamicCall("SaveAs(const QString&)x", folder.filePath("cells." + format));
            }));
        workbook->dynamicCall("Close()");
    }

    void cellsReadAsShownOneByOneAndInBlocks_data()
    {
        QTest::addColumn<QString>("format");
        for (const QString format : {"xlsx", "xls", "ods", "fods"})
            QTest::newRow(qPrintable(format)) << format;
    }
    void cellsReadAsShownOneByOneAndInBlocks()
    {
        QFETCH(QString, format);
        auto link = openedWorkbook(folder.filePath("cells." + format));
        QVERIFY(link->hasWorkbook());
        SheetEntry* sheet = link->sheetAt(0);
        QStringList expected;
        for (const auto& cell : kCells)
            expected.append(cell.second);
        if (format == "xls") {
            // The office writes truth values into .xls as plain numbers in the General format:
            // the file holds 1 and 0, and shows them so.
            expected[7] = "1";
            expected[8] = "0";
        }
        if (format == "ods") {
            // The office writes times into .ods to the millisecond, cutting the rest: these files
            // hold the last millisecond before midnight, not a time within half of one.
            expected[3] = "2024-03-01 23:59:59";
            expected[4] = "2024-12-31 23:59:59";
        }
        QStringList single;
        for (int row = 1; row <= expected.size(); ++row)
            single.append(sheet->getCellValue(row, 1));
        QCOMPARE(single, expected);
        QCOMPARE(sheet->readColumnTexts(1, 1, expected.size()), expected);
        // A block that holds only an error cell, and one read across a row.
        QCOMPARE(sheet->readColumnTexts(1, 10, 11), QStringList({"#N/A", "#DIV/0!"}));
        QCOMPARE(sheet->readRowTexts(10, 1, 2), QStringList({"#N/A", ""}));
    }

    // An error value counts as that text: it gets a sheet of its own in the column split.
    void errorCellsSplitAsTheirText()
    {
        const QString path = folder.filePath("split.xlsx");
        QVERIFY(QFile::copy(folder.filePath("cells.xlsx"), path));
        {
            auto link = openedWorkbook(path);
            SheetEntry* sheet = link->sheetAt(0);
            // Title row above the two errors and a number.
            QVERIFY(sheet->setCellValue(9, 1, "title"));
            QVERIFY(link->saveWorkbook());
        }
        std::unique_ptr<ExcelOpKiv> tool;
        const JobOutcome outcome = ColumnSplitJob({path, "V", "A9", "A13", "A", false}).run(tool);
        QCOMPARE(outcome.kind, JobOutcome::Kind::Done);
        const QStringList names = sheetNames(readWorkbook(path));
        QVERIFY2(names.contains("#N_A") && names.contains("#DIV_0!") && names.contains("12"),
                 qPrintable(names.join(", ")));
    }
};

QTEST_MAIN(CellReadsTest)
#include "tst_cellreads.moc"
