// Reading what cell formulas hold from the package itself: "no" only when no formula of any sheet
// can hold it, whatever the writer's prefixes, the element's form or where the file's pieces part.
#include "fileformat/formulascan.h"
#include "testsupport.h"
#include "zipwriter.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

namespace {

QByteArray sheetXml(const QByteArray& cells, const QByteArray& prefix = QByteArray())
{
    const QByteArray p = prefix.isEmpty() ? QByteArray() : prefix + ':';
    QByteArray xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<" + p
                     + "worksheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\"><" + p
                     + "sheetData><" + p + "row r=\"1\">" + cells + "</" + p + "row></" + p + "sheetData></" + p
                     + "worksheet>";
    return xml;
}

QByteArray formulaCell(const QByteArray& formula, const QByteArray& prefix = QByteArray())
{
    const QByteArray p = prefix.isEmpty() ? QByteArray() : prefix + ':';
    return "<" + p + "c r=\"A1\"><" + p + "f>" + formula + "</" + p + "f><" + p + "v>1</" + p + "v></" + p + "c>";
}

} // namespace

class FormulaScanTest : public QObject
{
    Q_OBJECT
private:
    QTemporaryDir folder;
    int written = 0;

    // A package with these sheets (entry name -> XML), each deflated.
    QString package(const QList<QPair<QByteArray, QByteArray>>& entries, const QString& suffix = "xlsx")
    {
        const QString path = folder.filePath(QStringLiteral("book%1.%2").arg(++written).arg(suffix));
        ZipWriter writer(path);
        writer.addDeflated("xl/workbook.xml", "<workbook/>");
        for (const auto& entry : entries)
            writer.addDeflated(entry.first, entry.second);
        return writer.finish() ? path : QString();
    }

    QString oneSheet(const QByteArray& cells, const QByteArray& prefix = QByteArray())
    {
        return package({{"xl/worksheets/sheet1.xml", sheetXml(cells, prefix)}});
    }

private slots:
    void initTestCase() { QVERIFY(folder.isValid()); }

    void eachFormulaIsRead_data()
    {
        QTest::addColumn<QByteArray>("cells");
        QTest::addColumn<QByteArray>("prefix");
        QTest::addColumn<bool>("sheetRanges");
        QTest::addColumn<bool>("tablesOrLost");
        const QByteArray none;
        QTest::newRow("plain") << formulaCell("SUM(A2:A9)+B1*2") << none << false << false;
        // Not told apart from Jan:Mar!B1 without reading the formula: the office's search decides.
        QTest::newRow("a range, then another sheet") << formulaCell("SUM(A2:A9)+Mar!B1") << none << true << false;
        QTest::newRow("other sheet's range") << formulaCell("SUM(Sheet2!A1:B2)") << none << false << false;
        QTest::newRow("texts joined") << formulaCell("A2&amp;\":\"&amp;B2") << none << false << false;
        QTest::newRow("3-D") << formulaCell("SUM(Jan:Mar!B2)") << none << true << false;
        QTest::newRow("3-D quoted") << formulaCell("SUM('Q 1:Q 4'!B2)") << none << true << false;
        QTest::newRow("3-D of another file") << formulaCell("SUM([1]Jan:Mar!B2)") << none << true << true;
        QTest::newRow("3-D with a prefix") << formulaCell("SUM(Jan:Mar!B2)", "x") << QByteArray("x") << true << false;
        QTest::newRow("table") << formulaCell("SUM(Table1[Amount])") << none << false << true;
        QTest::newRow("lost reference") << formulaCell("#REF!+1") << none << false << true;
        QTest::newRow("lost with a prefix") << formulaCell("Sheet2!#REF!", "x") << QByteArray("x") << false << true;
        QTest::newRow("character reference") << formulaCell("SUM(Jan&#58;Mar!B2)") << none << true << true;
        QTest::newRow("comment inside") << formulaCell("1<!-- x -->+1") << none << true << true;
        QTest::newRow("shared, its master first")
            << QByteArray("<c r=\"A1\"><f t=\"shared\" ref=\"A1:A2\" si=\"0\">Jan:Mar!B2</f></c>"
                          "<c r=\"A2\"><f t=\"shared\" si=\"0\"/></c>")
            << none << true << false;
        QTest::newRow("shared children only")
            << QByteArray("<c r=\"A2\"><f t=\"shared\" si=\"0\"/><v>2</v></c>") << none << false << false;
        QTest::newRow("one of each, in two cells")
            << formulaCell("SUM(Jan:Mar!B2)") + formulaCell("Table1[Amount]") << none << true << true;
        QTest::newRow("texts and validations are no cell formulas")
            << QByteArray("<c r=\"A1\" t=\"inlineStr\"><is><t>Jan:Mar!B2 #REF! T[a]</t></is></c>"
                          "<font>Jan:Mar!B2</font><formula1>Jan:Mar!B2</formula1>")
            << none << false << false;
    }

    void eachFormulaIsRead()
    {
        QFETCH(QByteArray, cells);
        QFETCH(QByteArray, prefix);
        QFETCH(bool, sheetRanges);
        QFETCH(bool, tablesOrLost);
        const QString path = oneSheet(cells, prefix);
        QVERIFY(!path.isEmpty());
        QCOMPARE(FormulaScan::mayHoldSheetRanges(path), sheetRanges);
        QCOMPARE(FormulaScan::mayHoldTablesOrLostReferences(path), tablesOrLost);
        // Both from one reading give the same answers.
        const FormulaScan::Findings found = FormulaScan::findingsOf(path);
        QCOMPARE(found.sheetRanges, sheetRanges);
        QCOMPARE(found.tablesOrLostReferences, tablesOrLost);
    }

