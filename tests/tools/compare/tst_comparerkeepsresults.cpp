// The comparer changes no other cell's result than inserting its column does in Excel: formulas
// the office could not read from the file keep the values Excel saved with them, and 3-D
// references over a compared sheet, whose sums the new column changes, are asked about first.
#include "comparerdriver.h"
#include "excelop/cellref.h"
#include "excelop/excelopkiv.h"
#include "packagereading.h"
#include "tools/compare/comparisonrun.h"
#include "tools/compare/spanningformulas.h"
#include "tools/shared/formulareferences.h"
#include "workbookwriter.h"

#include <QMessageBox>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>
#include <functional>

namespace {

// Where a cell of a compared sheet is once the comparer's column went in before it.
QString oneColumnRight(const QString& cell)
{
    const QRegularExpressionMatch parts = QRegularExpression(QStringLiteral("^([A-Z]+)(\\d+)$")).match(cell);
    return columnLetters(columnNumber(parts.captured(1)) + 1) + parts.captured(2);
}

// Every value and every formula without cell references (an add-in call, say) of the plain save,
// where the compared file should hold it; one line per difference.
QStringList differences(const XlsxContent& plain, const XlsxContent& compared, const QStringList& comparedSheets)
{
    QStringList found;
    for (const QString& sheet : plain.sheets) {
        const bool moved = comparedSheets.contains(sheet);
        const QMap<QString, QString> values = plain.values.value(sheet);
        for (auto cell = values.cbegin(); cell != values.cend(); ++cell) {
            const QString there = moved ? oneColumnRight(cell.key()) : cell.key();
            const QString value = compared.values.value(sheet).value(there);
            if (value != cell.value())
                found << QStringLiteral("%1!%2: %3 became %4").arg(sheet, there, cell.value(), value);
            const QString formula = plain.formulas.value(sheet).value(cell.key());
            const QString now = compared.formulas.value(sheet).value(there);
            if (!formula.isEmpty() && readableReferences(QLatin1Char('=') + formula).isEmpty() && now != formula)
                found << QStringLiteral("%1!%2: =%3 became =%4").arg(sheet, there, formula, now);
        }
    }
    return found;
}

ComparisonSide sideOf(ExcelOpKiv& book, const QString& sheet, int column)
{
    ComparisonSide side;
    side.sheetIndex = book.getSheetNames().indexOf(sheet);
    side.sheetName = sheet;
    side.titleIndex = column - 1;
    SheetEntry* entry = book.findSheet(sheet);
    side.rowsText = QString::number(entry ? entry->usedRowCount() : 0);
    return side;
}

// Column `column1` of sheet1 against `column2` of sheet2, as the window would, saved over the
// workbook; false (with the messages) when it was not done and saved.
bool compared(const QString& book, const QString& sheet1, int column1, const QString& sheet2, int column2)
{
    auto link = openedWorkbook(book);
    ComparisonSettings settings;
    settings.workbookPath = book;
    settings.side1 = sideOf(*link, sheet1, column1);
    settings.side2 = sideOf(*link, sheet2, column2);
    settings.onLoss = [](const QStringList&, const QString&) { return LossChoice::Overwrite; };
    settings.onSpanningFormulas = [](const QString&) { return false; };
    const ComparisonOutcome outcome = ComparisonRun(*link, settings).run();
    if (outcome.kind != ComparisonOutcome::Kind::Finished || !outcome.saved)
        qWarning("%s", qPrintable(outcome.messages.join('\n')));
    return outcome.kind == ComparisonOutcome::Kind::Finished && outcome.saved;
}

// Opens the workbook keeping the results it was saved with, changes it and saves it over itself.
bool changedAndSaved(const QString& book, const std::function<bool(ExcelOpKiv&)>& change)
{
    ExcelOpKiv link;
    link.setKeepSavedResults(true);
    return link.openWorkBook(book) && link.openSheets() && change(link) && link.saveWorkbook();
}

} // namespace

class ComparerKeepsResultsTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { initTestEnvironment(); }
    void init() { KivMessageBox::clearShownTexts(); }

    void unreadableFormulasKeepTheirValues_data()
    {
        QTest::addColumn<QString>("fixture");
        QTest::addColumn<QString>("sheet1");
        QTest::addColumn<QString>("sheet2");
        QTest::addColumn<int>("column2");
        QTest::addColumn<QString>("witness"); // sheet!cell whose saved value the office cannot compute
        QTest::addColumn<QString>("witnessValue");
        // [1]!LUCANET("Ist") used to be rewritten as [1] lucanet("Ist") and show #N/A.
        QTest::newRow("add-in call") << "poi-56502.xlsx"
                                     << "Tabelle1"
                                     << "Tabelle2" << 1 << "Tabelle1!A4"
                                     << "pls. update";
        // VLOOKUP(..., Table[#All], ...) on a sheet not compared used to show #VALUE! (210 cells).
        QTest::newRow("lookups in tables") << "poi-StructuredRefs-lots-with-lookups.xlsx"
                                           << "dropdowns"
                                           << "query2" << 2 << "Profile!C10"
                                           << "35752745";
        // A table's totals named from another sheet (BigCity[[#Totals];[Latitude]]) were compiled
        // again when the column went in, and saved as 0.
        QTest::newRow("totals of a moved table") << "poi-DataTableCities.xlsx"
                                                 << "Table"
                                                 << "Formula" << 1 << "Formula!D5"
                                                 << "198905700";
        // VLOOKUP over a name whose range the column moved was compiled again and saved as 0.
        QTest::newRow("lookups over a moved name") << "poi-46535.xlsx"
                                                   << "Test"
                                                   << "CodeLists" << 1 << "Test!C1"
                                                   << "Hong Kong International";
    }

    // The office recompiles every formula it could not read when a database range is added, as
    // the comparer's filter used to be: those formulas then lost the values Excel saved.
    void unreadableFormulasKeepTheirValues()
    {
        QFETCH(QString, fixture);
        QFETCH(QString, sheet1);
        QFETCH(QString, sheet2);
        QFETCH(int, column2);
        QFETCH(QString, witness);
        QFETCH(QString, witnessValue);
        QTemporaryDir folder;
        QVERIFY(folder.isValid());
        const QString book = copyFixture(fixture, folder.path());
        const QString plainPath = folder.filePath(QStringLiteral("plain.xlsx"));
        QVERIFY(openedWorkbook(book)->saveWorkbookAs(plainPath));
        const XlsxContent plain = readXlsx(plainPath);
        QCOMPARE(plain.values.value(witness.section('!', 0, 0)).value(witness.section('!', 1)), witnessValue);

        QVERIFY(compared(book, sheet1, 1, sheet2, column2));
        const QStringList changed = differences(plain, readXlsx(book), {sheet1, sheet2});
        QVERIFY2(changed.isEmpty(), qPrintable(QString::number(changed.size()) + QStringLiteral(" cells: ")
                                               + changed.mid(0, 5).join(QStringLiteral("; "))));
    }

    // The filter is made by filtering without conditions, which shows every row.
    void hiddenRowsStayHidden()
    {
        QTemporaryDir folder;
        QVERIFY(folder.isValid());
        const QString book = copyFixture(QStringLiteral("xlnt-19_defined_names.xlsx"), folder.path());
        QCOMPARE(readXlsx(book).hiddenRows.value("Sheet1"), QList<int>({2, 3}));
        QVERIFY(compared(book, QStringLiteral("Sheet1"), 1, QStringLiteral("Sheet2"), 1));
        QCOMPARE(readXlsx(book).hiddenRows.value("Sheet1"), QList<int>({2, 3}));
    }

    // The office's sheet goes on past column IV, the .xls file's does not: the cells there would
    // be dropped from the save.
    void xlsSheetUsedToItsLastColumnIsRefused()
    {
        QTemporaryDir folder;
        QVERIFY(folder.isValid());
        const QString book = copyFixture(QStringLiteral("poi-51535.xls"), folder.path());
        const QByteArray before = fileBytes(book);
        auto link = openedWorkbook(book);
        ComparisonSettings settings;
        settings.workbookPath = book;
        settings.side1 = sideOf(*link, QStringLiteral("Sheet1"), 1);
        settings.side2 = sideOf(*link, QStringLiteral("Sheet2"), 1);
        const ComparisonOutcome outcome = ComparisonRun(*link, settings).run();
        link.reset();
        QCOMPARE(int(outcome.kind), int(ComparisonOutcome::Kind::Refused));
        QCOMPARE(outcome.messages, QStringList(QStringLiteral("表1的最后一列已被使用，无法插入新列。")));
        QCOMPARE(fileBytes(book), before);
    }

    // 66 = 11 + 22 + 33 on Sheet1:Sheet3!A1; with a column inserted into Sheet1 and Sheet2 their A1
    // holds the new headers, in Excel as in the office, and the sum is 33.
    void threeDSumsOverAComparedSheetAreAskedAbout()
    {
        QTemporaryDir folder;
        QVERIFY(folder.isValid());
        const QString book = copyFixture(QStringLiteral("poi-55906-MultiSheetRefs.xlsx"), folder.path());
        const QByteArray before = fileBytes(book);
        ComparerDriver comparer;
        comparer.importWorkbook(book);

        KivMessageBox::setNextAnswer(QMessageBox::Cancel);
        comparer.compare(0, 0, "6", "1");
        const QStringList stopped = KivMessageBox::shownTexts();
        QCOMPARE(stopped.size(), 2);
        QVERIFY2(stopped.first().startsWith(
                     QStringLiteral("Sheet1!A3、Sheet1!B3、Sheet1!C3、Sheet1!D3、Sheet1!E3等共13个单元格")),
                 qPrintable(stopped.first()));
        QVERIFY(stopped.last().endsWith(QStringLiteral("对比已停止，文件没有改动。")));
        comparer.destroyWindow();
        QCOMPARE(fileBytes(book), before);

        ComparerDriver goingOn;
        goingOn.importWorkbook(book);
        KivMessageBox::clearShownTexts();
        goingOn.compare(0, 0, "6", "1");
        QCOMPARE(KivMessageBox::shownTexts().size(), 2);
        QCOMPARE(KivMessageBox::shownTexts().last(), QString::fromUtf8(finishedText()));
        goingOn.destroyWindow();
        const XlsxContent result = readXlsx(book);
        QCOMPARE(result.formulas.value("Sheet1").value("B3"), QStringLiteral("SUM(Sheet1:Sheet3!A1:A1)"));
        QCOMPARE(result.values.value("Sheet1").value("B3"), QStringLiteral("33"));
    }

    // A save after nothing but inserted columns skips the office's search for formulas it compiled
    // again; one after a deletion lost a formula's cell may not: Excel shows #REF! there.
    void formulasThatLoseTheirCellsBeforeAnInsertKeepExcelsResults()
    {
        QTemporaryDir folder;
        QVERIFY(folder.isValid());
        const QString book = folder.filePath(QStringLiteral("lost.xlsx"));
        XlsxLook look;
        look.sheets.append(SheetLook());
        look.sheets[0].formula = [](int row, int column) {
            if (row != 3)
                return QString();
            return column == 2 ? QStringLiteral("A1*2") : column == 3 ? QStringLiteral("IFERROR(A1*2,-1)") : QString();
        };
        QVERIFY(writeXlsx(book, {{QStringLiteral("Sheet1"), {{"5"}, {"6"}, {"7", "10", "10"}}}}, look));
        QVERIFY(changedAndSaved(book, [](ExcelOpKiv& link) {
            return link.sheetAt(0)->deleteRows(1, 1) && link.sheetAt(0)->insertColumn(1);
        }));
        const XlsxContent saved = readXlsx(book);
        QCOMPARE(saved.formulas.value("Sheet1").value("C2"), QStringLiteral("#REF!*2"));
        QCOMPARE(saved.values.value("Sheet1").value("C2"), QStringLiteral("#REF!"));
        QCOMPARE(saved.values.value("Sheet1").value("D2"), QStringLiteral("-1"));
    }

    // Formulas the file holds with a table's name are compiled again by an inserted column: the
    // file is read for them, and they keep Excel's results.
    void tablesOfTheFileKeepTheirResults()
    {
        QTemporaryDir folder;
        QVERIFY(folder.isValid());
        const QString book = copyFixture(QStringLiteral("poi-dataValidationTableRange.xlsx"), folder.path());
        const XlsxContent source = readXlsx(book);
        QVERIFY(changedAndSaved(
            book, [](ExcelOpKiv& link) { return link.findSheet(QStringLiteral("xdropdown"))->insertColumn(1); }));
        const XlsxContent saved = readXlsx(book);
        const QString sheet = QStringLiteral("xdropdown");
        QStringList changed;
        int tableFormulas = 0;
        const QMap<QString, QString> formulas = source.formulas.value(sheet);
        for (auto cell = formulas.cbegin(); cell != formulas.cend(); ++cell) {
            if (!cell.value().contains(QLatin1Char('[')))
                continue;
            ++tableFormulas;
            const QString there = oneColumnRight(cell.key());
            if (saved.values.value(sheet).value(there) != source.values.value(sheet).value(cell.key()))
                changed << there + QLatin1Char(' ') + saved.values.value(sheet).value(there);
        }
        QVERIFY(tableFormulas > 0);
        QVERIFY2(changed.isEmpty(), qPrintable(changed.join(QLatin1Char('\n'))));
    }

    void commandLineRefusesThreeDChangesUnlessAllowed()
    {
        QTemporaryDir folder;
        QVERIFY(folder.isValid());
        const QString book = copyFixture(QStringLiteral("poi-55906-MultiSheetRefs.xlsx"), folder.path());
        const QByteArray before = fileBytes(book);
        const QStringList arguments{QStringLiteral("compare"),   book,
                                    QStringLiteral("--sheet1"),  QStringLiteral("Sheet2"),
                                    QStringLiteral("--column1"), QStringLiteral("A"),
                                    QStringLiteral("--sheet2"),  QStringLiteral("Sheet3"),
                                    QStringLiteral("--column2"), QStringLiteral("A")};
        const CliRun refused = runCli(arguments);
        QCOMPARE(refused.exitCode, 1);
        QVERIFY2(refused.err.contains(QStringLiteral("Sheet1!A3")), qPrintable(refused.err));
        QCOMPARE(fileBytes(book), before);

        const CliRun allowed = runCli(arguments + QStringList{QStringLiteral("--allow-3d-change")});
        QCOMPARE(allowed.exitCode, 0);
        QVERIFY(fileBytes(book) != before);
    }

    void spansAreFoundInTheOfficesFormulas_data()
    {
        QTest::addColumn<QString>("formula");
        QTest::addColumn<bool>("spans");
        // Tab order: Jan, Feb, My 'big' data, Apr; the last two are compared.
        QTest::newRow("over the compared sheets") << "=SUM($Jan.A1:$Apr.A1)" << true;
        QTest::newRow("second sheet without $") << "=SUM($Feb.A1:Apr.B2)" << true;
        QTest::newRow("written backwards") << "=SUM($Apr.A1:$Feb.A1)" << true;
        QTest::newRow("quoted name") << "=SUM($Feb.A1:$'My ''big'' data'.A1)" << true;
        QTest::newRow("other letter case") << "=MAX($feb.A$1:$APR.A$1)" << true;
        QTest::newRow("before the compared sheets") << "=SUM($Jan.A1:$Feb.A1)" << false;
        QTest::newRow("each sheet on its own") << "=$Jan.A1+$Apr.A1" << false;
        QTest::newRow("in a text") << "=\"$Jan.A1:$Apr.A1\"" << false;
        QTest::newRow("another file's sheets") << "='file:///tmp/x.xlsx'#$Jan.A1:$Apr.A1" << false;
        QTest::newRow("unknown sheet") << "=SUM($Jan.A1:$May.A1)" << false;
    }

    void spansAreFoundInTheOfficesFormulas()
    {
        QFETCH(QString, formula);
        QFETCH(bool, spans);
        const QStringList order{QStringLiteral("Jan"), QStringLiteral("Feb"), QStringLiteral("My 'big' data"),
                                QStringLiteral("Apr")};
        QCOMPARE(spansAnyOf(formula, order, {2, 3}), spans);
    }
};

QTEST_MAIN(ComparerKeepsResultsTest)
#include "tst_comparerkeepsresults.moc"
