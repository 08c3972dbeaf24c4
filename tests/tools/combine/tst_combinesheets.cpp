// Sheets of a workbook combined into one through the real office, from the command line: the
// saved package is read back for what the rows carried along (formats, heights, merged cells,
// widths, formulas).
#include "fileformat/zippackage.h"
#include "packagereading.h"
#include "testsupport.h"

#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// Formats: 0 plain, 1 titles (bold, filled), 2 money (#,##0.00, filled).
const QByteArray kStyles =
    "<styleSheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">"
    "<numFmts count=\"1\"><numFmt numFmtId=\"164\" formatCode=\"#,##0.00\"/></numFmts>"
    "<fonts count=\"2\"><font><sz val=\"11\"/><name val=\"Arial\"/></font>"
    "<font><b/><sz val=\"11\"/><name val=\"Arial\"/></font></fonts>"
    "<fills count=\"3\"><fill><patternFill patternType=\"none\"/></fill><fill><patternFill "
    "patternType=\"gray125\"/></fill><fill><patternFill patternType=\"solid\"><fgColor rgb=\"FFFFF2CC\"/>"
    "<bgColor indexed=\"64\"/></patternFill></fill></fills>"
    "<borders count=\"1\"><border><left/><right/><top/><bottom/><diagonal/></border></borders>"
    "<cellStyleXfs count=\"1\"><xf numFmtId=\"0\" fontId=\"0\" fillId=\"0\" borderId=\"0\"/></cellStyleXfs>"
    "<cellXfs count=\"3\"><xf numFmtId=\"0\" fontId=\"0\" fillId=\"0\" borderId=\"0\" xfId=\"0\"/>"
    "<xf numFmtId=\"0\" fontId=\"1\" fillId=\"2\" borderId=\"0\" xfId=\"0\" applyFont=\"1\" applyFill=\"1\"/>"
    "<xf numFmtId=\"164\" fontId=\"0\" fillId=\"2\" borderId=\"0\" xfId=\"0\" applyNumberFormat=\"1\" "
    "applyFill=\"1\"/></cellXfs>"
    "<cellStyles count=\"1\"><cellStyle name=\"Normal\" xfId=\"0\" builtinId=\"0\"/></cellStyles></styleSheet>";

const QStringList kTitles = {"名称", "数量", "单价", "金额", "备注"};

SheetContent month(const QString& name, const QString& first, const QString& second)
{
    return {name, {kTitles, {first, "2", "3.5", "7", "a"}, {second, "4", "10", "40", ""}}};
}

// 一月, 二月 (its second row 30 points high), 三月 (its first row's 备注 merged with the cell to
// its right, its second row's 备注 showing 一月's B2). 金额 is the row's 数量*单价. The sheet at
// lockedSheet (0-based) is protected with a password.
bool writeMonths(const QString& path, const QStringList& secondTitles = kTitles, int lockedSheet = -1)
{
    QList<SheetContent> sheets = {month("一月", "苹果", "梨"), month("二月", "桃", "李"), month("三月", "杏", "枣")};
    sheets[1].rows[0] = secondTitles;
    sheets[2].rows[2][4] = "2";
    XlsxLook look;
    look.styles = kStyles;
    for (int s = 0; s < sheets.size(); ++s) {
        SheetLook sheet;
        sheet.style = [](int row, int column) { return row == 1 ? 1 : column == 4 ? 2 : 0; };
        sheet.formula = [s](int row, int column) {
            if (row > 1 && column == 4)
                return QStringLiteral("B%1*C%1").arg(row);
            if (s == 2 && row == 3 && column == 5)
                return QStringLiteral("一月!B2");
            return QString();
        };
        sheet.head = s == 0 ? "<cols><col min=\"1\" max=\"1\" width=\"25\" customWidth=\"1\"/></cols>" : "";
        if (s == 1)
            sheet.rowAttributes.insert(3, "ht=\"30\" customHeight=\"1\"");
        if (s == lockedSheet)
            sheet.tail = "<sheetProtection password=\"CC1A\" sheet=\"1\" objects=\"1\" scenarios=\"1\"/>";
        if (s == 2)
            sheet.tail += "<mergeCells count=\"1\"><mergeCell ref=\"E2:F2\"/></mergeCells>";
        look.sheets.append(sheet);
    }
    return writeXlsx(path, sheets, look);
}