    // A list of row breaks, with or without a prefix, in any sheet; column breaks do not count.
    void rowBreaksAreNoted()
    {
        const QByteArray cells = formulaCell("A1+1");
        const QByteArray breaks = "<rowBreaks count=\"1\"><brk id=\"3\" man=\"1\"/></rowBreaks>";
        const QByteArray plain = sheetXml(cells);
        const QByteArray withBreaks = QByteArray(plain).replace("</worksheet>", breaks + "</worksheet>");
        QVERIFY(!FormulaScan::findingsOf(oneSheet(cells)).rowBreaks);
        QVERIFY(!FormulaScan::findingsOf(
                     package({{"xl/worksheets/sheet1.xml",
                               QByteArray(plain).replace("</worksheet>", "<colBreaks count=\"1\"><brk id=\"2\"/>"
                                                                         "</colBreaks></worksheet>")}}))
                     .rowBreaks);
        QVERIFY(FormulaScan::findingsOf(
                    package({{"xl/worksheets/sheet1.xml", plain}, {"xl/worksheets/sheet2.xml", withBreaks}}))
                    .rowBreaks);
        QVERIFY(FormulaScan::findingsOf(oneSheet(cells + QByteArray(breaks).replace("rowBreaks", "x:rowBreaks"), "x"))
                    .rowBreaks);
        // Once both kinds of formula are found the rest goes unread: the breaks are then "maybe".
        QVERIFY(FormulaScan::findingsOf(oneSheet(formulaCell("SUM(Jan:Mar!B2)") + formulaCell("T[a]"))).rowBreaks);
    }

    // The package is unpacked 64 KiB at a time: a formula is found wherever the pieces part it.
    void formulasSplitBetweenPiecesAreFound()
    {
        const QByteArray filler = "<c r=\"B1\"><v>1</v></c>";
        const QByteArray head = sheetXml(QByteArray()).left(sheetXml(QByteArray()).indexOf("<row r=\"1\">") + 11);
        for (int shift = 0; shift < 40; ++shift) {
            QByteArray cells = filler.repeated((65536 - head.size()) / filler.size() - 1);
            cells += QByteArray(shift, ' ') + formulaCell("SUM(Jan:Mar!B2)");
            const QString path = oneSheet(cells);
            QVERIFY2(FormulaScan::mayHoldSheetRanges(path), qPrintable(QString::number(shift)));
            QFile::remove(path);
        }
    }

    void otherSheetsAndMacroSheetsCount()
    {
        const QByteArray plain = sheetXml(formulaCell("A1+1"));
        const QString second = package(
            {{"xl/worksheets/sheet1.xml", plain}, {"xl/worksheets/sheet2.xml", sheetXml(formulaCell("Jan:Mar!A1"))}});
        QVERIFY(FormulaScan::mayHoldSheetRanges(second));
        QVERIFY(FormulaScan::mayHoldSheetRanges(
            package({{"xl/worksheets/sheet1.xml", plain},
                     {"xl/macrosheets/sheet1.xml", sheetXml(formulaCell("Jan:Mar!A1"))}})));
        // What only looks like a sheet: its relations, a chart's XML.
        QVERIFY(!FormulaScan::mayHoldSheetRanges(package({{"xl/worksheets/sheet1.xml", plain},
                                                          {"xl/worksheets/_rels/sheet1.xml.rels", "<f>Jan:Mar!A1</f>"},
                                                          {"xl/charts/chart1.xml", "<c:f>Jan:Mar!A1</c:f>"}})));
    }

    // What cannot be read whole is "maybe".
    void unreadablePackagesMayHoldAnything()
    {
        const QByteArray plain = sheetXml(formulaCell("A1+1"));
        QVERIFY(!FormulaScan::mayHoldSheetRanges(oneSheet(plain)));
        QVERIFY(FormulaScan::mayHoldSheetRanges(package({{"xl/worksheets/sheet1.xml", plain}}, "ods")));
        QVERIFY(FormulaScan::mayHoldSheetRanges(fixturePath(QStringLiteral("xlrd-namesdemo.xls"))));
        QVERIFY(FormulaScan::mayHoldSheetRanges(folder.filePath(QStringLiteral("none.xlsx"))));

        const QString text = folder.filePath(QStringLiteral("text.xlsx"));
        QFile file(text);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write("not a workbook") > 0);
        file.close();
        QVERIFY(FormulaScan::mayHoldTablesOrLostReferences(text));
        QVERIFY(FormulaScan::findingsOf(text).sheetRanges && FormulaScan::findingsOf(text).tablesOrLostReferences);

        // A sheet whose packed data is cut short.
        const QString whole = oneSheet(plain.repeated(50));
        QByteArray bytes = fileBytes(whole);
        const int data = bytes.indexOf("xl/worksheets/sheet1.xml") + 24;
        for (int i = data + 10; i < data + 40; ++i)
            bytes[i] = char(bytes[i] ^ 0x5A);
        QFile damaged(whole);
        QVERIFY(damaged.open(QIODevice::WriteOnly | QIODevice::Truncate) && damaged.write(bytes) == bytes.size());
        damaged.close();
        QVERIFY(FormulaScan::mayHoldSheetRanges(whole));
    }
};

QTEST_MAIN(FormulaScanTest)
#include "tst_formulascan.moc"