// The XML of the sheet at that tab position (1-based), as the office writes its packages.
QString sheetXml(const QString& path, int position)
{
    ZipPackage package;
    if (!package.open(path))
        return QString();
    return QString::fromUtf8(package.unpacked("xl/worksheets/sheet" + QByteArray::number(position) + ".xml"));
}

QString styleOf(const QString& xml, const QString& cell)
{
    const QRegularExpression style(QStringLiteral("<c r=\"%1\"[^>]*\\ss=\"(\\d+)\"").arg(cell));
    return style.match(xml).captured(1);
}

QString heightOf(const QString& xml, int row)
{
    const QRegularExpression height(QStringLiteral("<row r=\"%1\"[^>]*\\sht=\"([\\d.]+)\"").arg(row));
    return height.match(xml).captured(1);
}

} // namespace

class CombineSheetsTest : public QObject
{
    Q_OBJECT
private:
    QTemporaryDir folder;

    QString months(const QString& name, const QStringList& secondTitles = kTitles)
    {
        const QString path = folder.filePath(name);
        return writeMonths(path, secondTitles) ? path : QString();
    }

private slots:
    void initTestCase()
    {
        initTestEnvironment();
        QVERIFY(folder.isValid());
    }

    void rowsKeepFormatsHeightsAndMergedCells()
    {
        const QString book = months(QStringLiteral("months.xlsx"));
        QVERIFY(!book.isEmpty());
        const CliRun run = runCli({"combine-sheets", book, "--quiet"});
        QVERIFY2(run.exitCode == 0, qPrintable(run.err));
        const QList<SheetContent> sheets = readWorkbook(book);
        QCOMPARE(sheetNames(sheets), QStringList({"合并", "一月", "二月", "三月"}));
        const QList<QStringList> rows = sheetNamed(sheets, "合并").rows;
        QCOMPARE(rows.size(), 7);
        QCOMPARE(rows.at(0).mid(0, 5), kTitles);
        QStringList names;
        for (const QStringList& row : rows.mid(1))
            names.append(row.value(0));
        QCOMPARE(names, QStringList({"苹果", "梨", "桃", "李", "杏", "枣"}));
        // The sources stay as they were.
        QCOMPARE(sheetNamed(sheets, "二月").rows.size(), 3);

        const XlsxContent content = readXlsx(book);
        QVERIFY(content.read);
        // A line total stays a line total; a formula pointing at another sheet keeps its value.
        QCOMPARE(content.formulas.value("合并").value("D4"), QStringLiteral("B4*C4"));
        QCOMPARE(content.values.value("合并").value("D5"), QStringLiteral("40"));
        QVERIFY(content.formulas.value("合并").value("E7").isEmpty());
        QCOMPARE(content.values.value("合并").value("E7"), QStringLiteral("2"));
        QCOMPARE(content.formulas.value("三月").value("E3"), QStringLiteral("一月!B2"));

        const QString combined = sheetXml(book, 1);
        const QString february = sheetXml(book, 3);
        QVERIFY(!styleOf(february, "D3").isEmpty());
        QCOMPARE(styleOf(combined, "D5"), styleOf(february, "D3"));
        QCOMPARE(styleOf(combined, "A1"), styleOf(february, "A1"));
        QCOMPARE(heightOf(combined, 5), heightOf(february, 3));
        QCOMPARE(heightOf(combined, 5).toDouble(), 30.0);
        QVERIFY2(combined.contains("<mergeCell ref=\"E6:F6\"/>"), qPrintable(combined));
        const QString columns = QRegularExpression("<cols>.*</cols>").match(combined).captured(0);
        QVERIFY2(columns.contains(QRegularExpression("<col [^>]*min=\"1\"[^>]*width=\"2[45][.\"]")),
                 qPrintable(columns));
    }

    void sourceColumnNamesTheSheets()
    {
        const QString book = months(QStringLiteral("source.xlsx"));
        const QString out = folder.filePath(QStringLiteral("source-out.xlsx"));
        const CliRun run =
            runCli({"combine-sheets", book, "--sheets", "三月,一月", "--source-column", "--out-file", out, "--quiet"});
        QVERIFY2(run.exitCode == 0, qPrintable(run.err));
        const QList<QStringList> rows = sheetNamed(readWorkbook(out), "合并").rows;
        QCOMPARE(rows.size(), 5);
        QStringList sources;
        for (const QStringList& row : rows)
            sources.append(row.value(0));
        QCOMPARE(sources, QStringList({"来源", "一月", "一月", "三月", "三月"}));
        QCOMPARE(rows.at(3).mid(1, 2), QStringList({"杏", "2"}));
        QCOMPARE(readXlsx(out).formulas.value("合并").value("E4"), QStringLiteral("C4*D4"));
    }

    void titlesThatDifferAreRefused()
    {
        const QStringList swapped = {"名称", "单价", "数量", "金额", "备注"};
        const QString book = months(QStringLiteral("differ.xlsx"), swapped);
        const QByteArray before = fileBytes(book);
        const CliRun run = runCli({"combine-sheets", book, "--quiet"});
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.err.contains("二月") && run.err.contains("第2列") && run.err.contains("单价"),
                 qPrintable(run.err));
        QCOMPARE(fileBytes(book), before);
    }

    void alignedTitlesMatchColumns()
    {
        const QStringList other = {"名称", "单价", "数量", "产地", "金额"};
        const QString book = months(QStringLiteral("align.xlsx"), other);
        const CliRun run = runCli({"combine-sheets", book, "--align-titles", "--quiet"});
        QVERIFY2(run.exitCode == 0, qPrintable(run.err));
        const QList<QStringList> rows = sheetNamed(readWorkbook(book), "合并").rows;
        QCOMPARE(rows.at(0), QStringList({"名称", "数量", "单价", "金额", "备注", "产地"}));
        // 二月's columns under the first sheet's titles, 备注 empty, 产地 added; its formula, whose
        // columns moved apart, keeps the value it showed.
        QCOMPARE(rows.at(3), QStringList({"桃", "3.5", "2", "a", "", "7"}));
    }

    // Formulas over cells of their own row keep working where their cells land together: 二月 has
    // a column in the middle that the first sheet lacks, 三月 lacks one. Where the cells land apart
    // (二月's 产地, taking 数量, goes to the end), the value shown is kept.
    void alignedTitlesKeepRowFormulas()
    {
        const QString book = folder.filePath(QStringLiteral("align-formulas.xlsx"));
        const QList<SheetContent> sheets = {
            {"一月", {kTitles, {"苹果", "2", "3", "6", ""}}},
            {"二月", {{"名称", "产地", "数量", "单价", "金额", "备注"}, {"桃", "102", "2", "10", "20", "12"}}},
            {"三月", {{"名称", "数量", "金额", "备注"}, {"杏", "5", "15", ""}}}};
        const QHash<QString, QString> formulas = {{"一月 4", "B2*C2"},
                                                  {"二月 2", "C2+100"},
                                                  {"二月 5", "C2*D2"},
                                                  {"二月 6", "SUM(C2:D2)"},
                                                  {"三月 3", "B2*3"}};
        XlsxLook look;
        for (const SheetContent& sheet : sheets) {
            SheetLook sheetLook;
            const QString name = sheet.name;
            sheetLook.formula = [name, formulas](int row, int column) {
                return row == 2 ? formulas.value(QStringLiteral("%1 %2").arg(name).arg(column)) : QString();
            };
            look.sheets.append(sheetLook);
        }
        QVERIFY(writeXlsx(book, sheets, look));
        const CliRun run = runCli({"combine-sheets", book, "--align-titles", "--quiet"});
        QVERIFY2(run.exitCode == 0, qPrintable(run.err));
        const QList<SheetContent> after = readWorkbook(book);
        QCOMPARE(sheetNames(after), QStringList({"合并", "一月", "二月", "三月"}));
        QCOMPARE(sheetNamed(after, "合并").rows, QList<QStringList>({{"名称", "数量", "单价", "金额", "备注", "产地"},
                                                                     {"苹果", "2", "3", "6", "", ""},
                                                                     {"桃", "2", "10", "20", "12", "102"},
                                                                     {"杏", "5", "", "15", "", ""}}));
        QCOMPARE(sheetNamed(after, "二月").rows, sheets.at(1).rows);
        const QMap<QString, QString> combined = readXlsx(book).formulas.value("合并");
        QCOMPARE(combined.value("D3"), QStringLiteral("B3*C3"));
        QCOMPARE(combined.value("E3"), QStringLiteral("SUM(B3:C3)"));
        QVERIFY(combined.value("F3").isEmpty());
        QCOMPARE(combined.value("D4"), QStringLiteral("B4*3"));
        QCOMPARE(readXlsx(book).formulas.value("二月").value("E2"), QStringLiteral("C2*D2"));
        QVERIFY2(run.err.contains("1个单元格"), qPrintable(run.err));
    }

    void dryRunChangesNothing()
    {
        const QString book = months(QStringLiteral("plan.xlsx"));
        const QByteArray before = fileBytes(book);
        const CliRun run = runCli({"combine-sheets", book, "--dry-run", "--json"});
        QVERIFY2(run.exitCode == 0, qPrintable(run.err));
        QVERIFY2(run.out.contains("\"name\":\"合并\"") && run.out.contains("\"rows\":2"), qPrintable(run.out));
        QCOMPARE(fileBytes(book), before);
    }

    void binaryAndOpenDocumentWorkbooks()
    {
        for (const QString& extension : {QStringLiteral("xls"), QStringLiteral("ods")}) {
            const QString book = folder.filePath(QStringLiteral("formats.") + extension);
            QVERIFY(writeWorkbook(book, {month("一月", "a", "b"), month("二月", "c", "d")}));
            const CliRun run = runCli({"combine-sheets", book, "--source-column", "--quiet"});
            QVERIFY2(run.exitCode == 0, qPrintable(extension + run.err));
            const QList<QStringList> rows = sheetNamed(readWorkbook(book), "合并").rows;
            QCOMPARE(rows.size(), 5);
            QCOMPARE(rows.at(4).mid(0, 3), QStringList({"二月", "d", "4"}));
        }
    }

    void emptySheetIsRefused()
    {
        const QString book = folder.filePath(QStringLiteral("empty.xlsx"));
        QVERIFY(writeXlsx(book, {month("一月", "a", "b"), SheetContent{"空表", {}}}));
        const QByteArray before = fileBytes(book);
        // Refused as empty whatever the titles: no title to differ, nothing to align.
        for (const QStringList& flags :
             {QStringList{}, QStringList{"--align-titles"}, QStringList{"--title-rows", "0"}}) {
            const CliRun run = runCli(QStringList{"combine-sheets", book, "--quiet"} + flags);
            QCOMPARE(run.exitCode, 1);
            QVERIFY2(run.err.contains("“空表”表是空的"), qPrintable(run.err));
            QCOMPARE(fileBytes(book), before);
        }
    }

    // A sheet protected with a password gives its rows like any other and stays as it was; the
    // first sheet, whose copy would take the rows protected, is refused before anything changes.
    void protectedSheets()
    {
        const QString book = folder.filePath(QStringLiteral("locked.xlsx"));
        QVERIFY(writeMonths(book, kTitles, 2));
        const QList<QStringList> lockedRows = sheetNamed(readWorkbook(book), "三月").rows;
        const CliRun run = runCli({"combine-sheets", book, "--quiet"});
        QVERIFY2(run.exitCode == 0, qPrintable(run.err));
        const QList<SheetContent> sheets = readWorkbook(book);
        const QList<QStringList> combined = sheetNamed(sheets, "合并").rows;
        QCOMPARE(combined.size(), 7);
        for (int r = 1; r < lockedRows.size(); ++r)
            QCOMPARE(combined.at(4 + r).mid(0, 5), lockedRows.at(r).mid(0, 5));
        QCOMPARE(sheetNamed(sheets, "三月").rows, lockedRows);
        const XlsxContent content = readXlsx(book);
        QCOMPARE(content.formulas.value("合并").value("D7"), QStringLiteral("B7*C7"));
        QCOMPARE(content.formulas.value("三月").value("E3"), QStringLiteral("一月!B2"));
        const QString locked = sheetXml(book, 4);
        QVERIFY2(locked.contains(QRegularExpression("<sheetProtection [^>]*password")), qPrintable(locked));
        QVERIFY(!sheetXml(book, 1).contains("<sheetProtection"));

        const QString first = folder.filePath(QStringLiteral("locked-first.xlsx"));
        QVERIFY(writeMonths(first, kTitles, 0));
        const QByteArray before = fileBytes(first);
        const CliRun refused = runCli({"combine-sheets", first, "--quiet"});
        QCOMPARE(refused.exitCode, 1);
        QVERIFY2(refused.err.contains("“一月”表受工作表保护"), qPrintable(refused.err));
        QCOMPARE(fileBytes(first), before);
    }
};

QTEST_MAIN(CombineSheetsTest)
#include "tst_combinesheets.moc"
